#pragma once

namespace quillon {

// The kinds of window message the procedure driver tells apart. Everything
// that is not a timer tick or one of the debug windows' close notices is
// simply "another message": it steps the procedures and the chains.
enum class MessageKind {
    Timer,                    // a timer tick (the port's 50 ms timer has id 1)
    Other,                    // any other message
    RxCountersClosed = 1036,  // user message base + 12
    TxCountersClosed = 1037,  // user message base + 13
};

struct Message {
    MessageKind kind = MessageKind::Other;
    int timerId = 0;
};

// The object whose message pre-translation sees every message (the
// application). Returns true when it consumed the message.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual bool PreTranslateMessage(const Message& msg) = 0;
};

}  // namespace quillon
