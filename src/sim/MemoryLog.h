#pragma once
#include <string>
#include <vector>

#include "core/LogSink.h"

namespace quillon::sim {

// Keeps the communication log's lines in memory for the tests to read.
class MemoryLog : public LogSink {
  public:
    void Write(const std::string& message) override { lines_.push_back(message); }
    const std::vector<std::string>& Lines() const { return lines_; }
    bool Contains(const std::string& line) const;
    int Count(const std::string& line) const;
    void Clear() { lines_.clear(); }

  private:
    std::vector<std::string> lines_;
};

}  // namespace quillon::sim
