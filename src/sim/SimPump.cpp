#include "sim/SimPump.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace quillon::sim {

void SimPump::Deliver(const Message& msg) {
    if (target_ != nullptr) {
        target_->PreTranslateMessage(msg);
    }
}

void SimPump::DispatchPending() {
    ++dispatches_;
    // Posted messages first, as far as they were waiting when we started:
    // a message posted while dispatching waits for the next round.
    size_t n = posted_.size();
    while (n-- > 0 && !posted_.empty()) {
        const Message m = posted_.front();
        posted_.pop_front();
        Deliver(m);
    }
    while (!actions_.empty() && actions_.begin()->first <= clock_.NowNs()) {
        auto action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
    }
    // Each due timer fires once, however late, like a window timer.
    std::vector<int> due;
    const uint64_t now = clock_.NowNs();
    for (auto& [id, t] : timers_) {
        if (t.nextNs <= now) {
            due.push_back(id);
        }
    }
    for (int id : due) {
        auto it = timers_.find(id);
        if (it == timers_.end()) {
            continue;  // stopped by an earlier delivery
        }
        Timer& t = it->second;
        while (t.nextNs <= now) {
            t.nextNs += t.periodNs;
        }
        ++ticks_;
        Deliver(Message{MessageKind::Timer, id});
        Deliver(Message{MessageKind::Other, 0});
    }
}

void SimPump::StartTimer(int id, int periodMs) {
    const uint64_t period =
        static_cast<uint64_t>(periodMs > 0 ? periodMs : 1) * VirtualClock::kNsPerMs;
    timers_[id] = Timer{period, clock_.NowNs() + period};
}

void SimPump::StopTimer(int id) {
    timers_.erase(id);
}

uint64_t SimPump::NextDueNs() const {
    uint64_t next = std::numeric_limits<uint64_t>::max();
    for (const auto& [id, t] : timers_) {
        next = std::min(next, t.nextNs);
    }
    return next;
}

void SimPump::RunFor(uint32_t ms) {
    RunUntil([] { return false; }, ms);
}

bool SimPump::RunUntil(const std::function<bool()>& pred, uint32_t maxMs) {
    const uint64_t deadline =
        clock_.NowNs() + static_cast<uint64_t>(maxMs) * VirtualClock::kNsPerMs;
    for (;;) {
        DispatchPending();
        if (pred()) {
            return true;
        }
        if (clock_.NowNs() >= deadline) {
            return false;
        }
        if (!posted_.empty()) {
            continue;
        }
        // Sleep until the next tick; the line and the card run meanwhile.
        const uint64_t next =
            std::min({NextDueNs(), deadline, clock_.NowNs() + 10 * VirtualClock::kNsPerMs});
        clock_.AdvanceTo(std::max(next, clock_.NowNs() + 1));
    }
}

}  // namespace quillon::sim
