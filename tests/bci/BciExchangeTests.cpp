// Whole exchanges between the engine and the simulated card, whose block
// codec is its own, over a 9600 baud line with faults. Whatever the line
// does, an exchange either delivers exactly what was sent or fails with its
// failure result within the time-outs: no silent loss, no duplicate, no
// early end, no hang.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BciRig.h"
#include "ChannelStreams.h"
#include "sim/CardRig.h"

namespace quillon::testing {
namespace {

using testing::Bcd4;
using testing::RandomTable;
using testing::Stream;
using testing::WithHeaders;

using sim::SimLine;

constexpr int kChannels = testing::kStreamChannels;
constexpr size_t kFixedRecord = 76;
// 512 fixed channels make 38912 stream bytes: 154 blocks of 254.
constexpr size_t kTableBlocks = 154;
// Every exchange ends, one way or the other, within five minutes: well beyond
// its time-outs and its slowest repaired run (about 100 s), far short of a hang.
constexpr int kTickLimit = 5 * 60 * 20;

// A card world: the simulated card at the far end of a faulty line, the
// engine at the near end, stepped like the application steps it.
class CardWorld {
  public:
    CardWorld(const sim::SimOptions& options, sim::CardContent content)
        : card(clock, options, std::move(content)) {
        ports.Attach("COM1", card.Host());
        ctx.devices = &ports;
        ctx.clock = &clock;
        ctx.log = &log;
        link = std::make_unique<CBciLink>(ctx, 1, 9600);
        link->initialise();
    }
    void Tick() {
        clock.AdvanceBy(BciRig::kTickNs);
        if (transaction) {
            transaction();
        }
        link->ReadPort();
        link->Step();
        if (transaction) {
            transaction();
        }
    }
    SimLine& Line() { return card.Line(); }

    sim::VirtualClock clock;
    sim::CardRig card;
    sim::SimPorts ports;
    sim::MemoryLog log;
    LinkContext ctx;
    std::unique_ptr<CBciLink> link;
    std::function<void()> transaction;
};

// One exchange as a transaction makes it: reset, each request message queued
// and finished, the reply read 256 bytes at a time, then the wait for its end.
class Exchange {
  public:
    Exchange(CBciLink& link, std::vector<Bytes> requests, size_t replyBytes)
        : link_(link), requests_(std::move(requests)), reader_(link, replyBytes) {}

    void Step() {
        if (result != 0) {
            return;
        }
        if (!started_) {
            link_.StartExchange();
            started_ = true;
        }
        while (message_ < requests_.size()) {
            const Bytes& m = requests_[message_];
            if (!queued_) {
                const int r = link_.SendBytes(static_cast<int>(m.size()), m.data());
                if (r == 2) {
                    result = 2;
                }
                if (r != 1) {
                    return;
                }
                queued_ = true;
            }
            const int r = link_.FinishMessage();
            if (r == 2) {
                result = 2;
            }
            if (r != 1) {
                return;
            }
            queued_ = false;
            ++message_;
        }
        reader_.Step();
        result = reader_.result;
    }
    const Bytes& Reply() const { return reader_.got; }
    int result = 0;

