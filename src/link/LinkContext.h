#pragma once
#include "core/Clock.h"
#include "core/LogSink.h"
#include "core/MessagePump.h"
#include "core/SerialDevice.h"

namespace quillon {

// What a text-mode reply wait needs from the application: the flag that
// suspends procedure stepping while it dispatches messages, and the session
// state whose "cancelled" value ends the wait at once.
class TextSessionHost {
  public:
    // The session state that ends a reply wait at once (the progress
    // window's Cancel).
    static constexpr int kSessionCancelled = 3;

    virtual ~TextSessionHost() = default;
    virtual void SetInBlockingWait(int value) = 0;
    virtual int CurrentSessionState() const = 0;
};

// The outside world as a link object sees it. Every pointer must outlive the
// link object; `session` may be null (a link used without an application).
struct LinkContext {
    SerialDeviceFactory* devices = nullptr;
    Clock* clock = nullptr;
    MessagePump* pump = nullptr;
    LogSink* log = nullptr;
    TextSessionHost* session = nullptr;
};

}  // namespace quillon
