// The squelch group record, the all-groups stream and the tone list in the
// byte forms the card keeps them in.

#include <gtest/gtest.h>

#include <vector>

#include "bci/GroupTransfer.h"
#include "bci/Messages.h"
#include "model/CToneRemote.h"
#include "model/SquGroup.h"
#include "sim/CardBlockCodec.h"
#include "sim/MemoryLog.h"

namespace quillon::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using model::CToneRemote;
using model::SquGroup;

Bytes Record(const model::SquGroup& g, int index, LogSink& log) {
    const bci::GroupRecord r = bci::EncodeGroup(g, index, log);
    return Bytes(r.begin(), r.end());
}

Bytes Item(const Bytes& record, int i) {
    const auto at = record.begin() + 17 + 3 * i;
    return Bytes(at, at + 3);
}

TEST(GroupRecord, DefaultNamedGroupWithTwoNacs) {
    SquGroup g;
    g.SetItem(0, 0, SquGroup::kNac, "0x293");
    g.SetItem(0, 1, SquGroup::kNac, "0xf000");
    sim::MemoryLog log;
    const Bytes expected = {
        'S',  'Q',  'U',  'E',  'L',  'C',  'H',  ' ',  'G',  'R',  'O',  'U',  'P',
        ' ',  '1',  0x00, 0x01, 0x02, 0x93, 0x01, 0xF0, 0x00, 0x01, 0x00, 0x00, 0x04,
        0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00,
        0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00,
        0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04,
    };
    EXPECT_EQ(Record(g, 0, log), expected);
    EXPECT_TRUE(log.Lines().empty());
}

TEST(GroupRecord, ItemValuesByType) {
    struct Case {
        uint8_t type;
        const char* text;
        Bytes sent;
        const char* received;  // the text the same bytes come back as
    };
    const std::vector<Case> cases = {
        {SquGroup::kCdcss, "23", {0x00, 0x23, 0x03}, "23"},
        {SquGroup::kCdcss, "f000", {0xF0, 0x00, 0x03}, "f000"},
        {SquGroup::kCtcss, "67.0", {0x06, 0x70, 0x02}, "67.0"},
        {SquGroup::kCtcss, "067.0", {0x06, 0x70, 0x02}, "67.0"},
        {SquGroup::kCtcss, "254.1", {0x25, 0x41, 0x02}, "254.1"},
        {SquGroup::kCtcss, "f000", {0xF0, 0x00, 0x02}, "f00.0"},
        // What a Get makes of the any-value goes back unchanged.
        {SquGroup::kCtcss, "f00.0", {0xF0, 0x00, 0x02}, "f00.0"},
        {SquGroup::kNac, "0x293", {0x02, 0x93, 0x01}, "0x293"},
        {SquGroup::kNac, "0xf000", {0xF0, 0x00, 0x01}, "0xf000"},
        {SquGroup::kNac, "", {0x00, 0x00, 0x01}, "0x0"},
        {SquGroup::kNotUsed, "0x293", {0x00, 0x00, 0x04}, "0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SquGroup g;
        g.SetItem(4, 15, c.type, c.text);
        sim::MemoryLog log;
        const Bytes rec = Record(g, 4, log);
        EXPECT_EQ(rec[16], 5);
        EXPECT_EQ(Item(rec, 15), c.sent);

        SquGroup back;
        EXPECT_TRUE(bci::DecodeGroup(rec.data(), back, log));
        EXPECT_EQ(back.GetItem(4, 15).type, c.type);
        EXPECT_EQ(back.GetItem(4, 15).value, c.received);
        EXPECT_TRUE(log.Lines().empty());
    }
}

TEST(GroupRecord, UnknownItemTypesAreLoggedBothWays) {
    SquGroup g;
    g.SetItem(2, 0, 7, "0x293");
    sim::MemoryLog log;
    const Bytes rec = Record(g, 2, log);
    EXPECT_EQ(Item(rec, 0), (Bytes{0x00, 0x00, 0x07}));
    EXPECT_EQ(log.Count(bcimsg::kGroupSendBadType), 1);

    Bytes in = rec;
    in[17 + 3 * 5] = 0x12;
    in[17 + 3 * 5 + 2] = 0x00;  // type 0
    SquGroup back;
    back.SetItem(2, 5, SquGroup::kNac, "0x111");
    EXPECT_TRUE(bci::DecodeGroup(in.data(), back, log));
    EXPECT_EQ(log.Count(bcimsg::kGroupGetBadType), 2);
    EXPECT_EQ(back.GetItem(2, 0).type, SquGroup::kNotUsed);
    EXPECT_EQ(back.GetItem(2, 0).value, "0000");
    EXPECT_EQ(back.GetItem(2, 5).type, SquGroup::kNotUsed);
    EXPECT_EQ(back.GetItem(2, 5).value, "0000");
}

TEST(GroupRecord, NameIsCutToSixteenAndReadUpToItsFirstZero) {
    SquGroup g;
    g.SetName(15, "ABCDEFGHIJKLMNOPQRS");
    sim::MemoryLog log;
    Bytes rec = Record(g, 15, log);
    EXPECT_EQ(Bytes(rec.begin(), rec.begin() + 17),
              (Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
                     0x10}));
    rec[3] = 0x00;
    SquGroup back;
    EXPECT_TRUE(bci::DecodeGroup(rec.data(), back, log));
    EXPECT_EQ(back.GetName(15), "ABC");
}

