#include "sim/VirtualClock.h"

#include <limits>

namespace quillon::sim {

void VirtualClock::AdvanceTo(uint64_t ns) {
    if (ns < nowNs_) {
        return;
    }
    if (running_) {
        // An event that sleeps would nest time inside time; let it only move
        // the clock, the outer loop runs what falls due.
        nowNs_ = ns;
        return;
    }
    running_ = true;
    while (!events_.empty() && events_.begin()->first.first <= ns) {
        auto it = events_.begin();
        const uint64_t when = it->first.first;
        std::function<void()> fn = std::move(it->second);
        events_.erase(it);
        if (when > nowNs_) {
            nowNs_ = when;
        }
        fn();
    }
    if (ns > nowNs_) {
        nowNs_ = ns;
    }
    running_ = false;
}

VirtualClock::EventId VirtualClock::ScheduleAt(uint64_t ns, std::function<void()> fn) {
    if (ns < nowNs_) {
        ns = nowNs_;
    }
    const EventId id = nextSeq_++;
    events_.emplace(std::make_pair(ns, id), std::move(fn));
    return id;
}

void VirtualClock::Cancel(EventId id) {
    for (auto it = events_.begin(); it != events_.end(); ++it) {
        if (it->first.second == id) {
            events_.erase(it);
            return;
        }
    }
}

uint64_t VirtualClock::NextEventNs() const {
    if (events_.empty()) {
        return std::numeric_limits<uint64_t>::max();
    }
    return events_.begin()->first.first;
}

}  // namespace quillon::sim
