// The simulated world the other tests stand on: virtual time, the line's
// timing and faults, and the pump's message sequence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Message.h"
#include "sim/SimLine.h"
#include "sim/SimPump.h"
#include "sim/VirtualClock.h"

using quillon::sim::FilterAction;
using quillon::sim::FilterResult;
using quillon::sim::LineDelivery;
using quillon::sim::LineFaults;
using quillon::sim::SimLine;
using quillon::sim::SimPump;
using quillon::sim::VirtualClock;

namespace {
constexpr uint64_t kMs = VirtualClock::kNsPerMs;

std::string ReadAll(SimLine::End& e) {
    std::string s;
    uint8_t b[64];
    int n;
    while ((n = e.Read(b, sizeof b)) > 0) {
        s.append(reinterpret_cast<char*>(b), static_cast<size_t>(n));
    }
    return s;
}
}  // namespace

TEST(VirtualClock, EventsRunInTimeOrderAndScheduleOrderWithinAMoment) {
    VirtualClock c(4294967000u);
    std::vector<int> order;
    c.ScheduleAt(5 * kMs, [&] { order.push_back(2); });
    c.ScheduleAt(1 * kMs, [&] { order.push_back(1); });
    c.ScheduleAt(5 * kMs, [&] { order.push_back(3); });
    auto id = c.ScheduleAt(4 * kMs, [&] { order.push_back(99); });
    c.Cancel(id);
    c.AdvanceTo(10 * kMs);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    // The tick count wraps like the system's.
    c.SleepMs(1000);
    EXPECT_LT(c.TickCountMs(), 1000u);
    EXPECT_EQ(c.ProcessClockMs(), 1010);
}

TEST(SimLine, BytesArriveAtTheLineRateInOrder) {
    VirtualClock c;
    SimLine line(c);
    const uint8_t msg[10] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    line.Host().Write(msg, 10);
    c.AdvanceTo(line.ByteTimeNs() * 3);
    EXPECT_EQ(ReadAll(line.Card()), "012");
    c.AdvanceTo(line.ByteTimeNs() * 10);
    EXPECT_EQ(ReadAll(line.Card()), "3456789");
    // 960 bytes take one second at 9600 baud.
    EXPECT_NEAR(static_cast<double>(line.ByteTimeNs()) * 960, 1e9, 1e3);
}

TEST(SimLine, PurgeDropsArrivedBytesOnlyAndDisconnectFailsBothWays) {
    VirtualClock c;
    SimLine line(c);
    const uint8_t msg[4] = {'a', 'b', 'c', 'd'};
    line.Card().Write(msg, 4);
    c.AdvanceTo(line.ByteTimeNs() * 2);
    line.Host().PurgeReceive();
    c.AdvanceTo(line.ByteTimeNs() * 4);
    EXPECT_EQ(ReadAll(line.Host()), "cd");
    line.Disconnect();
    uint8_t b[4];
    EXPECT_EQ(line.Host().Read(b, 4), -1);
    EXPECT_EQ(line.Host().Write(msg, 1), -1);
}

