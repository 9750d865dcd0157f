#pragma once
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "core/Message.h"
#include "core/MessagePump.h"

namespace quillon::qt {

// The Qt event loop as the core's message pump. Each tick of a timer
// reaches the target's pre-translation as a timer message and is followed
// by another message, because in binary mode the tick is consumed and the
// chaining machines only advance on other messages. The faces call
// AfterCommand after a menu command for the same reason.
class QtMessagePump : public QObject, public MessagePump {
    Q_OBJECT
  public:
    QtMessagePump();
    ~QtMessagePump() override;

    void SetTarget(MessageTarget* target) { target_ = target; }

    void DispatchPending() override;
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;

    // Queues one non-tick message for the target.
    void AfterCommand();
    // Sends a message to the target now (debug windows' close notices).
    void Send(const Message& msg);

    bool TimerRunning(int id) const { return timers_.count(id) != 0; }

  private:
    void OnTick(int id);

    MessageTarget* target_ = nullptr;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace quillon::qt
