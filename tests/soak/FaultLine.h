#pragma once
// Line faults injected from the soak's own random stream, each one written
// down: where it fell (direction, byte position, which block) and what it did
// to the byte. The record is what lets the soak tell a checksum's blind spot
// (two errors in one block that the additive sum cannot see) from a defect.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sim/SimLine.h"

namespace quillon::soak {

enum class FaultKind { Corrupt, Drop, Insert, Silenced };

struct Fault {
    int dir = 0;            // SimLine::Dir as int
    uint64_t position = 0;  // index of the byte among those sent that way
    uint64_t block = 0;     // SOH bytes sent that way before it (0: before any block)
    FaultKind kind = FaultKind::Corrupt;
    uint8_t original = 0;
    uint8_t now = 0;      // the corrupted value, or the byte inserted after
    bool binary = false;  // the programmer was in binary mode
};

// Per-direction fault rates (probability per byte).
struct FaultRates {
    double corrupt = 0.0;
    double drop = 0.0;
    double insert = 0.0;
};

// A block (direction, block number) that two or more data faults fell in:
// the only place where a block with wrong data can pass its checksum.
struct MultiHit {
    int dir;
    uint64_t block;
    int faults;
    bool sumsCancel;  // every fault a corruption and their changes add up to 0
};

// The blocks of a fault record that were hit more than once in binary mode.
std::vector<MultiHit> BlocksHitMoreThanOnce(const std::vector<Fault>& faults);

class FaultLine {
  public:
    FaultLine(sim::SimLine& line, uint32_t seed);
    FaultLine(const FaultLine&) = delete;
    FaultLine& operator=(const FaultLine&) = delete;

    void SetRates(sim::SimLine::Dir dir, const FaultRates& rates);
    // From the next byte on nothing sent this way arrives (a card that has
    // stopped talking, a cable pulled on one pair).
    void Silence(sim::SimLine::Dir dir);
    // Called with every byte before the faults are drawn (the line's filter
    // is taken by the fault line itself).
    void SetObserver(std::function<void(sim::SimLine::Dir, uint8_t)> fn) {
        observer_ = std::move(fn);
    }

    // Tells each fault whether it fell in binary mode.
    void SetModeProbe(std::function<bool()> fn) { binaryNow_ = std::move(fn); }

    const std::vector<Fault>& Faults() const { return faults_; }
    uint64_t BytesSent(sim::SimLine::Dir dir) const { return sent_[static_cast<int>(dir)]; }
    // Faults that spoil data (corruptions, drops, insertions), not silences.
    size_t DataFaults() const;
    // Data faults on the bytes sent one way while the programmer was in
    // text mode, where nothing but the echo can show them.
    size_t TextModeFaults(sim::SimLine::Dir dir) const;

    std::vector<MultiHit> BlocksHitMoreThanOnce() const {
        return soak::BlocksHitMoreThanOnce(faults_);
    }

  private:
    sim::FilterResult Filter(sim::SimLine::Dir dir, uint8_t b);
    bool Chance(double rate);

    std::mt19937 rng_;
    FaultRates rates_[2];
    bool silenced_[2] = {false, false};
    uint64_t sent_[2] = {0, 0};
    uint64_t blocks_[2] = {0, 0};
    std::vector<Fault> faults_;
    std::function<void(sim::SimLine::Dir, uint8_t)> observer_;
    std::function<bool()> binaryNow_;
    int passThrough_ = 0;
};

const char* FaultKindName(FaultKind k);

}  // namespace quillon::soak
