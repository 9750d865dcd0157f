// The soak's own bookkeeping: where a fault is recorded to have fallen
// decides whether a wrong success counts as a checksum blind spot or as a
// defect, so it must be right.
#include "FaultLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/SimLine.h"
#include "sim/VirtualClock.h"

namespace quillon::soak {
namespace {

using sim::SimLine;

std::vector<uint8_t> Arrived(sim::VirtualClock& clock, SimLine& line) {
    clock.AdvanceBy(sim::VirtualClock::kNsPerMs * 1000);
    std::vector<uint8_t> got(64);
    const int n = line.Card().Read(got.data(), static_cast<int>(got.size()));
    got.resize(static_cast<size_t>(n > 0 ? n : 0));
    return got;
}

TEST(FaultLine, RecordsEachFaultWithItsPositionBlockAndMode) {
    sim::VirtualClock clock;
    SimLine line(clock);
    FaultLine faults(line, 7);
    bool binary = false;
    faults.SetModeProbe([&] { return binary; });
    // Text first, clean.
    const uint8_t text[] = {'a', 'b', '\r'};
    line.Host().Write(text, 3);
    // Then two blocks with every byte corrupted.
    binary = true;
    faults.SetRates(SimLine::Dir::HostToCard, FaultRates{1.0, 0.0, 0.0});
    // (Block 1 carries its number escaped, as 0x01 never appears inside a block.)
    const uint8_t blocks[] = {0x01, 0x00, 0x41, 0x01, 0x1b, 0x22};
    line.Host().Write(blocks, 6);

    const auto got = Arrived(clock, line);
    ASSERT_EQ(got.size(), 9u);
    EXPECT_EQ(got[0], 'a');
    EXPECT_EQ(got[2], '\r');
    ASSERT_EQ(faults.Faults().size(), 6u);
    const uint64_t blockOf[] = {1, 1, 1, 2, 2, 2};
    for (size_t i = 0; i < 6; ++i) {
        const Fault& f = faults.Faults()[i];
        EXPECT_EQ(f.kind, FaultKind::Corrupt);
        EXPECT_EQ(f.position, 3 + i);
        EXPECT_EQ(f.block, blockOf[i]) << i;
        EXPECT_TRUE(f.binary);
        EXPECT_EQ(f.original, blocks[i]);
        EXPECT_NE(f.now, f.original);
        EXPECT_EQ(got[3 + i], f.now) << "the recorded value is the one that arrived";
    }
    EXPECT_EQ(faults.DataFaults(), 6u);
    EXPECT_EQ(faults.TextModeFaults(SimLine::Dir::HostToCard), 0u);
    EXPECT_EQ(faults.BytesSent(SimLine::Dir::HostToCard), 9u);

    const auto hits = faults.BlocksHitMoreThanOnce();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].block, 1u);
    EXPECT_EQ(hits[0].faults, 3);
    EXPECT_EQ(hits[1].block, 2u);
}

TEST(FaultLine, DropsAndInsertionsArriveAsRecorded) {
    sim::VirtualClock clock;
    SimLine line(clock);
    FaultLine faults(line, 3);
    faults.SetRates(SimLine::Dir::HostToCard, FaultRates{0.0, 1.0, 0.0});
    const uint8_t lost[] = {'x', 'y'};
    line.Host().Write(lost, 2);
    faults.SetRates(SimLine::Dir::HostToCard, FaultRates{0.0, 0.0, 1.0});
    const uint8_t kept[] = {'z'};
    line.Host().Write(kept, 1);

    const auto got = Arrived(clock, line);
    ASSERT_EQ(faults.Faults().size(), 3u);
    EXPECT_EQ(faults.Faults()[0].kind, FaultKind::Drop);
    EXPECT_EQ(faults.Faults()[1].kind, FaultKind::Drop);
    EXPECT_EQ(faults.Faults()[2].kind, FaultKind::Insert);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], 'z');
    EXPECT_EQ(got[1], faults.Faults()[2].now);
    // No mode probe: text mode, where no block checksum applies.
    EXPECT_EQ(faults.TextModeFaults(SimLine::Dir::HostToCard), 3u);
    EXPECT_TRUE(faults.BlocksHitMoreThanOnce().empty());
}