TEST(GroupRecord, RecordGoesToTheGroupItNamesOrNowhere) {
    SquGroup g;
    g.SetName(0, "FIRST");
    g.SetItem(0, 0, SquGroup::kCdcss, "754");
    sim::MemoryLog log;
    Bytes rec = Record(g, 0, log);
    rec[16] = 9;  // placed as group 1, numbered 9
    SquGroup back;
    EXPECT_TRUE(bci::DecodeGroup(rec.data(), back, log));
    EXPECT_EQ(back.GetName(8), "FIRST");
    EXPECT_EQ(back.GetItem(8, 0).value, "754");
    EXPECT_EQ(back.GetName(0), SquGroup::DefaultName(0));

    for (uint8_t n : {0, 17, 255}) {
        rec[16] = n;
        SquGroup untouched;
        EXPECT_FALSE(bci::DecodeGroup(rec.data(), untouched, log));
        for (int i = 0; i < SquGroup::kGroups; ++i) {
            EXPECT_EQ(untouched.GetName(i), SquGroup::DefaultName(i));
        }
    }
}

// Sixteen groups, each with its number in its name and first item.
SquGroup Numbered() {
    SquGroup g;
    for (int i = 0; i < SquGroup::kGroups; ++i) {
        g.SetName(i, "G" + std::to_string(i + 1));
        g.SetItem(i, 0, SquGroup::kNac, "0x" + std::to_string(100 + i));
    }
    return g;
}

Bytes AllRecords(const SquGroup& g, LogSink& log) {
    Bytes s;
    for (int i = 0; i < SquGroup::kGroups; ++i) {
        const Bytes r = Record(g, i, log);
        s.insert(s.end(), r.begin(), r.end());
    }
    return s;
}

