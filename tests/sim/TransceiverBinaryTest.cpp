#include <gtest/gtest.h>

#include "SimBench.h"

namespace quillon::sim::test {

using quillon::testing::SimBench;
using quillon::testing::Text;

namespace {

using cardbci::Payload;

SimOptions Binary() {
    SimOptions o;
    o.card.startBinary = true;
    return o;
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

std::vector<uint8_t> Slice(const Payload& p, size_t from, size_t n) {
    return std::vector<uint8_t>(p.begin() + static_cast<std::ptrdiff_t>(from),
                                p.begin() + static_cast<std::ptrdiff_t>(from + n));
}

bool ZeroFrom(const Payload& p, size_t from) {
    return std::all_of(p.begin() + static_cast<std::ptrdiff_t>(from), p.end(),
                       [](uint8_t b) { return b == 0; });
}

const std::vector<uint8_t> kResetReplyWire =
    Cat({{0x01, 0x00, 0x80, 0x99}, std::vector<uint8_t>(254, 0x00), {0x1B, 0x22, 0x19}});

TEST(TransceiverBinary, ResetReplyWithNakDrivenResends) {
    SimBench b(Binary());
    // One block and the EOT, each acknowledged; no answer until a NAK.
    EXPECT_EQ(b.SendMessage(cardbci::SplitIntoBlocks({0x00, 0x99})),
              (std::vector<uint8_t>{0x06, 0x06}));
    b.RunMs(2000);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{});

    b.SendBytes({0x15});
    b.RunMs(600);
    EXPECT_EQ(b.TakeBytes(), kResetReplyWire);
    b.SendBytes({0x15});  // not taken: the same block again
    b.RunMs(600);
    EXPECT_EQ(b.TakeBytes(), kResetReplyWire);
    b.SendBytes({0x06});
    b.RunMs(50);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{0x04});
    b.SendBytes({0x15});  // the EOT again
    b.RunMs(50);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{0x04});
    b.SendBytes({0x06});
    b.RunMs(900);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{});
    EXPECT_EQ(b.Card().BlockLink().Count().repliesDone, 1u);
    EXPECT_EQ(b.Card().BlockLink().Count().replyResends, 1u);
}

TEST(TransceiverBinary, ARepeatedEotBeforeTheReplyIsAcknowledgedAgain) {
    SimBench b(Binary());
    EXPECT_EQ(b.SendMessage(cardbci::SplitIntoBlocks({0x00, 0x99})),
              (std::vector<uint8_t>{0x06, 0x06}));
    // The programmer never saw that ACK and sends its EOT again.
    b.SendBytes({0x04});
    b.RunMs(50);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{0x06});
    b.SendBytes({0x15});
    b.RunMs(600);
    EXPECT_EQ(b.TakeBytes(), kResetReplyWire);
    EXPECT_EQ(b.Card().BlockLink().Count().messages, 1u);  // one request, not two
}

TEST(TransceiverBinary, AnswersThatArriveWhileABlockIsGoingOutAreIgnored) {
    SimBench b(Binary());
    b.SendMessage(cardbci::SplitIntoBlocks({0x00, 0x99}));
    b.SendBytes({0x15});
    b.RunMs(50);
    b.SendBytes({0x15});  // the block is still on the line: this NAK is stale
    b.RunMs(1000);
    EXPECT_EQ(b.TakeBytes(), kResetReplyWire);
    // Without any answer the block goes out again after ten seconds.
    b.RunMs(10000);
    EXPECT_EQ(b.TakeBytes(), kResetReplyWire);
}

TEST(TransceiverBinary, AnIdleCardOffersANakOnlyWhileTheProgrammerIsSilent) {
    SimBench b(Binary());
    b.RunMs(3500);
    EXPECT_EQ(b.Take(), "\x15\x15\x15");
    // A programmer in binary mode offers its own NAK every second: the card
    // stays quiet instead of answering.
    for (int i = 0; i < 5; ++i) {
        b.Send("\x15");
        b.RunMs(900);
    }
    EXPECT_EQ(b.Take(), "");
    // Out of binary mode the offers stop.
    b.Request({0x00, 0x0B});
    b.RunMs(5000);
    EXPECT_EQ(b.Take(), "");
}