TEST(FaultLine, ASilencedDirectionDeliversNothingMore) {
    sim::VirtualClock clock;
    SimLine line(clock);
    FaultLine faults(line, 1);
    const uint8_t before[] = {'a'};
    line.Card().Write(before, 1);
    faults.Silence(SimLine::Dir::CardToHost);
    const uint8_t after[] = {'b', 'c'};
    line.Card().Write(after, 2);
    clock.AdvanceBy(sim::VirtualClock::kNsPerMs * 100);
    uint8_t buf[8];
    ASSERT_EQ(line.Host().Read(buf, 8), 1);
    EXPECT_EQ(buf[0], 'a');
    ASSERT_EQ(faults.Faults().size(), 1u);
    EXPECT_EQ(faults.Faults()[0].kind, FaultKind::Silenced);
    EXPECT_EQ(faults.Faults()[0].position, 1u);
    EXPECT_EQ(faults.DataFaults(), 0u);
}

TEST(FaultLine, TheSameSeedGivesTheSameFaults) {
    std::vector<Fault> runs[2];
    for (auto& run : runs) {
        sim::VirtualClock clock;
        SimLine line(clock);
        FaultLine faults(line, 99);
        faults.SetRates(SimLine::Dir::HostToCard, FaultRates{0.05, 0.05, 0.05});
        std::vector<uint8_t> bytes(2000);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 7);
        }
        line.Host().Write(bytes.data(), static_cast<int>(bytes.size()));
        run = faults.Faults();
    }
    ASSERT_EQ(runs[0].size(), runs[1].size());
    EXPECT_GT(runs[0].size(), 100u);
    for (size_t i = 0; i < runs[0].size(); ++i) {
        EXPECT_EQ(runs[0][i].position, runs[1][i].position);
        EXPECT_EQ(runs[0][i].kind, runs[1][i].kind);
        EXPECT_EQ(runs[0][i].now, runs[1][i].now);
    }
}

}  // namespace
}  // namespace quillon::soak

namespace quillon::soak {
namespace {

Fault At(int dir, uint64_t block, FaultKind kind, uint8_t from, uint8_t to, bool binary = true) {
    Fault f;
    f.dir = dir;
    f.block = block;
    f.kind = kind;
    f.original = from;
    f.now = to;
    f.binary = binary;
    return f;
}

TEST(BlocksHitMoreThanOnce, CountsOnlyBinaryBlocksOfOneDirectionHitTwice) {
    const std::vector<Fault> faults = {
        // Block 3 to the card: +5 and -5, a pair the additive sum cannot see.
        At(0, 3, FaultKind::Corrupt, 0x10, 0x15),
        At(0, 3, FaultKind::Corrupt, 0x20, 0x1b),
        // Block 3 the other way: once only.
        At(1, 3, FaultKind::Corrupt, 0x10, 0x11),
        // Block 4 to the card: a corruption and a drop.
        At(0, 4, FaultKind::Corrupt, 0x10, 0x11),
        At(0, 4, FaultKind::Drop, 0x22, 0x00),
        // Block 5 to the card: two corruptions that do not cancel.
        At(0, 5, FaultKind::Corrupt, 0x10, 0x11),
        At(0, 5, FaultKind::Corrupt, 0x10, 0x11),
        // Text mode, and the line silenced: never a block's blind spot.
        At(1, 6, FaultKind::Corrupt, 'a', 'b', false),
        At(1, 6, FaultKind::Corrupt, 'b', 'a', false),
        At(1, 7, FaultKind::Silenced, 0, 0),
        At(1, 7, FaultKind::Corrupt, 1, 2),
    };
    const auto hits = BlocksHitMoreThanOnce(faults);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].dir, 0);
    EXPECT_EQ(hits[0].block, 3u);
    EXPECT_EQ(hits[0].faults, 2);
    EXPECT_TRUE(hits[0].sumsCancel);
    EXPECT_EQ(hits[1].block, 4u);
    EXPECT_FALSE(hits[1].sumsCancel);
    EXPECT_EQ(hits[2].block, 5u);
    EXPECT_FALSE(hits[2].sumsCancel);
}

}  // namespace
}  // namespace quillon::soak
