#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "sim/VirtualClock.h"

namespace quillon::sim {

// A one-shot timer on the virtual clock for the simulated devices. Starting
// it again or stopping it makes the earlier event a no-op instead of
// cancelling it, because the clock's Cancel scans every pending event and a
// busy line keeps thousands of them queued. An event that falls due after
// the timer itself is gone does nothing either.
class SimTimer {
  public:
    explicit SimTimer(VirtualClock& clock)
        : clock_(clock), generation_(std::make_shared<uint64_t>(0)) {}
    SimTimer(const SimTimer&) = delete;
    SimTimer& operator=(const SimTimer&) = delete;

    void Start(uint64_t delayNs, std::function<void()> fn);
    void Stop() {
        ++*generation_;
        armed_ = false;
    }
    bool Armed() const { return armed_; }
    // When the running timer falls due (meaningful only while Armed).
    uint64_t DueNs() const { return dueNs_; }

  private:
    VirtualClock& clock_;
    std::shared_ptr<uint64_t> generation_;
    bool armed_ = false;
    uint64_t dueNs_ = 0;
};

}  // namespace quillon::sim
