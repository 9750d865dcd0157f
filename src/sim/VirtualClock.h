#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "core/Clock.h"

namespace quillon::sim {

// Virtual time for the simulated world. Nothing moves unless somebody
// advances the clock: sleeping does, and so do the simulated pump's waits.
// Events scheduled by the simulated line, card and modem run in time order
// while the clock passes their moment, so a 38-second detection or a
// 30-second time-out takes microseconds and always runs the same way.
class VirtualClock : public Clock {
  public:
    using EventId = uint64_t;
    static constexpr uint64_t kNsPerMs = 1000000;

    explicit VirtualClock(uint32_t startTickMs = 1000) : startTickMs_(startTickMs) {}

    uint64_t NowNs() const { return nowNs_; }
    uint64_t NowMs() const { return nowNs_ / kNsPerMs; }

    uint32_t TickCountMs() override {
        return static_cast<uint32_t>(startTickMs_ + nowNs_ / kNsPerMs);
    }
    int64_t ProcessClockMs() override { return static_cast<int64_t>(nowNs_ / kNsPerMs); }
    void SleepMs(uint32_t ms) override {
        ++sleepCalls_;
        AdvanceBy(static_cast<uint64_t>(ms) * kNsPerMs);
    }

    // Moves time forward, running every event that falls due on the way.
    void AdvanceBy(uint64_t ns) { AdvanceTo(nowNs_ + ns); }
    void AdvanceTo(uint64_t ns);

    EventId ScheduleAt(uint64_t ns, std::function<void()> fn);
    EventId ScheduleIn(uint64_t ns, std::function<void()> fn) {
        return ScheduleAt(nowNs_ + ns, std::move(fn));
    }
    void Cancel(EventId id);
    bool HasEvents() const { return !events_.empty(); }
    uint64_t NextEventNs() const;  // UINT64_MAX when none

    uint64_t SleepCalls() const { return sleepCalls_; }

  private:
    uint64_t startTickMs_;
    uint64_t nowNs_ = 0;
    uint64_t nextSeq_ = 1;
    uint64_t sleepCalls_ = 0;
    bool running_ = false;
    // (time, sequence) keeps events of the same moment in scheduling order.
    std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> events_;
};

}  // namespace quillon::sim
