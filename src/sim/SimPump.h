#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>

#include "core/Message.h"
#include "core/MessagePump.h"
#include "sim/VirtualClock.h"

namespace quillon::sim {

// The message loop of the simulated world. It hands the target the same
// sequence the Qt adapter produces: each timer tick followed by another
// message (so the chains advance while the tick is consumed in binary mode),
// and a message after each posted command.
class SimPump : public MessagePump {
  public:
    explicit SimPump(VirtualClock& clock) : clock_(clock) {}

    void SetTarget(MessageTarget* target) { target_ = target; }

    void DispatchPending() override;
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;

    // A message that will be dispatched by the next DispatchPending.
    void Post(const Message& msg) { posted_.push_back(msg); }
    // A user action (a click on Cancel, say) that the message loop handles
    // in the first dispatch at or after the given virtual time, as a click
    // is handled inside a reply wait.
    void PostActionAt(uint64_t ns, std::function<void()> action) {
        actions_.emplace(ns, std::move(action));
    }
    // What the GUI does after a menu command: let one more message through.
    void AfterCommand() { Post(Message{MessageKind::Other, 0}); }

    // The top-level loop: dispatches and lets virtual time pass.
    void RunFor(uint32_t ms);
    // Runs until pred() holds (checked after every dispatch) or maxMs passed;
    // returns whether pred() held.
    bool RunUntil(const std::function<bool()>& pred, uint32_t maxMs);

    bool TimerRunning(int id) const { return timers_.count(id) != 0; }
    uint64_t TicksDelivered() const { return ticks_; }
    uint64_t Dispatches() const { return dispatches_; }

  private:
    struct Timer {
        uint64_t periodNs;
        uint64_t nextNs;
    };
    void Deliver(const Message& msg);
    uint64_t NextDueNs() const;

    VirtualClock& clock_;
    MessageTarget* target_ = nullptr;
    std::map<int, Timer> timers_;
    std::deque<Message> posted_;
    std::multimap<uint64_t, std::function<void()>> actions_;
    uint64_t ticks_ = 0;
    uint64_t dispatches_ = 0;
};

}  // namespace quillon::sim