  private:
    CBciLink& link_;
    std::vector<Bytes> requests_;
    ReplyReader reader_;
    bool started_ = false;
    size_t message_ = 0;
    bool queued_ = false;
};

int Run(CardWorld& world, Exchange& ex) {
    world.transaction = [&] { ex.Step(); };
    for (int i = 0; i < kTickLimit && ex.result == 0; ++i) {
        world.Tick();
    }
    world.transaction = nullptr;
    return ex.result;
}

sim::SimOptions Options(uint32_t seed, double corrupt = 0, double drop = 0, double insert = 0) {
    sim::SimOptions o;
    o.card.startBinary = true;
    o.seed = seed;
    o.corruptRate = corrupt;
    o.dropRate = drop;
    o.insertRate = insert;
    return o;
}

// Reads the whole channel table from the card. Returns the exchange's result;
// a result of 1 must come with exactly the card's table.
struct GetOutcome {
    int result = 0;
    bool exact = false;
};
GetOutcome GetTable(CardWorld& world, const std::array<sim::CardChannel, kChannels>& table) {
    Exchange ex(*world.link, {{0x00, 0x05}}, kTableBlocks * 256);
    GetOutcome out;
    out.result = Run(world, ex);
    out.exact = ex.Reply() == WithHeaders(0x80, 0x05, Stream(table), true);
    return out;
}

sim::CardContent ContentWith(const std::array<sim::CardChannel, kChannels>& table) {
    sim::CardContent c = sim::CardContent::Factory();
    c.channels = table;
    return c;
}

// Writes a table into the card: the count message, the 154-block data
// message, then the 7-block status reply.
struct SendOutcome {
    int result = 0;
    bool stored = false;    // the card holds exactly the table sent
    bool statusOk = false;  // the reply reports every record stored
};
SendOutcome SendTable(CardWorld& world, const std::array<sim::CardChannel, kChannels>& table) {
    Exchange ex(*world.link,
                {{0x00, 0x04, 0x05, 0x12}, WithHeaders(0x00, 0x04, Stream(table), false)}, 7 * 256);
    SendOutcome out;
    out.result = Run(world, ex);
    out.stored = world.card.Card().Content().channels == table;
    if (ex.Reply().size() == 7 * 256) {
        out.statusOk = true;
        for (int i = 0; i < kChannels; ++i) {
            const size_t at =
                static_cast<size_t>(i / 84) * 256 + 2 + static_cast<size_t>(i % 84) * 3;
            const auto n = Bcd4(i);
            out.statusOk = out.statusOk && ex.Reply()[at] == n[0] && ex.Reply()[at + 1] == n[1] &&
                           ex.Reply()[at + 2] == 0x00;
        }
    }
    return out;
}

TEST(BciExchange, CleanLineMovesTheWholeTableBothWays) {
    const auto table = RandomTable(7);
    {
        CardWorld world(Options(1), ContentWith(table));
        const GetOutcome got = GetTable(world, table);
        EXPECT_EQ(got.result, 1);
        EXPECT_TRUE(got.exact);
        EXPECT_EQ(world.link->Counter(BciCounter::AcceptedBlocks), kTableBlocks);
        EXPECT_EQ(world.link->Counter(BciCounter::ChecksumFails), 0u);
        EXPECT_EQ(world.link->Counter(BciCounter::EotsReceived), 1u);
    }
    {
        CardWorld world(Options(1), sim::CardContent::Factory());
        const SendOutcome sent = SendTable(world, table);
        EXPECT_EQ(sent.result, 1);
        EXPECT_TRUE(sent.stored);
        EXPECT_TRUE(sent.statusOk);
        EXPECT_EQ(world.link->Counter(BciCounter::BlocksSent), 1u + kTableBlocks);
        EXPECT_EQ(world.link->Counter(BciCounter::Retries), 0u);
    }
}

// A Get and a Send of the full table over a line with these faults. Each
// either delivers exactly what was sent or fails; returns how many of the two
// got through and adds what the line did to `faults`.
int BothWays(const sim::SimOptions& o, uint32_t tableSeed, uint64_t& faults) {
    const auto table = RandomTable(tableSeed);
    int ok = 0;
    {
        CardWorld world(o, ContentWith(table));
        const GetOutcome got = GetTable(world, table);
        EXPECT_NE(got.result, 0) << "get hung, seed " << o.seed;
        EXPECT_TRUE(got.result != 1 || got.exact) << "get, seed " << o.seed;
        ok += got.result == 1 ? 1 : 0;
        faults += world.Line().Corrupted() + world.Line().Dropped() + world.Line().Inserted();
    }
    {
        CardWorld world(o, sim::CardContent::Factory());
        const SendOutcome sent = SendTable(world, table);
        EXPECT_NE(sent.result, 0) << "send hung, seed " << o.seed;
        if (sent.result == 1) {
            EXPECT_TRUE(sent.stored && sent.statusOk) << "send, seed " << o.seed;
            ++ok;
        } else {
            // The card takes a table whole or not at all.
            EXPECT_FALSE(sent.stored) << "send, seed " << o.seed;
            EXPECT_EQ(world.card.Card().Content().channels, sim::CardContent::Factory().channels);
        }
        faults += world.Line().Corrupted() + world.Line().Dropped() + world.Line().Inserted();
    }
    return ok;
}

TEST(BciExchange, OneByteInTenThousandCorruptedStillDeliversIdenticalTables) {
    uint64_t faults = 0;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        EXPECT_EQ(BothWays(Options(seed, 1e-4), 100 + seed, faults), 2) << "seed " << seed;
    }
    EXPECT_GT(faults, 10u);  // the faults did happen
}

TEST(BciExchange, DroppedAndInsertedBytesNeverCorruptWhatIsDelivered) {
    uint64_t faults = 0;
    int ok = 0;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        ok += BothWays(Options(seed, 0, 2e-4), 200 + seed, faults);
        ok += BothWays(Options(seed, 0, 0, 1e-4), 300 + seed, faults);
    }
    EXPECT_GT(faults, 20u);
    EXPECT_GE(ok, 12);  // such a line is survivable: most exchanges get through
}

