#include "FaultLine.h"

#include <map>
#include <utility>

namespace quillon::soak {

namespace {
constexpr uint8_t kSoh = 0x01;
}

const char* FaultKindName(FaultKind k) {
    switch (k) {
        case FaultKind::Corrupt:
            return "corrupt";
        case FaultKind::Drop:
            return "drop";
        case FaultKind::Insert:
            return "insert";
        case FaultKind::Silenced:
            return "silenced";
    }
    return "?";
}

FaultLine::FaultLine(sim::SimLine& line, uint32_t seed) : rng_(seed) {
    for (const auto dir : {sim::SimLine::Dir::HostToCard, sim::SimLine::Dir::CardToHost}) {
        line.SetFilter(dir, [this, dir](uint8_t b) { return Filter(dir, b); });
    }
}

void FaultLine::SetRates(sim::SimLine::Dir dir, const FaultRates& rates) {
    rates_[static_cast<int>(dir)] = rates;
}

void FaultLine::Silence(sim::SimLine::Dir dir) {
    const int d = static_cast<int>(dir);
    if (!silenced_[d]) {
        silenced_[d] = true;
        faults_.push_back(Fault{d, sent_[d], blocks_[d], FaultKind::Silenced, 0, 0, false});
    }
}

bool FaultLine::Chance(double rate) {
    if (rate <= 0.0) {
        return false;
    }
    std::uniform_real_distribution<double> u(0.0, 1.0);
    return u(rng_) < rate;
}

sim::FilterResult FaultLine::Filter(sim::SimLine::Dir dir, uint8_t b) {
    // An insertion makes the line send the byte and the extra one through
    // the filter again; both pass untouched and uncounted.
    if (passThrough_ > 0) {
        --passThrough_;
        return {};
    }
    if (observer_) {
        observer_(dir, b);
    }
    const int d = static_cast<int>(dir);
    const uint64_t position = sent_[d]++;
    if (b == kSoh) {
        ++blocks_[d];
    }
    if (silenced_[d]) {
        return {sim::FilterAction::Drop, 0};
    }
    const bool binary = binaryNow_ && binaryNow_();
    const FaultRates& r = rates_[d];
    // The three faults are drawn in a fixed order so that a seed always
    // gives the same faults for the same bytes.
    if (Chance(r.drop)) {
        faults_.push_back(Fault{d, position, blocks_[d], FaultKind::Drop, b, 0, binary});
        return {sim::FilterAction::Drop, 0};
    }
    if (Chance(r.corrupt)) {
        std::uniform_int_distribution<int> bits(1, 255);
        const auto spoilt = static_cast<uint8_t>(b ^ bits(rng_));
        faults_.push_back(Fault{d, position, blocks_[d], FaultKind::Corrupt, b, spoilt, binary});
        return {sim::FilterAction::Replace, spoilt};
    }
    if (Chance(r.insert)) {
        std::uniform_int_distribution<int> any(0, 255);
        const auto extra = static_cast<uint8_t>(any(rng_));
        faults_.push_back(Fault{d, position, blocks_[d], FaultKind::Insert, b, extra, binary});
        passThrough_ = 2;
        return {sim::FilterAction::InsertAfter, extra};
    }
    return {};
}

size_t FaultLine::DataFaults() const {
    size_t n = 0;
    for (const Fault& f : faults_) {
        n += f.kind != FaultKind::Silenced ? 1 : 0;
    }
    return n;
}

size_t FaultLine::TextModeFaults(sim::SimLine::Dir dir) const {
    size_t n = 0;
    for (const Fault& f : faults_) {
        n += f.kind != FaultKind::Silenced && !f.binary && f.dir == static_cast<int>(dir) ? 1 : 0;
    }
    return n;
}

std::vector<MultiHit> BlocksHitMoreThanOnce(const std::vector<Fault>& faults) {
    struct Acc {
        int faults = 0;
        bool allCorrupt = true;
        int sum = 0;
    };
    std::map<std::pair<int, uint64_t>, Acc> byBlock;
    for (const Fault& f : faults) {
        if (f.kind == FaultKind::Silenced || !f.binary || f.block == 0) {
            continue;  // text mode has no checksum to be blind
        }
        Acc& a = byBlock[{f.dir, f.block}];
        ++a.faults;
        if (f.kind == FaultKind::Corrupt) {
            a.sum += static_cast<int>(f.now) - static_cast<int>(f.original);
        } else {
            a.allCorrupt = false;
        }
    }
    std::vector<MultiHit> out;
    for (const auto& [key, a] : byBlock) {
        if (a.faults >= 2) {
            out.push_back(MultiHit{key.first, key.second, a.faults, a.allCorrupt && a.sum == 0});
        }
    }
    return out;
}

}  // namespace quillon::soak