TEST(TransceiverBinary, GetChannelsOfAnEmptyTable) {
    SimBench b(Binary());
    const auto reply = b.Request({0x00, 0x05});
    // 512 three-byte records: 1536 bytes, 6 x 254 and 12 in a seventh block.
    ASSERT_EQ(reply.size(), 7u);
    for (const auto& block : reply) {
        EXPECT_EQ(Slice(block, 0, 2), (std::vector<uint8_t>{0x80, 0x05}));
    }
    EXPECT_EQ(Slice(reply[0], 2, 9),
              (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x02, 0x00}));
    // Channel 84 is split: its number ends block 0, its kind starts block 1.
    EXPECT_EQ(Slice(reply[0], 254, 2), (std::vector<uint8_t>{0x00, 0x84}));
    EXPECT_EQ(Slice(reply[1], 2, 4), (std::vector<uint8_t>{0x00, 0x00, 0x85, 0x00}));
    EXPECT_EQ(Slice(reply[6], 2, 12), (std::vector<uint8_t>{0x05, 0x08, 0x00, 0x05, 0x09, 0x00,
                                                            0x05, 0x10, 0x00, 0x05, 0x11, 0x00}));
    EXPECT_TRUE(ZeroFrom(reply[6], 14));
}

// The data message of a channel send: slot 0 fixed, slot 1 scan, the rest empty.
std::vector<uint8_t> TwoChannelStream(uint8_t kindOfSlot5 = 0) {
    std::vector<uint8_t> s = {0x00, 0x00, 0x01, 'C', 'H', 'Z', 'E', 'R', 'O', ' ', ' '};
    for (int i = 0; i < 65; ++i) {
        s.push_back(static_cast<uint8_t>(0x30 + i));
    }
    s.insert(s.end(), {0x00, 0x01, 0x02, 'S', 'C', 'A', 'N', 0, 0, 0, 0, 0x02});
    for (int i = 0; i < 24; ++i) {
        s.push_back(static_cast<uint8_t>(i));
    }
    for (int slot = 2; slot < 512; ++slot) {
        const auto n = ToBcd4(slot);
        s.insert(s.end(), {n[0], n[1], slot == 5 ? kindOfSlot5 : uint8_t{0}});
    }
    return s;
}

TEST(TransceiverBinary, SendChannelsStoresTheTableAndAnswersSevenBlocks) {
    SimBench b(Binary());
    EXPECT_TRUE(b.Request({0x00, 0x04, 0x05, 0x12}).empty());  // the count message
    b.SendMessage(cardbci::SplitWithHeader(0x00, 0x04, TwoChannelStream()));
    const auto reply = b.ReadReply();
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(Slice(reply[0], 0, 8),
              (std::vector<uint8_t>{0x80, 0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(Slice(reply[6], 0, 5), (std::vector<uint8_t>{0x80, 0x04, 0x05, 0x04, 0x00}));
    EXPECT_EQ(Slice(reply[6], 23, 3), (std::vector<uint8_t>{0x05, 0x11, 0x00}));
    EXPECT_TRUE(ZeroFrom(reply[6], 26));

    const CardContent& c = b.Card().Content();
    EXPECT_EQ(c.channels[0].kind, 1);
    EXPECT_EQ(std::string(c.channels[0].data.begin(), c.channels[0].data.begin() + 8), "CHZERO  ");
    EXPECT_EQ(c.channels[0].data[8], 0x30);
    EXPECT_EQ(c.channels[0].data[72], 0x30 + 64);
    EXPECT_EQ(c.channels[1].kind, 2);
    EXPECT_EQ(c.channels[1].data[8], 0x02);  // valid references
    EXPECT_EQ(c.channels[1].data[32], 23);   // the last reference byte

    // Reading it back gives the same records.
    const auto back = b.Request({0x00, 0x05});
    const auto stream = cardbci::JoinBodies(back, 2);
    const auto sent = TwoChannelStream();
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), stream.begin()));
}