TEST(SimLine, LatencyAndBurstsDelayOnlyTheirDirection) {
    VirtualClock c(0);
    SimLine line(c);
    LineDelivery usb;
    usb.latencyNs = 120 * kMs;
    usb.burstNs = 16 * kMs;
    line.SetDelivery(SimLine::Dir::CardToHost, usb);
    // Ten bytes leave the wire at 1.04 ms, 2.08 ms, ... 10.4 ms, reach the
    // adapter 120 ms later, and are handed over at 128 ms (the first seven,
    // in by 127.3 ms) and 144 ms (the other three).
    line.Card().Write(reinterpret_cast<const uint8_t*>("abcdefghij"), 10);
    line.Host().Write(reinterpret_cast<const uint8_t*>("x"), 1);
    c.AdvanceTo(2 * kMs);
    EXPECT_EQ(ReadAll(line.Card()), "x");  // the other way is untouched
    c.AdvanceTo(128 * kMs - 1);
    EXPECT_EQ(ReadAll(line.Host()), "");
    c.AdvanceTo(128 * kMs);
    EXPECT_EQ(ReadAll(line.Host()), "abcdefg");
    c.AdvanceTo(144 * kMs - 1);
    EXPECT_EQ(ReadAll(line.Host()), "");
    c.AdvanceTo(144 * kMs);
    EXPECT_EQ(ReadAll(line.Host()), "hij");

    // A byte written at 150 ms is off the wire at 151.04 ms and in the
    // adapter at 271.04 ms: the burst at 272 ms brings it.
    c.AdvanceTo(150 * kMs);
    line.Card().Write(reinterpret_cast<const uint8_t*>("k"), 1);
    c.AdvanceTo(272 * kMs - 1);
    EXPECT_EQ(ReadAll(line.Host()), "");
    c.AdvanceTo(272 * kMs);
    EXPECT_EQ(ReadAll(line.Host()), "k");

    // Latency alone delays each byte by exactly that much.
    usb.burstNs = 0;
    line.SetDelivery(SimLine::Dir::CardToHost, usb);
    const uint64_t t0 = 300 * kMs;
    c.AdvanceTo(t0);
    line.Card().Write(reinterpret_cast<const uint8_t*>("yz"), 2);
    c.AdvanceTo(t0 + 120 * kMs + line.ByteTimeNs() - 1);
    EXPECT_EQ(ReadAll(line.Host()), "");
    c.AdvanceTo(t0 + 120 * kMs + line.ByteTimeNs());
    EXPECT_EQ(ReadAll(line.Host()), "y");
    c.AdvanceTo(t0 + 120 * kMs + 2 * line.ByteTimeNs());
    EXPECT_EQ(ReadAll(line.Host()), "z");
}

TEST(SimLine, FaultsAreSeededAndFiltersActOnSingleBytes) {
    auto run = [](uint32_t seed) {
        VirtualClock c;
        SimLine line(c);
        line.SetSeed(seed);
        LineFaults f;
        f.corruptRate = 0.1;
        f.dropRate = 0.1;
        line.SetFaults(SimLine::Dir::HostToCard, f);
        std::vector<uint8_t> data(1000, 0x55);
        line.Host().Write(data.data(), static_cast<int>(data.size()));
        c.AdvanceBy(2000 * kMs);
        return ReadAll(line.Card());
    };
    const std::string a = run(7);
    EXPECT_EQ(a, run(7));
    EXPECT_NE(a, run(8));
    EXPECT_LT(a.size(), 950u);
    EXPECT_NE(a.find_first_not_of('\x55'), std::string::npos);

    VirtualClock c;
    SimLine line(c);
    int seen = 0;
    line.SetFilter(SimLine::Dir::CardToHost, [&](uint8_t b) {
        if (b == 0x06 && seen++ == 0) {
            return FilterResult{FilterAction::Drop, 0};  // lose the first ACK
        }
        if (b == 0x15) {
            return FilterResult{FilterAction::Replace, 0x06};  // a NAK read as ACK
        }
        return FilterResult{};
    });
    const uint8_t bytes[] = {0x06, 0x06, 0x15};
    line.Card().Write(bytes, 3);
    c.AdvanceBy(10 * kMs);
    EXPECT_EQ(ReadAll(line.Host()), std::string("\x06\x06", 2));
}

TEST(SimPump, EveryTickIsFollowedByAnotherMessageAndTicksKeepTheirCadence) {
    struct Recorder : quillon::MessageTarget {
        std::vector<quillon::MessageKind> kinds;
        bool PreTranslateMessage(const quillon::Message& m) override {
            kinds.push_back(m.kind);
            return false;
        }
    } rec;
    VirtualClock c;
    SimPump pump(c);
    pump.SetTarget(&rec);
    pump.StartTimer(1, 50);
    pump.RunFor(1000);
    ASSERT_EQ(pump.TicksDelivered(), 20u);
    ASSERT_EQ(rec.kinds.size(), 40u);
    for (size_t i = 0; i < rec.kinds.size(); i += 2) {
        EXPECT_EQ(rec.kinds[i], quillon::MessageKind::Timer);
        EXPECT_EQ(rec.kinds[i + 1], quillon::MessageKind::Other);
    }
    // A late dispatch delivers a missed tick once, like a window timer.
    rec.kinds.clear();
    c.AdvanceBy(500 * kMs);
    pump.DispatchPending();
    EXPECT_EQ(rec.kinds.size(), 2u);
    pump.StopTimer(1);
    pump.AfterCommand();
    pump.DispatchPending();
    EXPECT_EQ(rec.kinds.back(), quillon::MessageKind::Other);
}
