#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "model/Archive.h"
#include "model/Encrypt.h"

using namespace quillon::model;
using Boxes = std::array<std::string, 8>;

TEST(Encrypt, AddDeleteAndTheSixteenthKey) {
    Encrypt keys;
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(keys.Add("k" + std::to_string(i), 100 + i));
    }
    EXPECT_FALSE(keys.Add("seventeenth", 1));
    EXPECT_EQ(keys.Count(), 16);
    EXPECT_TRUE(keys.Delete(103));
    EXPECT_FALSE(keys.Delete(103));
    EXPECT_EQ(keys.Count(), 15);
    EXPECT_EQ(keys.Get(3).kid, 104);
    EXPECT_EQ(keys.Get(14).kid, 115);
    EXPECT_EQ(keys.Get(15).kid, 0);  // beyond the count: nothing
    EXPECT_FALSE(keys.Contains(103));
    EXPECT_TRUE(keys.Contains(115));
    keys.Clear();
    EXPECT_EQ(keys.Count(), 0);
    EXPECT_FALSE(keys.Contains(0));
}

TEST(Encrypt, ListedByKeyIdAsHex) {
    Encrypt keys;
    keys.Add("a", 0x1234);
    keys.Add("b", 26);
    keys.Add("c", 0);
    auto list = keys.SettingsList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].text, "KID: 0x000");
    EXPECT_EQ(list[1].text, "KID: 0x01a");
    EXPECT_EQ(list[2].text, "KID: 0x1234");
    EXPECT_EQ(list[2].kid, 0x1234);
}

TEST(Encrypt, SectionWritesAllSixteenEntries) {
    Encrypt keys;
    keys.Add("0123456789abcdef", 0x1a);
    ArchiveWriter w;
    keys.Write(w);
    const auto& b = w.Bytes();
    ASSERT_EQ(b.size(), 2u + 17 + 4 + 15 * 5);
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[1], 0x00);
    EXPECT_EQ(b[2], 16);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 19, b.begin() + 24),
              (std::vector<uint8_t>{0x1a, 0, 0, 0, 0x00}));

    Encrypt back;
    ArchiveReader r(b.data(), b.size());
    back.Read(r, "veltp_v3_4");
    EXPECT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Get(0).key, "0123456789abcdef");

    Encrypt none;
    none.Add("x", 1);
    ArchiveReader old(b.data(), b.size());
    none.Read(old, "veltp");
    EXPECT_EQ(old.Remaining(), b.size());  // the oldest files have no key section
}

TEST(AddKey, ParityMessages) {
    Encrypt keys;
    auto c = CheckAddKey({"01", "03", "05", "07", "9b", "9b", "9b", "9b"}, "0x1", keys);
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "Odd Parity check failed for the 2nd and 3rd hex pairs.");
    EXPECT_EQ(c.focusBox, 1);
    c = CheckAddKey({"00", "00", "00", "00", "00", "00", "00", "00"}, "", keys);
    EXPECT_EQ(c.message,
              "Odd Parity check failed for the 1st, 2nd, 3rd, 4th, 5th, 6th, 7th and 8th hex "
              "pairs.");
    EXPECT_EQ(c.focusBox, 0);
    c = CheckAddKey({"01", "01", "FF", "01", "01", "01", "01", "1"}, "", keys);
    EXPECT_EQ(c.message, "Odd Parity check failed for the 3rd hex pair.");
    c = CheckAddKey({"03", "01", "06", "0a", "01", "01", "01", "01"}, "", keys);
    EXPECT_EQ(c.message, "Odd Parity check failed for the 1st, 3rd and 4th hex pairs.");
}

TEST(AddKey, ChecksAfterParityInOrder) {
    Encrypt keys;
    keys.Add("x", 0x1a);
    const Boxes good = {"01", "02", "04", "08", "10", "20", "40", "80"};
    Boxes partial = good;
    partial[4] = "1";
    auto c = CheckAddKey(partial, "", keys);
    EXPECT_EQ(c.message, "All boxes must have 2 Hex digits.");
    c = CheckAddKey(good, "", keys);
    EXPECT_EQ(c.message, "Please enter Key ID.");
    EXPECT_TRUE(c.clearKid);
    EXPECT_EQ(c.focusBox, 8);
    c = CheckAddKey(good, "0x1a", keys);
    EXPECT_EQ(c.message, "Key ID is already in use! Please re-enter.");
    c = CheckAddKey(good, "10000", keys);
    EXPECT_EQ(c.message, "Key ID out of range! Must be between 0x0 and 0xFFFF. Please re-enter.");
    c = CheckAddKey(good, "0xFfFf", keys);
    ASSERT_TRUE(c.ok) << c.message;
    EXPECT_EQ(c.kid, 0xFFFF);
    EXPECT_EQ(c.key, "0102040810204080");
}

TEST(AddKey, BoxesAndRandomPairs) {
    EXPECT_EQ(NormalizeKeyBox(""), "00");
    EXPECT_EQ(NormalizeKeyBox("A"), "0a");
    EXPECT_EQ(NormalizeKeyBox("fff"), "ff");
    EXPECT_EQ(NormalizeKidBox("001A"), "0x1a");
    EXPECT_EQ(NormalizeKidBox("0x0"), "0x0");
    EXPECT_EQ(NormalizeKidBox("fffff"), "0xffff");
    EXPECT_EQ(RandomKeyPair(0x1200), "01");  // 0x00 has even parity
    EXPECT_EQ(RandomKeyPair(0x07), "07");
    EXPECT_EQ(RandomKeyPair(0xFF), "fe");
    for (unsigned v = 0; v < 256; ++v) {
        EXPECT_TRUE(HasOddParity(static_cast<uint8_t>(std::stoi(RandomKeyPair(v), nullptr, 16))));
    }
}

TEST(Encrypt, DeletedKeyLeavesNoCopyInTheSection) {
    Encrypt keys;
    keys.Add("0123456789abcdef", 1);
    keys.Add("fedcba9876543210", 2);
    ASSERT_TRUE(keys.Delete(2));  // the last entry: nothing moves over it
    ArchiveWriter w;
    keys.Write(w);
    const auto& b = w.Bytes();
    // count 1; entry 0 the first key with KID 1; entries 1..15 empty, KID 0
    std::vector<uint8_t> expected = {0x01, 0x00, 16};
    for (char c : std::string("0123456789abcdef")) {
        expected.push_back(static_cast<uint8_t>(c));
    }
    expected.insert(expected.end(), {0x01, 0, 0, 0});
    for (int i = 1; i < 16; ++i) {
        expected.insert(expected.end(), {0x00, 0, 0, 0, 0});
    }
    EXPECT_EQ(b, expected);
}

TEST(AddKey, OnlyTwoHexDigitsMakeAKeyByteAndOnlyHexDigitsAKeyId) {
    Encrypt keys;
    Boxes boxes = {"01", "02", "04", "08", "10", "20", "40", "80"};
    boxes[3] = "1x";  // by character codes 0x31, odd parity
    auto c = CheckAddKey(boxes, "0x1", keys);
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "All boxes must have 2 Hex digits.");
    boxes[3] = "08";
    for (const char* kid : {"0x", "x1", "1x2", "0x1g"}) {
        c = CheckAddKey(boxes, kid, keys);
        EXPECT_EQ(c.message, "Please enter Key ID.") << kid;
        EXPECT_TRUE(c.clearKid);
    }
}
