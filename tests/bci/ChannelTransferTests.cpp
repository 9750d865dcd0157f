// The channel table's transfer form: records, the data message's blocks and
// the Get reply assembler with its refusals. Streams are cross-checked
// against the simulated card's own block splitting and record layout.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ChannelStreams.h"
#include "bci/ChannelTransfer.h"
#include "model/CTmpDoc.h"
#include "sim/CardBlockCodec.h"

namespace quillon::testing {
namespace {

using bci::BlockBuffer;
using bci::ChannelDataFault;
using bci::ChannelReplyReader;
using bci::ChannelStreamWriter;
using model::CChannelTable;
using Status = ChannelReplyReader::Status;

// Image byte i holds i, so every record byte shows where it came from.
model::ChannelImage Numbered() {
    model::ChannelImage img{};
    for (size_t i = 0; i < img.size(); ++i) {
        img[i] = static_cast<uint8_t>(i);
    }
    return img;
}

Bytes Encode(const model::ChannelImage& img, int slot) {
    bci::ChannelRecord r{};
    const size_t n = bci::EncodeChannelRecord(img, slot, r);
    return Bytes(r.begin(), r.begin() + static_cast<long>(n));
}

// The table in the simulated card's form put into a document table.
void FillFromCard(const std::array<sim::CardChannel, kStreamChannels>& card, CChannelTable& t) {
    for (int i = 0; i < kStreamChannels; ++i) {
        const sim::CardChannel& c = card[static_cast<size_t>(i)];
        model::ChannelImage& img = t[i].Image();
        img[10] = c.kind;
        std::copy_n(c.data.begin(), 8, img.begin() + 2);
        std::copy_n(c.data.begin() + 8, 65, img.begin() + 11);
    }
}

// Every block of the data message, each cut to the bytes the writer used.
std::vector<Bytes> WriteAll(CChannelTable& t, std::vector<int>* started = nullptr) {
    ChannelStreamWriter w(t);
    std::vector<Bytes> blocks;
    while (!w.Done() && blocks.size() < 1000) {
        BlockBuffer b{};
        const size_t n = w.NextBlock(b, [&](int slot) {
            if (started != nullptr) {
                started->push_back(slot);
            }
        });
        blocks.emplace_back(b.begin(), b.begin() + static_cast<long>(n));
    }
    return blocks;
}

// Feeds a reply stream behind the header h0 h1, block by block, until the
// reader stops asking; returns the blocks it took.
struct ReadResult {
    Status status = Status::NeedMore;
    size_t blocksTaken = 0;
};
ReadResult ReadStream(ChannelReplyReader& r, const Bytes& stream, uint8_t h0 = 0x80,
                      uint8_t h1 = 0x05) {
    ReadResult res;
    for (const auto& block : sim::cardbci::SplitWithHeader(h0, h1, stream)) {
        ++res.blocksTaken;
        res.status = r.TakeBlock(block.data(), nullptr);
        if (res.status != Status::NeedMore) {
            break;
        }
    }
    return res;
}

Bytes EmptyRecord(int n) {
    const auto b = Bcd4(n);
    return {b[0], b[1], 0x00};
}

// Slots 0..511 as empty records.
Bytes EmptyStream() {
    Bytes s;
    for (int i = 0; i < kStreamChannels; ++i) {
        const Bytes r = EmptyRecord(i);
        s.insert(s.end(), r.begin(), r.end());
    }
    return s;
}

TEST(ChannelRecord, EachKindTakesItsBytesFromTheImage) {
    model::ChannelImage img = Numbered();
    img[10] = 1;
    EXPECT_EQ(
        Encode(img, 123),
        (Bytes{0x01, 0x23, 0x01, 2,  3,  4,  5,  6,  7,  8,  9,  11, 12, 13, 14, 15, 16, 17, 18,
               19,   20,   21,   22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
               38,   39,   40,   41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56,
               57,   58,   59,   60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75}));

    img[10] = 2;
    img[76] = 3;  // three valid references; all eight slots still travel
    img[77] = 0;
    EXPECT_EQ(Encode(img, 511), (Bytes{0x05, 0x11, 0x02, 2,  3,  4,  5,  6,  7,  8,  9,  0x03,
                                       11,   12,   13,   14, 15, 16, 17, 18, 19, 20, 21, 22,
                                       23,   24,   25,   26, 27, 28, 29, 30, 31, 32, 33, 34}));

    img[10] = 0;
    EXPECT_EQ(Encode(img, 9), (Bytes{0x00, 0x09, 0x00}));
}

TEST(ChannelRecord, ImpossibleImagesStillMakeRecordsTheCardTakes) {
    model::ChannelImage img = Numbered();
    img[10] = 2;
    img[76] = 0x20;  // a count no scan channel can have, from a damaged file
    img[77] = 0x01;
    const Bytes scan = Encode(img, 0);
    ASSERT_EQ(scan.size(), 36u);
    EXPECT_EQ(scan[11], 8);

    img[10] = 7;  // no such kind: the slot goes as empty
    EXPECT_EQ(Encode(img, 1), (Bytes{0x00, 0x01, 0x00}));
}

TEST(ChannelCount, MessageAnnounces512Records) {
    EXPECT_EQ(Bytes(bci::kChannelCountMessage.begin(), bci::kChannelCountMessage.end()),
              (Bytes{0x00, 0x04, 0x05, 0x12}));
    EXPECT_EQ(bci::Bcd4ToNumber(0x05, 0x12), 512);
    EXPECT_EQ(bci::Bcd4ToNumber(0x00, 0x0A), -1);
    EXPECT_EQ(bci::Bcd4ToNumber(0xA0, 0x00), -1);
}

TEST(ChannelStream, EmptyTableIsSixFullBlocksAndTwelveBytes) {
    CChannelTable t;
    std::vector<int> started;
    const std::vector<Bytes> blocks = WriteAll(t, &started);
    ASSERT_EQ(blocks.size(), 7u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(blocks[i].size(), 256u);
    }
    EXPECT_EQ(blocks[0][0], 0x00);
    EXPECT_EQ(blocks[0][1], 0x04);
    EXPECT_EQ(Bytes(blocks[0].begin(), blocks[0].begin() + 11),
              (Bytes{0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x02, 0x00}));
    // Stream bytes 1524..1535: slots 508..511.
    EXPECT_EQ(blocks[6], (Bytes{0x00, 0x04, 0x05, 0x08, 0x00, 0x05, 0x09, 0x00, 0x05, 0x10, 0x00,
                                0x05, 0x11, 0x00}));
    ASSERT_EQ(started.size(), 512u);
    EXPECT_EQ(started.front(), 0);
    EXPECT_EQ(started.back(), 511);
    // Every channel carries its own number in its image once it has gone.
    EXPECT_EQ(t[123].Byte(0), 0x01);
    EXPECT_EQ(t[123].Byte(1), 0x23);
}

TEST(ChannelStream, FullTableMatchesTheCardsRecordLayoutAndBlocking) {
    const auto card = RandomTable(7);
    CChannelTable t;
    FillFromCard(card, t);
    const std::vector<Bytes> blocks = WriteAll(t);
    // 38912 stream bytes: 153 blocks of 254 and 50 bytes of a 154th.
    ASSERT_EQ(blocks.size(), 154u);
    EXPECT_EQ(blocks.back().size(), 52u);
    Bytes joined;
    for (const Bytes& b : blocks) {
        joined.insert(joined.end(), b.begin(), b.end());
    }
    EXPECT_EQ(joined, WithHeaders(0x00, 0x04, Stream(card), false));
}

// Channels 0..225 fixed and the rest empty make 18034 stream bytes: the
// last record ends on the last byte of the 71st block.
CChannelTable ExactFitTable() {
    auto card = RandomTable(11);
    for (size_t i = 226; i < card.size(); ++i) {
        card[i].kind = 0;
    }
    CChannelTable t;
    FillFromCard(card, t);
    return t;
}

TEST(ChannelStream, TableEndingOnABlockBoundaryIsSeventyOneFullBlocks) {
    CChannelTable t = ExactFitTable();
    const std::vector<Bytes> blocks = WriteAll(t);
    ASSERT_EQ(blocks.size(), 71u);
    EXPECT_EQ(blocks.back().size(), 256u);
    EXPECT_EQ(Bytes(blocks.back().end() - 3, blocks.back().end()), (Bytes{0x05, 0x11, 0x00}));
}

TEST(ChannelReply, TableEndingOnABlockBoundaryCompletesWithItsLastBlock) {
    CChannelTable sent = ExactFitTable();
    Bytes stream;
    for (const Bytes& b : WriteAll(sent)) {
        stream.insert(stream.end(), b.begin() + 2, b.end());
    }
    ASSERT_EQ(stream.size(), 71u * 254u);

    CChannelTable got;
    ChannelReplyReader r(got);
    const ReadResult res = ReadStream(r, stream);
    EXPECT_EQ(res.status, Status::Complete);
    EXPECT_EQ(res.blocksTaken, 71u);
    EXPECT_EQ(r.RecordsStored(), 512);
    for (int i = 0; i < 226; ++i) {
        EXPECT_TRUE(std::equal(sent[i].Image().begin() + 2, sent[i].Image().begin() + 76,
                               got[i].Image().begin() + 2))
            << "channel " << i;
    }
    EXPECT_EQ(got[226].KindByte(), 0);
}

TEST(ChannelReply, CardStreamFillsEveryChannelWithWhatTheCardHolds) {
    auto card = RandomTable(3);
    card[5].kind = 0;
    card[6].kind = 2;
    card[6].data[8] = 3;  // count byte of a scan record
    Bytes stream;
    for (int slot = 0; slot < kStreamChannels; ++slot) {
        const auto n = Bcd4(slot);
        const sim::CardChannel& c = card[static_cast<size_t>(slot)];
        stream.push_back(n[0]);
        stream.push_back(n[1]);
        stream.push_back(c.kind);
        const size_t len = sim::CardChannel::DataLength(c.kind);
        stream.insert(stream.end(), c.data.begin(), c.data.begin() + static_cast<long>(len));
    }
    CChannelTable got;
    got[5].Image().fill(0x5A);  // an empty record touches nothing but the kind
    ChannelReplyReader r(got);
    std::vector<int> counts;
    Status last = Status::NeedMore;
    for (const auto& block : sim::cardbci::SplitWithHeader(0x80, 0x05, stream)) {
        last = r.TakeBlock(block.data(), [&](int n) { counts.push_back(n); });
    }
    EXPECT_EQ(last, Status::Complete);
    ASSERT_EQ(counts.size(), 512u);
    EXPECT_EQ(counts.back(), 512);

    // Read back through the writer, the stream is what the card sent.
    Bytes again;
    for (const Bytes& b : WriteAll(got)) {
        again.insert(again.end(), b.begin() + 2, b.end());
    }
    EXPECT_EQ(again, stream);
    EXPECT_EQ(got[5].Byte(2), 0x5A);
    EXPECT_EQ(got[5].KindByte(), 0);
    EXPECT_EQ(got[6].ScanRefCount(), 3);
    EXPECT_EQ(got[6].ScanRefChannel(7),
              static_cast<uint16_t>((card[6].data[30] << 8) | card[6].data[31]));
}

TEST(ChannelReply, FixedRecordSplitFourAndSeventyTwo) {
    // Slot 0 fixed (76 bytes), then 58 empty records (174 bytes): slot 59
    // starts at stream byte 250 and is split 4 + 72.
    model::ChannelImage img = Numbered();
    img[10] = 1;
    Bytes stream = Encode(img, 0);
    for (int i = 1; i < 59; ++i) {
        const Bytes e = EmptyRecord(i);
        stream.insert(stream.end(), e.begin(), e.end());
    }
    ASSERT_EQ(stream.size(), 250u);
    img[2] = 'X';
    const Bytes split = Encode(img, 59);
    stream.insert(stream.end(), split.begin(), split.end());
    for (int i = 60; i < kStreamChannels; ++i) {
        const Bytes e = EmptyRecord(i);
        stream.insert(stream.end(), e.begin(), e.end());
    }
    CChannelTable got;
    ChannelReplyReader r(got);
    EXPECT_EQ(ReadStream(r, stream).status, Status::Complete);
    EXPECT_EQ(got[59].Byte(2), 'X');
    EXPECT_TRUE(std::equal(img.begin() + 2, img.begin() + 76, got[59].Image().begin() + 2));
}

TEST(ChannelReply, EmptyRecordEndingABlockIsFollowedByTheNextBlocksFirstByte) {
    // Two fixed records (152 bytes) and 33 empty ones (99) put the 36th
    // record at stream byte 251: its kind byte is the block's last byte.
    model::ChannelImage img = Numbered();
    img[10] = 1;
    Bytes stream = Encode(img, 0);
    const Bytes second = Encode(img, 1);
    stream.insert(stream.end(), second.begin(), second.end());
    for (int i = 2; i < kStreamChannels; ++i) {
        const Bytes e = EmptyRecord(i);
        stream.insert(stream.end(), e.begin(), e.end());
    }
    CChannelTable got;
    got[35].SetKind(model::ChannelKind::Fixed);
    got[36].SetKind(model::ChannelKind::Fixed);
    ChannelReplyReader r(got);
    std::vector<int> counts;
    const auto blocks = sim::cardbci::SplitWithHeader(0x80, 0x05, stream);
    ASSERT_EQ(blocks[0][255], 0x00);  // slot 35's kind byte ends the block
    ASSERT_EQ(blocks[0][253], 0x00);
    ASSERT_EQ(blocks[0][254], 0x35);
    EXPECT_EQ(r.TakeBlock(blocks[0].data(), nullptr), Status::NeedMore);
    EXPECT_EQ(r.RecordsStored(), 36);
    EXPECT_EQ(got[35].KindByte(), 0);
    EXPECT_EQ(r.TakeBlock(blocks[1].data(), nullptr), Status::NeedMore);
    EXPECT_EQ(got[36].KindByte(), 0);
    EXPECT_EQ(r.RecordsStored(), 36 + 84);
}

TEST(ChannelReply, StopsAtTheFiveHundredTwelfthRecordAndIgnoresTheRest) {
    Bytes stream = EmptyStream();
    // Garbage after the table would be refused if it were read.
    stream.insert(stream.end(), {0x09, 0x99, 0x07, 0xFF});
    CChannelTable got;
    ChannelReplyReader r(got);
    const ReadResult res = ReadStream(r, stream);
    EXPECT_EQ(res.status, Status::Complete);
    EXPECT_EQ(res.blocksTaken, 7u);
    EXPECT_EQ(r.Fault(), ChannelDataFault::None);
    // Blocks after the end change nothing.
    const auto more = sim::cardbci::SplitWithHeader(0x80, 0x05, Bytes{0x00, 0x01, 0x01});
    EXPECT_EQ(r.TakeBlock(more[0].data(), nullptr), Status::Complete);
    EXPECT_EQ(r.RecordsStored(), 512);
    EXPECT_EQ(got[1].KindByte(), 0);
}

TEST(ChannelReply, HeaderBytesAreNotChecked) {
    CChannelTable got;
    ChannelReplyReader r(got);
    EXPECT_EQ(ReadStream(r, EmptyStream(), 0x12, 0x34).status, Status::Complete);
}

struct Refusal {
    const char* what;
    Bytes stream;
    ChannelDataFault fault;
    int storedBefore;
};

// The empty table with record `at` replaced by `record`.
Bytes WithRecord(int at, const Bytes& record) {
    Bytes s;
    for (int i = 0; i < kStreamChannels; ++i) {
        const Bytes r = i == at ? record : EmptyRecord(i);
        s.insert(s.end(), r.begin(), r.end());
    }
    return s;
}

TEST(ChannelReply, UntrustworthyTablesAreRefused) {
    Bytes scanTooMany(36, 0);
    scanTooMany[0] = 0x00;
    scanTooMany[1] = 0x03;
    scanTooMany[2] = 0x02;
    scanTooMany[11] = 0x20;  // 32 references in eight slots
    Bytes missing;           // slot 5 never named, slot 6 twice
    for (int i = 0; i < kStreamChannels; ++i) {
        const Bytes r = EmptyRecord(i == 5 ? 6 : i);
        missing.insert(missing.end(), r.begin(), r.end());
    }
    const std::vector<Refusal> cases = {
        {"number 512", WithRecord(10, {0x05, 0x12, 0x00}), ChannelDataFault::BadNumber, 10},
        {"number 9999", WithRecord(0, {0x99, 0x99, 0x00}), ChannelDataFault::BadNumber, 0},
        {"nibble above 9", WithRecord(3, {0x00, 0x0A, 0x00}), ChannelDataFault::BadNumber, 3},
        {"high nibble above 9", WithRecord(3, {0xF0, 0x03, 0x00}), ChannelDataFault::BadNumber, 3},
        {"kind 3", WithRecord(4, {0x00, 0x04, 0x03}), ChannelDataFault::BadKind, 4},
        {"scan count 32", WithRecord(3, scanTooMany), ChannelDataFault::BadScanCount, 3},
        {"number twice", WithRecord(7, {0x00, 0x02, 0x00}), ChannelDataFault::DuplicateNumber, 7},
        {"slot never named", missing, ChannelDataFault::DuplicateNumber, 6},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        CChannelTable got;
        got[3].Image()[76] = 0x11;  // must not be overwritten by a refused record
        ChannelReplyReader r(got);
        EXPECT_EQ(ReadStream(r, c.stream).status, Status::Refused);
        EXPECT_EQ(r.Fault(), c.fault);
        EXPECT_EQ(r.RecordsStored(), c.storedBefore);
        EXPECT_EQ(got[3].Image()[76], 0x11);
    }
}

TEST(ChannelReply, RecordsGoWhereTheirNumberSaysWhateverTheOrder) {
    model::ChannelImage img = Numbered();
    img[10] = 1;
    Bytes s = Encode(img, 511);  // 0x05 0x11: the highest number there is
    for (int i = 0; i < 511; ++i) {
        const Bytes e = EmptyRecord(i);
        s.insert(s.end(), e.begin(), e.end());
    }
    CChannelTable got;
    ChannelReplyReader r(got);
    EXPECT_EQ(ReadStream(r, s).status, Status::Complete);
    EXPECT_TRUE(got[511].IsFixed());
    EXPECT_TRUE(std::equal(img.begin() + 11, img.begin() + 76, got[511].Image().begin() + 11));
    EXPECT_FALSE(got[0].IsUsed());
}

TEST(ChannelReply, ArbitraryBytesNeverLeaveAnImpossibleTable) {
    // Mostly well-formed streams with random damage: whatever the reader
    // accepts is a table of 512 distinct slots with kinds the program knows.
    std::mt19937 rng(1234);
    int completed = 0;
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        Bytes stream;
        auto card = RandomTable(static_cast<uint32_t>(round));
        for (int slot = 0; slot < kStreamChannels; slot += 1 + static_cast<int>(rng() % 40)) {
            sim::CardChannel& c = card[static_cast<size_t>(slot)];
            c.kind = static_cast<uint8_t>(rng() % 3);
            c.data[8] = static_cast<uint8_t>(rng() % 9);  // a scan channel's count
        }
        for (int slot = 0; slot < kStreamChannels; ++slot) {
            const auto n = Bcd4(slot);
            const sim::CardChannel& c = card[static_cast<size_t>(slot)];
            stream.insert(stream.end(), {n[0], n[1], c.kind});
            const size_t len = sim::CardChannel::DataLength(c.kind);
            stream.insert(stream.end(), c.data.begin(), c.data.begin() + static_cast<long>(len));
        }
        const int damage = static_cast<int>(rng() % 3);
        for (int d = 0; d < damage; ++d) {
            stream[rng() % stream.size()] = static_cast<uint8_t>(rng());
        }
        CChannelTable got;
        ChannelReplyReader r(got);
        const Status st = ReadStream(r, stream).status;
        EXPECT_LE(r.RecordsStored(), kStreamChannels);
        if (st == Status::Complete) {
            ++completed;
            EXPECT_EQ(r.RecordsStored(), kStreamChannels);
            for (int i = 0; i < kStreamChannels; ++i) {
                EXPECT_LE(got[i].KindByte(), 2);
                if (got[i].IsScan()) {
                    EXPECT_LE(got[i].ScanRefCount(), 8);
                }
            }
        } else if (st == Status::Refused) {
            ++refused;
        }
    }
    // Both outcomes were exercised.
    EXPECT_GT(completed, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace quillon::testing
