#pragma once
#include <chrono>

#include "core/Clock.h"

namespace quillon::qt {

// The real clock: a steady clock for the tick count and the process clock,
// and a thread sleep.
class QtClock : public Clock {
  public:
    QtClock();
    uint32_t TickCountMs() override;
    int64_t ProcessClockMs() override;
    void SleepMs(uint32_t ms) override;

  private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace quillon::qt
