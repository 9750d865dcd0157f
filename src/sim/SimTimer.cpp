#include "sim/SimTimer.h"

namespace quillon::sim {

void SimTimer::Start(uint64_t delayNs, std::function<void()> fn) {
    const uint64_t gen = ++*generation_;
    std::weak_ptr<uint64_t> alive = generation_;
    armed_ = true;
    dueNs_ = clock_.NowNs() + delayNs;
    clock_.ScheduleIn(delayNs, [this, alive, gen, fn = std::move(fn)] {
        const auto current = alive.lock();
        if (!current || *current != gen) {
            return;
        }
        armed_ = false;
        fn();
    });
}

}  // namespace quillon::sim
