#pragma once
#include <string>

namespace quillon {

// Receives the lines of the communication log; the sink adds the time stamp.
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void Write(const std::string& message) = 0;
};

// A sink that drops everything, for objects used without a log.
class NullLog : public LogSink {
  public:
    void Write(const std::string&) override {}
};

}  // namespace quillon