// A card with a bad memory cell: the blocks arrive whole and are answered
// good, but one channel is kept with a bit flipped, and a Get reads it so.
TEST(TransceiverSwitches, StoreFaultFlipsOneBitOfOneStoredChannel) {
    const auto storeWith = [](int faulty) {
        SimOptions o = Binary();
        o.card.storeFault = faulty;
        auto b = std::make_unique<SimBench>(o);
        b->Request({0x00, 0x04, 0x05, 0x12});
        b->SendMessage(cardbci::SplitWithHeader(0x00, 0x04, TwoChannelStream()));
        const auto reply = b->ReadReply();
        EXPECT_EQ(reply.size(), 7u);
        if (!reply.empty()) {
            // Every record is still reported stored.
            EXPECT_EQ(Slice(reply[0], 2, 6),
                      (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x00, 0x01, 0x00}));
        }
        return b;
    };
    const auto clean = storeWith(-1);
    const CardContent& good = clean->Card().Content();

    // A fixed channel: the last byte of its receive frequency, 0x3A -> 0x3B.
    const auto fixed = storeWith(0);
    const CardContent& c0 = fixed->Card().Content();
    EXPECT_EQ(good.channels[0].data[18], 0x3A);
    EXPECT_EQ(c0.channels[0].data[18], 0x3B);
    CardChannel back = c0.channels[0];
    back.data[18] = 0x3A;
    EXPECT_EQ(back, good.channels[0]);  // nothing else of it changed
    EXPECT_EQ(c0.channels[1], good.channels[1]);
    // The Get gives the spoiled record back as it is stored.
    const auto stream = cardbci::JoinBodies(fixed->Request({0x00, 0x05}), 2);
    ASSERT_GT(stream.size(), 3u + 18u);
    EXPECT_EQ(stream[3 + 18], 0x3B);

    // A scan channel: the first letter of its name, 'S' -> 'R'.
    const auto scan = storeWith(1);
    const CardContent& c1 = scan->Card().Content();
    EXPECT_EQ(std::string(c1.channels[1].data.begin(), c1.channels[1].data.begin() + 4), "RCAN");
    EXPECT_EQ(c1.channels[0], good.channels[0]);

    // An empty slot has nothing to spoil.
    const auto empty = storeWith(2);
    EXPECT_EQ(empty->Card().Content(), good);
}

TEST(TransceiverBinary, ABadRecordRefusesTheWholeTable) {
    SimBench b(Binary());
    b.Request({0x00, 0x04, 0x05, 0x12});
    b.SendMessage(cardbci::SplitWithHeader(0x00, 0x04, TwoChannelStream(3)));
    const auto reply = b.ReadReply();
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(Slice(reply[0], 2, 6), (std::vector<uint8_t>{0x00, 0x00, 0x01, 0x00, 0x01, 0x01}));
    EXPECT_EQ(b.Card().Content(), CardContent::Factory());

    // A data message without its count message is taken for a count message.
    b.SendMessage(cardbci::SplitWithHeader(0x00, 0x04, TwoChannelStream()));
    EXPECT_TRUE(b.ReadReply().empty());
    EXPECT_EQ(b.Card().Content(), CardContent::Factory());
}

TEST(TransceiverBinary, SquelchGroupsOneByOne) {
    SimBench b(Binary());
    const auto one = b.Request({0x00, 0x07, 0x03});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(Slice(one[0], 0, 19),
              (std::vector<uint8_t>{0x80, 0x07, 'S', 'Q', 'U', 'E', 'L', 'C', 'H', ' ', 'G', 'R',
                                    'O', 'U', 'P', ' ', '3', 0x00, 0x03}));
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(Slice(one[0], 19 + 3 * i, 3), (std::vector<uint8_t>{0x00, 0x00, 0x04}));
    }
    EXPECT_TRUE(ZeroFrom(one[0], 67));

    std::vector<uint8_t> send = {0x00, 0x08, 'A', 'L', 'P', 'H', 'A'};
    send.resize(2 + 16, 0);
    send.push_back(0x02);  // group 2
    send.insert(send.end(), {0x02, 0x93, 0x01});
    send.resize(2 + 65, 0);
    const auto ack = b.Request(send);
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(Slice(ack[0], 0, 2), (std::vector<uint8_t>{0x80, 0x08}));
    EXPECT_TRUE(ZeroFrom(ack[0], 2));
    const GroupRecord& g = b.Card().Content().groups[1];
    EXPECT_EQ(std::string(g.begin(), g.begin() + 5), "ALPHA");
    EXPECT_EQ(g[16], 0x02);
    EXPECT_EQ(g[17], 0x02);
    EXPECT_EQ(g[18], 0x93);
    EXPECT_EQ(g[19], 0x01);

    // A group number outside 1..16 is answered with an empty record.
    const auto none = b.Request({0x00, 0x07, 0x11});
    ASSERT_EQ(none.size(), 1u);
    EXPECT_TRUE(ZeroFrom(none[0], 2));
}