TEST(BciExchange, OnePercentErrorRateFailsWithinTheTimeOuts) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        uint64_t faults = 0;
        EXPECT_EQ(BothWays(Options(seed, 1e-2), 19, faults), 0) << "seed " << seed;
        // Only the reply is noisy: the request gets through and the reader's
        // 15 s limit ends the exchange.
        const auto table = RandomTable(19);
        CardWorld world(Options(seed, 1e-2), ContentWith(table));
        world.Line().SetFaults(SimLine::Dir::HostToCard, sim::LineFaults{});
        const GetOutcome got = GetTable(world, table);
        EXPECT_EQ(got.result, 2) << "noisy reply, seed " << seed;
        EXPECT_EQ(world.link->Counter(BciCounter::EotsAcknowledged), 1u);
        EXPECT_LT(world.link->Counter(BciCounter::AcceptedBlocks), kTableBlocks);
    }
}

// Drops the n-th byte of value v in one direction.
std::function<sim::FilterResult(uint8_t)> DropNth(uint8_t v, int n) {
    auto seen = std::make_shared<int>(0);
    return [v, n, seen](uint8_t b) {
        if (b == v && ++*seen == n) {
            return sim::FilterResult{sim::FilterAction::Drop, 0};
        }
        return sim::FilterResult{};
    };
}

TEST(BciExchange, LostAckIsRepairedWithoutDuplicatingABlock) {
    const auto table = RandomTable(9);
    {
        // Our ACK of a reply block never reaches the card; it sends the block
        // again and the engine acknowledges the copy without keeping it.
        CardWorld world(Options(1), ContentWith(table));
        world.Line().SetFilter(SimLine::Dir::HostToCard, DropNth(0x06, 40));
        const GetOutcome got = GetTable(world, table);
        EXPECT_EQ(got.result, 1);
        EXPECT_TRUE(got.exact);
        EXPECT_EQ(world.link->Counter(BciCounter::AcceptedBlocks), kTableBlocks);
        EXPECT_EQ(world.link->Counter(BciCounter::AcksSent), kTableBlocks + 1);
        EXPECT_GE(world.card.Card().BlockLink().Count().replyResends, 1u);
    }
    {
        // The card's ACK of one of our blocks is lost: we send it again.
        CardWorld world(Options(1), sim::CardContent::Factory());
        world.Line().SetFilter(SimLine::Dir::CardToHost, DropNth(0x06, 40));
        const SendOutcome sent = SendTable(world, table);
        EXPECT_EQ(sent.result, 1);
        EXPECT_TRUE(sent.stored);
        EXPECT_EQ(world.link->Counter(BciCounter::BlocksSent), 1u + kTableBlocks + 1u);
        EXPECT_EQ(world.card.Card().BlockLink().Count().blocksAccepted, 1u + kTableBlocks);
    }
}

// Corrupts one byte of the stream in a direction (the n-th byte overall), and
// then turns the first NAK coming back the other way into an ACK.
struct NakToAck {
    std::shared_ptr<int> seen = std::make_shared<int>(0);
    std::shared_ptr<bool> spoiled = std::make_shared<bool>(false);
    std::shared_ptr<bool> turned = std::make_shared<bool>(false);
    void Install(SimLine& line, SimLine::Dir blocks, SimLine::Dir answers, int n) {
        auto seenP = seen;
        auto spoiledP = spoiled;
        line.SetFilter(blocks, [seenP, spoiledP, n](uint8_t b) {
            if (++*seenP == n) {
                *spoiledP = true;
                return sim::FilterResult{sim::FilterAction::Replace,
                                         static_cast<uint8_t>(b == 0x55 ? 0x56 : 0x55)};
            }
            return sim::FilterResult{};
        });
        auto turnedP = turned;
        line.SetFilter(answers, [spoiledP, turnedP](uint8_t b) {
            if (*spoiledP && !*turnedP && b == 0x15) {
                *turnedP = true;
                return sim::FilterResult{sim::FilterAction::Replace, 0x06};
            }
            return sim::FilterResult{};
        });
    }
};

