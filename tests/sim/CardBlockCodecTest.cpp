#include <gtest/gtest.h>

#include <vector>

#include "sim/CardBlockCodec.h"

namespace quillon::sim::cardbci {
namespace {

std::vector<uint8_t> Repeat(std::vector<uint8_t> unit, size_t times) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < times; ++i) {
        out.insert(out.end(), unit.begin(), unit.end());
    }
    return out;
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// Every byte of 256 x 0x1B numbered 0x1B travels as 1B 26; the sum counts
// 0x1B + 0x26 = 0x41 for each of the 257, 257 x 0x41 = 0x4141.
TEST(CardBlockCodec, AllEscapeBlockCountsEscapeAndCode) {
    Payload p;
    p.fill(0x1B);
    const std::vector<uint8_t> expected = Cat({{0x01}, Repeat({0x1B, 0x26}, 257), {0x41, 0x41}});
    EXPECT_EQ(EncodeBlock(0x1B, p), expected);

    BlockDecoder d;
    d.Reset();
    bool done = false;
    for (size_t i = 1; i < expected.size(); ++i) {
        ASSERT_FALSE(done) << "completed early at byte " << i;
        done = d.Feed(expected[i]);
    }
    ASSERT_TRUE(done);
    EXPECT_TRUE(d.Good());
    EXPECT_EQ(d.Number(), 0x1B);
    EXPECT_EQ(d.ComputedSum(), 0x4141u);
    EXPECT_EQ(d.Data(), p);
}

// Number 0x15 (1B 24, counts 0x3F) and 0xC5 make the sum 0x0104, whose two
// bytes are both escaped and not counted.
TEST(CardBlockCodec, NumberAndChecksumBytesAreEscaped) {
    Payload p{};
    p[0] = 0xC5;
    const std::vector<uint8_t> expected =
        Cat({{0x01, 0x1B, 0x24, 0xC5}, std::vector<uint8_t>(255, 0x00), {0x1B, 0x22, 0x1B, 0x23}});
    EXPECT_EQ(EncodeBlock(0x15, p), expected);
}

// The seven escaped values in a payload: 7 x 0x1B + the codes 0x20..0x26
// make 0x01B2, and its high byte 0x01 is escaped in turn.
TEST(CardBlockCodec, PayloadWithEveryEscapedValue) {
    Payload p{};
    const uint8_t values[] = {0x0B, 0x0D, 0x01, 0x04, 0x15, 0x06, 0x1B};
    std::copy(std::begin(values), std::end(values), p.begin());
    const std::vector<uint8_t> expected = Cat({{0x01, 0x00, 0x1B, 0x20, 0x1B, 0x21, 0x1B, 0x22,
                                                0x1B, 0x23, 0x1B, 0x24, 0x1B, 0x25, 0x1B, 0x26},
                                               std::vector<uint8_t>(249, 0x00),
                                               {0x1B, 0x22, 0xB2}});
    const auto wire = EncodeBlock(0x00, p);
    EXPECT_EQ(wire, expected);

    BlockDecoder d;
    d.Reset();
    bool done = false;
    for (size_t i = 1; i < wire.size(); ++i) {
        done = d.Feed(wire[i]);
    }
    ASSERT_TRUE(done);
    EXPECT_TRUE(d.Good());
    EXPECT_EQ(d.Data(), p);
}

TEST(CardBlockCodec, DamagedBlocksAreNotGood) {
    Payload p{};
    p[10] = 0x42;
    const auto wire = EncodeBlock(3, p);
    auto feed = [](std::vector<uint8_t> bytes) {
        BlockDecoder d;
        d.Reset();
        bool done = false;
        for (size_t i = 1; i < bytes.size() && !done; ++i) {
            done = d.Feed(bytes[i]);
        }
        return std::make_pair(done, d.Good());
    };
    EXPECT_EQ(feed(wire), std::make_pair(true, true));

    auto wrongSum = wire;
    wrongSum.back() ^= 0x01;
    EXPECT_EQ(feed(wrongSum), std::make_pair(true, false));

    auto changedByte = wire;
    changedByte[12] = 0x43;  // the sum no longer matches
    EXPECT_EQ(feed(changedByte), std::make_pair(true, false));

    // ESC followed by a value that is no code, the sum made to agree
    // (0x1B + 0x30 = 0x4B): refused for the escape alone.
    const std::vector<uint8_t> badEscape =
        Cat({{0x01, 0x00, 0x1B, 0x30}, std::vector<uint8_t>(255, 0x00), {0x00, 0x4B}});
    EXPECT_EQ(feed(badEscape), std::make_pair(true, false));
    const std::vector<uint8_t> goodTwin =
        Cat({{0x01, 0x00, 0x1B, 0x26}, std::vector<uint8_t>(255, 0x00), {0x00, 0x41}});
    EXPECT_EQ(feed(goodTwin), std::make_pair(true, true));

    // A raw NAK inside a block is a damaged byte even when the sum agrees.
    const std::vector<uint8_t> rawNak =
        Cat({{0x01, 0x00, 0x15}, std::vector<uint8_t>(255, 0x00), {0x00, 0x1B, 0x24}});
    EXPECT_EQ(feed(rawNak), std::make_pair(true, false));
}

TEST(CardBlockCodec, SplittingMessagesAndStreams) {
    EXPECT_EQ(SplitIntoBlocks({}).size(), 1u);
    EXPECT_EQ(SplitIntoBlocks(std::vector<uint8_t>(256, 1)).size(), 1u);
    const auto two = SplitIntoBlocks(std::vector<uint8_t>(257, 1));
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1][0], 1);
    EXPECT_EQ(two[1][1], 0);  // padded

    // 1040 bytes behind a 2-byte header: 4 x 254 and 24 in a fifth block.
    std::vector<uint8_t> stream(1040);
    for (size_t i = 0; i < stream.size(); ++i) {
        stream[i] = static_cast<uint8_t>(i % 251);
    }
    const auto blocks = SplitWithHeader(0x80, 0x0C, stream);
    ASSERT_EQ(blocks.size(), 5u);
    for (const auto& b : blocks) {
        EXPECT_EQ(b[0], 0x80);
        EXPECT_EQ(b[1], 0x0C);
    }
    EXPECT_EQ(blocks[1][2], 254 % 251);
    EXPECT_EQ(blocks[4][2 + 23], 1039 % 251);
    EXPECT_EQ(blocks[4][2 + 24], 0);
    const auto joined = JoinBodies(blocks, 2);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), joined.begin()));
}

}  // namespace
}  // namespace quillon::sim::cardbci