TEST(GroupStream, SendIsFourFullBlocksAndTwentyFourBytes) {
    const SquGroup g = Numbered();
    sim::MemoryLog log;
    EXPECT_EQ(Bytes(bci::kGroupCountMessage.begin(), bci::kGroupCountMessage.end()),
              (Bytes{0x00, 0x0D, 0x10}));
    bci::GroupStreamWriter w(g, log);
    std::vector<Bytes> blocks;
    std::vector<int> started;
    while (!w.Done() && blocks.size() < 10) {
        bci::BlockBuffer b{};
        const size_t n = w.NextBlock(b, [&](int i) { started.push_back(i); });
        blocks.emplace_back(b.begin(), b.begin() + static_cast<long>(n));
    }
    ASSERT_EQ(blocks.size(), 5u);
    EXPECT_EQ(blocks[4].size(), 26u);
    EXPECT_EQ(started, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    const Bytes stream = AllRecords(g, log);
    const auto cardBlocks = sim::cardbci::SplitWithHeader(0x00, 0x0D, stream);
    ASSERT_EQ(cardBlocks.size(), 5u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(blocks[i], Bytes(cardBlocks[i].begin(), cardBlocks[i].end())) << i;
    }
    EXPECT_EQ(blocks[4], Bytes(cardBlocks[4].begin(), cardBlocks[4].begin() + 26));
    // Group 4's record starts at block position 197: 59 bytes in the first
    // block, its last 6 (items 14 and 15, unused) open the second.
    EXPECT_EQ(Bytes(blocks[0].begin() + 197, blocks[0].begin() + 200), (Bytes{'G', '4', 0x00}));
    EXPECT_EQ(Bytes(blocks[1].begin(), blocks[1].begin() + 8),
              (Bytes{0x00, 0x0D, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04}));
}

TEST(GroupStream, ReplyStoresSixteenRecordsAndNoMore) {
    const SquGroup sent = Numbered();
    sim::MemoryLog log;
    Bytes stream = AllRecords(sent, log);
    // A seventeenth record, for group 1, would overwrite it if it were read.
    SquGroup other;
    other.SetName(0, "WRONG");
    const Bytes extra = Record(other, 0, log);
    stream.insert(stream.end(), extra.begin(), extra.end());

    const auto request = bci::GetGroupsRequest();
    EXPECT_EQ(Bytes(request.begin(), request.end()),
              (Bytes{0x00, 0x0C, 0x10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));

    SquGroup got;
    bci::GroupReplyReader r(got, log);
    std::vector<int> counts;
    size_t taken = 0;
    for (const auto& b : sim::cardbci::SplitWithHeader(0x80, 0x0C, stream)) {
        ++taken;
        if (r.TakeBlock(b.data(), [&](int n) { counts.push_back(n); })) {
            break;
        }
    }
    EXPECT_EQ(taken, 5u);
    EXPECT_EQ(r.RecordsStored(), 16);
    EXPECT_EQ(counts.size(), 16u);
    for (int i = 0; i < SquGroup::kGroups; ++i) {
        EXPECT_EQ(got.GetName(i), sent.GetName(i));
        EXPECT_EQ(got.GetItem(i, 0).value, sent.GetItem(i, 0).value);
    }
}

TEST(ToneList, PacksFunctionAndChannelDigits) {
    CToneRemote t;
    t.SetEntry(0, CToneRemote::kIncreaseAudio, 0);
    t.SetEntry(2, CToneRemote::kChannel, 511);
    t.SetEntry(11, CToneRemote::kChannel, 12);
    const bci::ToneList list = bci::PackToneList(t);
    EXPECT_EQ(Bytes(list.begin(), list.end()),
              (Bytes{0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x03, 0x05, 0x11, 0x04, 0x00, 0x00,
                     0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00,
                     0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00, 0x03, 0x00, 0x12}));

    CToneRemote back;
    sim::MemoryLog log;
    bci::UnpackToneList(list.data(), back, log);
    EXPECT_EQ(back.RawEntry(2).argument, "0511");
    EXPECT_EQ(back.GetEntry(2).argument, "511");
    EXPECT_EQ(back.RawEntry(2).function, CToneRemote::kChannel);
    EXPECT_EQ(back.GetEntry(11).argument, "12");
    EXPECT_EQ(back.RawEntry(0).function, CToneRemote::kIncreaseAudio);
    EXPECT_TRUE(log.Lines().empty());
    const bci::ToneList again = bci::PackToneList(back);
    EXPECT_EQ(again, list);
}

TEST(ToneList, SlotsNamingNoFunctionOrNoChannelBecomeUnassigned) {
    bci::ToneList list{};
    for (size_t s = 0; s < 12; ++s) {
        list[3 * s] = 4;
    }
    const Bytes f0 = {0x00, 0x00, 0x05};  // function 0, channel 5
    const Bytes f5 = {0x05, 0x00, 0x05};  // function 5
    const Bytes c512 = {0x03, 0x05, 0x12};
    const Bytes cHex = {0x03, 0x00, 0x1A};
    const Bytes ok = {0x03, 0x01, 0x00};
    std::copy(f0.begin(), f0.end(), list.begin());
    std::copy(f5.begin(), f5.end(), list.begin() + 3);
    std::copy(c512.begin(), c512.end(), list.begin() + 6);
    std::copy(cHex.begin(), cHex.end(), list.begin() + 9);
    std::copy(ok.begin(), ok.end(), list.begin() + 12);
    CToneRemote t;
    sim::MemoryLog log;
    bci::UnpackToneList(list.data(), t, log);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(t.RawEntry(s).function, CToneRemote::kUnassigned) << s;
        EXPECT_EQ(t.GetEntry(s).argument, "0") << s;
    }
    EXPECT_EQ(t.RawEntry(4).function, CToneRemote::kChannel);
    EXPECT_EQ(t.GetEntry(4).argument, "100");
    EXPECT_EQ(log.Count(bcimsg::kToneGetBadFunction), 2);
    EXPECT_EQ(log.Count(bcimsg::kToneGetBadChannel), 2);
}

}  // namespace
}  // namespace quillon::testing