TEST(BciExchange, NakTurnedIntoAckFailsTheExchangeInsteadOfLosingABlock) {
    const auto table = RandomTable(11);
    {
        CardWorld world(Options(1), ContentWith(table));
        NakToAck fault;
        fault.Install(world.Line(), SimLine::Dir::CardToHost, SimLine::Dir::HostToCard, 20 * 262);
        const GetOutcome got = GetTable(world, table);
        ASSERT_TRUE(*fault.turned);
        EXPECT_EQ(got.result, 2);
        EXPECT_TRUE(world.link->RxMessageBroken());
        EXPECT_LT(world.link->Counter(BciCounter::AcceptedBlocks), kTableBlocks);
    }
    {
        CardWorld world(Options(1), sim::CardContent::Factory());
        NakToAck fault;
        fault.Install(world.Line(), SimLine::Dir::HostToCard, SimLine::Dir::CardToHost, 20 * 262);
        const SendOutcome sent = SendTable(world, table);
        ASSERT_TRUE(*fault.turned);
        EXPECT_EQ(sent.result, 2);
        EXPECT_EQ(world.link->Counter(BciCounter::RetriesFailed), 1u);
        EXPECT_FALSE(sent.stored);
        EXPECT_EQ(world.card.Card().Content().channels, sim::CardContent::Factory().channels);
    }
}

// Inserts an EOT right after the complete block numbered `number` in the
// given direction (found with the tests' own decoder).
std::function<sim::FilterResult(uint8_t)> EotAfterBlock(uint8_t number) {
    auto reader = std::make_shared<BlockReader>();
    auto done = std::make_shared<bool>(false);
    return [reader, done, number](uint8_t b) {
        if (!*done && reader->Feed(b) == BlockReader::Got::Block && reader->Number() == number) {
            *done = true;
            return sim::FilterResult{sim::FilterAction::InsertAfter, 0x04};
        }
        return sim::FilterResult{};
    };
}

TEST(BciExchange, StrayEotBetweenBlocksNeverEndsAMessageEarlyUnnoticed) {
    const auto table = RandomTable(13);
    for (const uint8_t after : {5, 60, 120}) {
        {
            CardWorld world(Options(1), ContentWith(table));
            world.Line().SetFilter(SimLine::Dir::CardToHost, EotAfterBlock(after));
            const GetOutcome got = GetTable(world, table);
            ASSERT_NE(got.result, 0);
            if (got.result == 1) {
                EXPECT_TRUE(got.exact) << "after " << int{after};
            }
        }
        {
            CardWorld world(Options(1), sim::CardContent::Factory());
            world.Line().SetFilter(SimLine::Dir::HostToCard, EotAfterBlock(after));
            const SendOutcome sent = SendTable(world, table);
            ASSERT_NE(sent.result, 0);
            if (sent.result == 1) {
                EXPECT_TRUE(sent.stored) << "after " << int{after};
            } else {
                EXPECT_EQ(world.card.Card().Content().channels,
                          sim::CardContent::Factory().channels);
            }
        }
    }
}

TEST(BciExchange, StrayEotAloneInARxReadEndsTheReplyAndTheReadFails) {
    // The worst placement: the EOT reaches us by itself while we wait for the
    // next SOH. The engine takes it for the end of the message; the blocks
    // that follow are out of sequence and refused, and the reader reports
    // the failure instead of a short reply.
    const auto table = RandomTable(17);
    sim::SimOptions o = Options(1);
    o.card.latencyMs = 120;  // the card answers our ACKs late
    CardWorld world(o, ContentWith(table));
    auto acks = std::make_shared<int>(0);
    SimLine& line = world.Line();
    line.SetFilter(SimLine::Dir::HostToCard, [&line, &world, acks](uint8_t b) {
        if (b == 0x06 && ++*acks == 10) {
            world.clock.ScheduleIn(60 * sim::VirtualClock::kNsPerMs, [&line] {
                const uint8_t eot = 0x04;
                line.Card().Write(&eot, 1);
            });
        }
        return sim::FilterResult{};
    });
    const GetOutcome got = GetTable(world, table);
    EXPECT_EQ(got.result, 2);
    EXPECT_EQ(world.link->Counter(BciCounter::AcceptedBlocks), 10u);
    EXPECT_TRUE(world.link->RxMessageBroken());
}

}  // namespace
}  // namespace quillon::testing
