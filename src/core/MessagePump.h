#pragma once

namespace quillon {

// The message loop as the core needs it: a nested "dispatch what is waiting"
// for the reply waits, and the periodic timer that the serial port starts.
// Every message dispatched passes the target's pre-translation.
class MessagePump {
  public:
    virtual ~MessagePump() = default;
    // Dispatches all waiting messages once, then the idle processing.
    virtual void DispatchPending() = 0;
    // Starts or restarts the periodic timer with this id and period.
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void StopTimer(int id) = 0;
};

}  // namespace quillon
