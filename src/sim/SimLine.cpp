#include "sim/SimLine.h"

#include <algorithm>

namespace quillon::sim {

SimLine::SimLine(VirtualClock& clock, int baud)
    : clock_(clock),
      byteTimeNs_(static_cast<uint64_t>(10.0 * 1e9 / (baud > 0 ? baud : 9600) + 0.5)),
      host_(*this, Dir::HostToCard),
      card_(*this, Dir::CardToHost) {}

bool SimLine::Chance(double rate) {
    if (rate <= 0.0) {
        return false;
    }
    std::uniform_real_distribution<double> u(0.0, 1.0);
    return u(rng_) < rate;
}

void SimLine::Send(Dir dir, uint8_t b) {
    const int d = static_cast<int>(dir);
    if (filters_[d]) {
        const FilterResult r = filters_[d](b);
        switch (r.action) {
            case FilterAction::Pass:
                break;
            case FilterAction::Drop:
                Put(dir, b);  // the byte still takes its time on the wire
                return;
            case FilterAction::Replace:
                b = r.value;
                break;
            case FilterAction::InsertAfter:
                Send(dir, b);
                Send(dir, r.value);
                return;
        }
    }
    // Occupy the line for the byte's ten bits whatever becomes of it.
    const uint64_t start = std::max(clock_.NowNs(), freeAtNs_[d]);
    freeAtNs_[d] = start + byteTimeNs_;
    const LineFaults& f = faults_[d];
    bool deliver = !f.silent;
    if (deliver && Chance(f.dropRate)) {
        ++dropped_;
        deliver = false;
    }
    if (deliver && Chance(f.corruptRate)) {
        std::uniform_int_distribution<int> bits(1, 255);
        b = static_cast<uint8_t>(b ^ bits(rng_));
        ++corrupted_;
    }
    if (deliver) {
        Arrive(dir, freeAtNs_[d], b);
    }
    if (Chance(f.insertRate)) {
        std::uniform_int_distribution<int> any(0, 255);
        ++inserted_;
        const uint8_t extra = static_cast<uint8_t>(any(rng_));
        const uint64_t s2 = freeAtNs_[d];
        freeAtNs_[d] = s2 + byteTimeNs_;
        if (!f.silent) {
            Arrive(dir, freeAtNs_[d], extra);
        }
    }
}

void SimLine::Arrive(Dir dir, uint64_t wireDoneNs, uint8_t b) {
    const LineDelivery& dl = delivery_[static_cast<int>(dir)];
    uint64_t at = wireDoneNs + dl.latencyNs;
    if (dl.burstNs > 0) {
        at = (at + dl.burstNs - 1) / dl.burstNs * dl.burstNs;
    }
    // Readable times never decrease along a direction, and the clock runs
    // the events of one moment in the order they were scheduled, so a burst
    // keeps the bytes' order.
    End& far = (dir == Dir::HostToCard) ? card_ : host_;
    clock_.ScheduleAt(at, [this, &far, b] {
        if (connected_) {
            far.Deliver(b);
        }
    });
}

void SimLine::Put(Dir dir, uint8_t) {
    const int d = static_cast<int>(dir);
    const uint64_t start = std::max(clock_.NowNs(), freeAtNs_[d]);
    freeAtNs_[d] = start + byteTimeNs_;
    ++dropped_;
}

void SimLine::End::Deliver(uint8_t b) {
    if (rx_.size() >= kRxCapacity) {
        ++overflowed_;
        return;
    }
    rx_.push_back(b);
    if (listener_) {
        listener_();
    }
}

int SimLine::End::Read(uint8_t* dest, int max) {
    if (!line_.connected_) {
        return -1;
    }
    int n = 0;
    while (n < max && !rx_.empty()) {
        dest[n++] = rx_.front();
        rx_.pop_front();
    }
    return n;
}

int SimLine::End::Write(const uint8_t* src, int count) {
    if (!line_.connected_) {
        return -1;
    }
    for (int i = 0; i < count; ++i) {
        line_.Send(txDir_, src[i]);
    }
    written_ += static_cast<uint64_t>(count > 0 ? count : 0);
    return count > 0 ? count : 0;
}

void SimLine::End::PurgeReceive() {
    rx_.clear();
}

size_t SimLine::End::Available() const {
    return rx_.size();
}

bool SimLine::End::Connected() const {
    return line_.connected_;
}

}  // namespace quillon::sim
