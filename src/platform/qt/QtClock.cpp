#include "platform/qt/QtClock.h"

#include <thread>

namespace quillon::qt {

QtClock::QtClock() : start_(std::chrono::steady_clock::now()) {}

uint32_t QtClock::TickCountMs() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    return static_cast<uint32_t>(ms);
}

int64_t QtClock::ProcessClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void QtClock::SleepMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace quillon::qt
