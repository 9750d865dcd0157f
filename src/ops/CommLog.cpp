#include "ops/CommLog.h"

namespace quillon {

CommLog::~CommLog() {
    Stop();
    Close();
}

bool CommLog::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "w+");
    if (file_ == nullptr) {
        return false;
    }
    startMs_ = clock_.ProcessClockMs();
    std::fputs("Timestamp\t\tMessage\n", file_);
    std::fflush(file_);
    return true;
}

void CommLog::Start() {
    if (started_) {
        return;
    }
    if (file_ != nullptr) {
        started_ = true;
    }
    Write("Logging started...");
}

void CommLog::Stop() {
    if (!started_) {
        return;
    }
    Write("Logging stopped...");
    started_ = false;
}

void CommLog::Close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    started_ = false;
}

void CommLog::Write(const std::string& message) {
    if (file_ == nullptr || !started_) {
        return;
    }
    const long seconds = static_cast<long>((clock_.ProcessClockMs() - startMs_) / 1000);
    std::fprintf(file_, "%li\t\t\t", seconds);
    // Binary replies may hold NUL bytes: write the whole message.
    std::fwrite(message.data(), 1, message.size(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace quillon