TEST(TransceiverBinary, AllSquelchGroupsInOneExchange) {
    SimBench b(Binary());
    std::vector<uint8_t> req = {0x00, 0x0C, 0x10};
    for (uint8_t n = 1; n <= 16; ++n) {
        req.push_back(n);
    }
    const auto reply = b.Request(req);
    ASSERT_EQ(reply.size(), 5u);  // 1040 bytes: 4 x 254 and 24
    for (const auto& block : reply) {
        EXPECT_EQ(Slice(block, 0, 2), (std::vector<uint8_t>{0x80, 0x0C}));
    }
    EXPECT_EQ(Slice(reply[0], 2, 15), (std::vector<uint8_t>{'S', 'Q', 'U', 'E', 'L', 'C', 'H', ' ',
                                                            'G', 'R', 'O', 'U', 'P', ' ', '1'}));
    EXPECT_EQ(reply[0][2 + 65 + 16], 0x02);  // the second record's number
    // The fifth block ends group 16 with its last eight items.
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(Slice(reply[4], 2 + 3 * i, 3), (std::vector<uint8_t>{0x00, 0x00, 0x04}));
    }
    EXPECT_TRUE(ZeroFrom(reply[4], 26));

    // And the send: a count message, then the 16 records behind 0x00 0x0D.
    CardContent changed = CardContent::Factory();
    changed.groups[4][0] = 'Z';
    std::vector<uint8_t> records;
    for (const auto& g : changed.groups) {
        records.insert(records.end(), g.begin(), g.end());
    }
    EXPECT_TRUE(b.Request({0x00, 0x0D, 0x10}).empty());
    b.SendMessage(cardbci::SplitWithHeader(0x00, 0x0D, records));
    const auto ack = b.ReadReply();
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(Slice(ack[0], 0, 2), (std::vector<uint8_t>{0x80, 0x0D}));
    EXPECT_EQ(b.Card().Content().groups, changed.groups);
}

TEST(TransceiverBinary, ToneRemoteListBothWays) {
    SimBench b(Binary());
    const auto get = b.Request({0x00, 0x09});
    ASSERT_EQ(get.size(), 1u);
    EXPECT_EQ(Slice(get[0], 0, 2), (std::vector<uint8_t>{0x80, 0x09}));
    for (size_t t = 0; t < 12; ++t) {
        EXPECT_EQ(Slice(get[0], 2 + 3 * t, 3), (std::vector<uint8_t>{0x04, 0x00, 0x00}));
    }
    std::vector<uint8_t> send = {0x00, 0x0A, 0x03, 0x05, 0x11, 0x01, 0x00, 0x00};
    send.resize(2 + 36, 0);
    const auto ack = b.Request(send);
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(Slice(ack[0], 0, 3), (std::vector<uint8_t>{0x80, 0x0A, 0x00}));
    const ToneList& t = b.Card().Content().tones;
    EXPECT_EQ(std::vector<uint8_t>(t.begin(), t.begin() + 6),
              (std::vector<uint8_t>{0x03, 0x05, 0x11, 0x01, 0x00, 0x00}));
}

TEST(TransceiverBinary, LeavingBinaryModeLandsLoggedIn) {
    SimBench b(Binary());
    const auto reply = b.Request({0x00, 0x0B});
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(Slice(reply[0], 0, 2), (std::vector<uint8_t>{0x80, 0x0B}));
    EXPECT_EQ(b.Card().CurrentMode(), TransceiverSim::Mode::Shell);
    EXPECT_EQ(b.Take(), "");  // no prompt of its own
    EXPECT_EQ(b.Talk("getp bcp_version\r"), "getp bcp_version\r\n1.2\r\nVEL> ");
}

TEST(TransceiverBinary, UnknownCommandsAndStrayBytes) {
    SimBench b(Binary());
    EXPECT_TRUE(b.Request({0x00, 0x42}).empty());
    EXPECT_TRUE(b.Request({0x80, 0x99}).empty());  // a reply is no request
    // An EOT without blocks is acknowledged; ACK and NAK alone get nothing.
    EXPECT_EQ(b.Talk("\x04"), "\x06");
    EXPECT_EQ(b.Talk("\x06\x15"), "");
    // A burst of noise gets one NAK once the line is quiet.
    EXPECT_EQ(b.Talk("garbage and more garbage\r\n"), "\x15");
    EXPECT_EQ(b.Request({0x00, 0x99}).size(), 1u);
}

TEST(TransceiverBinary, BrokenBlocksGetExactlyOneNak) {
    SimBench b(Binary());
    // Cut short: the NAK comes once the bytes stop.
    auto wire = cardbci::EncodeBlock(0, Payload{});
    b.SendBytes(std::vector<uint8_t>(wire.begin(), wire.begin() + 100));
    b.RunMs(150);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{});
    b.RunMs(200);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{0x15});
    // Too long: one NAK for all of it.
    std::vector<uint8_t> oversized = {0x01};
    for (int i = 0; i < 600; ++i) {
        oversized.push_back(static_cast<uint8_t>(0x30 + i % 80));
    }
    b.SendBytes(oversized);
    b.RunMs(1500);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{0x15});
    // A wrong sum.
    wire.back() ^= 0x80;
    b.SendBytes(wire);
    b.RunMs(700);
    EXPECT_EQ(b.TakeBytes(), std::vector<uint8_t>{0x15});
    EXPECT_EQ(b.Card().BlockLink().Count().blocksAccepted, 0u);
}

