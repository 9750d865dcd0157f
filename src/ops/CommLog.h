#pragma once
#include <cstdio>
#include <string>

#include "core/Clock.h"
#include "core/LogSink.h"

namespace quillon {

// The communication log: a text file of time-stamped lines written by the
// link, the block protocol and the procedures. Lines are written only
// between start and stop of an open file; nothing in normal use opens it,
// so by default nothing is written and no file is created.
class CommLog : public LogSink {
  public:
    static constexpr const char* kDefaultFile = "Tarvek.dat";

    explicit CommLog(Clock& clock) : clock_(clock) {}
    ~CommLog() override;
    CommLog(const CommLog&) = delete;
    CommLog& operator=(const CommLog&) = delete;

    // Creates or truncates the file and writes its header; silent on failure.
    bool Open(const std::string& path = kDefaultFile);
    void Start();
    void Stop();
    void Close();
    void Write(const std::string& message) override;

    bool IsOpen() const { return file_ != nullptr; }
    bool IsStarted() const { return started_; }

  private:
    Clock& clock_;
    std::FILE* file_ = nullptr;
    bool started_ = false;
    int64_t startMs_ = 0;
};

}  // namespace quillon
