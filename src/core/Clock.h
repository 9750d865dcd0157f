#pragma once
#include <cstdint>

namespace quillon {

// Time as the program sees it. Text-mode waits count in the system tick
// count, transaction waits in the millisecond process clock, and the fixed
// pauses sleep. Both the real clock and the virtual one used by the simulated
// world implement this, so every time-out can be tested in virtual time.
class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment; wraps at 2^32 like the system tick count.
    virtual uint32_t TickCountMs() = 0;
    // Milliseconds of the process clock.
    virtual int64_t ProcessClockMs() = 0;
    // Blocks the caller for the given time; no messages are handled meanwhile.
    virtual void SleepMs(uint32_t ms) = 0;
};

}  // namespace quillon