TEST(TransceiverBinary, RepeatedAndRestartedBlocks) {
    SimBench b(Binary());
    Payload tones{};
    tones[0] = 0x00;
    tones[1] = 0x0A;
    tones[2] = 0x02;
    const Payload second{};
    // Block 0 twice (its ACK was lost), then block 1: two blocks, not three.
    b.SendBytes(cardbci::EncodeBlock(0, tones));
    b.RunMs(700);
    b.SendBytes(cardbci::EncodeBlock(0, tones));
    b.RunMs(700);
    b.SendBytes(cardbci::EncodeBlock(1, second));
    b.RunMs(700);
    EXPECT_EQ(b.Take(), "\x06\x06\x06");
    EXPECT_EQ(b.Card().BlockLink().Count().blocksAccepted, 2u);
    // A number out of order is refused; block 0 starts a new message.
    b.SendBytes(cardbci::EncodeBlock(5, second));
    b.RunMs(700);
    EXPECT_EQ(b.Take(), "\x15");
    const auto reply = b.Request({0x00, 0x99});
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0][1], 0x99);
    EXPECT_EQ(b.Card().Content().tones, CardContent::Factory().tones);
}

TEST(TransceiverBinary, OverlongMessagesAreRefused) {
    SimBench b(Binary());
    const Payload p{};
    std::string answers;
    for (int i = 0; i <= static_cast<int>(CardBlockLink::kMaxMessageBlocks); ++i) {
        b.SendBytes(cardbci::EncodeBlock(static_cast<uint8_t>(i), p));
        b.RunMs(300);
        answers += b.Take();
    }
    EXPECT_EQ(answers, std::string(CardBlockLink::kMaxMessageBlocks, '\x06') + "\x15");
}

// --- the switches of binary mode --------------------------------------------

TEST(TransceiverSwitches, NakFirstSends) {
    SimOptions o = Binary();
    o.card.nakFirst = 2;
    SimBench b(o);
    const auto wire = cardbci::EncodeBlock(0, cardbci::SplitIntoBlocks({0x00, 0x99})[0]);
    std::string answers;
    for (int i = 0; i < 3; ++i) {
        b.SendBytes(wire);
        b.RunMs(700);
        answers += b.Take();
    }
    EXPECT_EQ(answers, "\x15\x15\x06");
}

TEST(TransceiverSwitches, WrongReplyHeader) {
    SimOptions o = Binary();
    o.card.badHeaderCode = 0x99;
    o.card.badHeaderTimes = 2;
    SimBench b(o);
    const std::vector<uint8_t> spoiled =
        Cat({{0x01, 0x00, 0x80, 0x00}, std::vector<uint8_t>(254, 0x00), {0x00, 0x80}});
    for (int i = 0; i < 3; ++i) {
        b.SendMessage(cardbci::SplitIntoBlocks({0x00, 0x99}));
        b.SendBytes({0x15});
        b.RunMs(600);
        EXPECT_EQ(b.TakeBytes(), i < 2 ? spoiled : kResetReplyWire) << "reply " << i;
        b.SendBytes({0x06});
        b.RunMs(50);
        b.SendBytes({0x06});
        b.RunMs(50);
        b.Take();
    }
    // Other commands keep their header.
    EXPECT_EQ(b.Request({0x00, 0x09})[0][1], 0x09);
}

TEST(TransceiverSwitches, BadChannelNumberAndBadKind) {
    SimOptions number = Binary();
    number.card.badChannelNumber = true;
    SimBench n(number);
    EXPECT_EQ(Slice(n.Request({0x00, 0x05})[0], 2, 6),
              (std::vector<uint8_t>{0x05, 0x12, 0x00, 0x00, 0x01, 0x00}));

    SimOptions kind = Binary();
    kind.card.badKind = true;
    kind.card.badRecordSlot = 100;  // stream byte 300: block 1, payload byte 48
    SimBench k(kind);
    const auto reply = k.Request({0x00, 0x05});
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(Slice(reply[1], 48, 6), (std::vector<uint8_t>{0x01, 0x00, 0x03, 0x01, 0x01, 0x00}));
}

}  // namespace
}  // namespace quillon::sim::test
