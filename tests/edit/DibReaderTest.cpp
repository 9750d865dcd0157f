#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "edit/DibReader.h"

namespace quillon::edit {
namespace {

using Bytes = std::vector<uint8_t>;

// 3 x 2 pixels, 1 bit, the older 12-byte header, 3-byte colour entries:
// index 0 blue, index 1 green. Rows bottom-up: bottom 1 0 1, top 0 1 1.
const Bytes kOneBit = {
    'B',  'M',  0x28, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00,  //
    0x0C, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00,              //
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,                                                  //
    0xA0, 0x00, 0x00, 0x00,                                                              //
    0x60, 0x00, 0x00, 0x00,
};

// 3 x 2 pixels, 4 bits, 40-byte header, height -2 (rows top-down), three
// colours used. The last pixel's index 5 has no colour entry.
const Bytes kFourBit = {
    'B',  'M',  0x4A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00,  //
    0x28, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,              //
    0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,              //
    0x00, 0x00, 0x00, 0x00,                                                              //
    0x10, 0x20, 0x30, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,              //
    0x01, 0x20, 0x00, 0x00,                                                              //
    0x22, 0x50, 0x00, 0x00,
};

// 1 x 1 pixel, 24 bits: no colour table.
const Bytes kTrueColour = {
    'B',  'M',  0x3A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,  //
    0x28, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,              //
    0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,              //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              //
    0x00, 0x00, 0x00, 0x00,                                                              //
    0x11, 0x22, 0x33, 0x00,
};

// 2 x 2 pixels, 8 bits, with a newer header of headerBytes (108 or 124):
// its first 40 bytes as the 40-byte header, the rest zero. Two colours
// used (red, white), then two spare bytes before the pixels, which start
// where the file header says. Rows bottom-up: bottom 1 1, top 0 1.
Bytes EightBit(uint8_t headerBytes) {
    const uint8_t pixelStart = static_cast<uint8_t>(14 + headerBytes + 8 + 2);
    Bytes f = {'B', 'M', static_cast<uint8_t>(pixelStart + 8), 0, 0, 0, 0, 0, 0, 0, pixelStart, 0,
               0,   0};
    const Bytes info = {headerBytes, 0, 0, 0, 0x02, 0, 0, 0, 0x02, 0, 0, 0, 0x01, 0,
                        0x08,        0, 0, 0, 0,    0, 0, 0, 0,    0, 0, 0, 0,    0,
                        0,           0, 0, 0, 0x02, 0, 0, 0, 0,    0, 0, 0};
    f.insert(f.end(), info.begin(), info.end());
    f.insert(f.end(), size_t{headerBytes} - 40, 0);
    const Bytes rest = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00,  // palette
                        0xEE, 0xEE,                                      // spare
                        0x01, 0x01, 0x00, 0x00,                          // bottom row
                        0x00, 0x01, 0x00, 0x00};                         // top row
    f.insert(f.end(), rest.begin(), rest.end());
    return f;
}

Bytes Patched(Bytes f, size_t at, const Bytes& with) {
    for (size_t i = 0; i < with.size(); ++i) {
        f.at(at + i) = with[i];
    }
    return f;
}

std::optional<DibPicture> Read(const Bytes& f) {
    return ReadDib(f.data(), f.size());
}

std::vector<uint8_t> Indices(const DibPicture& p) {
    return p.indices;
}

TEST(DibReader, OneBitOlderHeaderWithThreeByteColours) {
    auto p = Read(kOneBit);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->width, 3);
    EXPECT_EQ(p->height, 2);
    EXPECT_EQ(p->bitsPerPixel, 1);
    ASSERT_EQ(p->palette.size(), 2u);
    EXPECT_EQ(p->palette[0].blue, 0xFF);
    EXPECT_EQ(p->palette[0].red, 0x00);
    EXPECT_EQ(p->palette[1].green, 0xFF);
    EXPECT_EQ(p->palette[1].blue, 0x00);
    EXPECT_EQ(Indices(*p), (Bytes{0, 1, 1, 1, 0, 1}));
}

TEST(DibReader, FourBitTopDownWithColoursUsed) {
    auto p = Read(kFourBit);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->width, 3);
    EXPECT_EQ(p->height, 2);
    EXPECT_EQ(p->bitsPerPixel, 4);
    ASSERT_EQ(p->palette.size(), 3u);
    EXPECT_EQ(p->palette[0].red, 0x30);
    EXPECT_EQ(p->palette[0].green, 0x20);
    EXPECT_EQ(p->palette[0].blue, 0x10);
    EXPECT_EQ(Indices(*p), (Bytes{0, 1, 2, 2, 2, 5}));
    // An index without a colour entry is black, never a read past the table.
    EXPECT_EQ(p->ColourAt(2, 1).red, 0);
    EXPECT_EQ(p->ColourAt(2, 1).green, 0);
    EXPECT_EQ(p->ColourAt(2, 1).blue, 0);
    EXPECT_EQ(p->ColourAt(1, 0).red, 0xFF);
}

TEST(DibReader, EightBitWithNewerHeadersStartsPixelsWhereTheFileSays) {
    for (uint8_t header : {uint8_t{108}, uint8_t{124}}) {
        SCOPED_TRACE(header);
        auto p = Read(EightBit(header));
        ASSERT_TRUE(p);
        EXPECT_EQ(p->width, 2);
        EXPECT_EQ(p->height, 2);
        EXPECT_EQ(p->bitsPerPixel, 8);
        ASSERT_EQ(p->palette.size(), 2u);
        EXPECT_EQ(p->palette[0].red, 0xFF);
        EXPECT_EQ(p->palette[0].green, 0x00);
        EXPECT_EQ(Indices(*p), (Bytes{0, 1, 1, 1}));
    }
}

TEST(DibReader, TrueColourAndOtherDepthsAreIgnored) {
    EXPECT_FALSE(Read(kTrueColour));
    // The same file claiming 16 and 32 bits, and 2 bits (no such depth).
    EXPECT_FALSE(Read(Patched(kTrueColour, 28, {16, 0})));
    EXPECT_FALSE(Read(Patched(kTrueColour, 28, {32, 0})));
    EXPECT_FALSE(Read(Patched(kFourBit, 28, {2, 0})));
}

TEST(DibReader, CompressedPlanesAndUnknownHeadersAreIgnored) {
    EXPECT_FALSE(Read(Patched(kFourBit, 30, {2, 0, 0, 0})));   // run-length 4
    EXPECT_FALSE(Read(Patched(kFourBit, 26, {2, 0})));         // two planes
    EXPECT_FALSE(Read(Patched(kFourBit, 14, {64, 0, 0, 0})));  // 64-byte header
    EXPECT_FALSE(Read(Patched(kOneBit, 14, {16, 0, 0, 0})));   // 16-byte header
    EXPECT_FALSE(Read(Patched(kOneBit, 0, {'M', 'B'})));       // not "BM"
    auto rle8 = Patched(EightBit(108), 30, {1, 0, 0, 0});
    EXPECT_FALSE(Read(rle8));
}

TEST(DibReader, EmptyNegativeAndOversizedDimensionsAreIgnored) {
    EXPECT_FALSE(Read(Patched(kFourBit, 18, {0, 0, 0, 0})));              // width 0
    EXPECT_FALSE(Read(Patched(kFourBit, 18, {0xFD, 0xFF, 0xFF, 0xFF})));  // width -3
    EXPECT_FALSE(Read(Patched(kFourBit, 22, {0, 0, 0, 0})));              // height 0
    EXPECT_FALSE(Read(Patched(kFourBit, 22, {0, 0, 0, 0x80})));           // most negative
    EXPECT_FALSE(Read(Patched(kOneBit, 18, {0, 0})));                     // older: width 0
    // A side beyond the limit, even with the pixels present: 8193 x 1, 1 bit.
    Bytes wide = Patched(kOneBit, 18, {0x01, 0x20, 0x01, 0x00});
    wide.resize(32 + 1028, 0);
    EXPECT_FALSE(Read(wide));
    Bytes limit = Patched(kOneBit, 18, {0x00, 0x20, 0x01, 0x00});  // 8192 x 1
    limit.resize(32 + 1024, 0);
    EXPECT_TRUE(Read(limit));
}

TEST(DibReader, HeaderClaimsBeyondTheDataAreIgnored) {
    // A 200-byte file claiming 4000 x 4000 pixels, in 1 and in 8 bits.
    Bytes huge1 = Patched(kOneBit, 18, {0xA0, 0x0F, 0xA0, 0x0F});
    huge1.resize(200, 0);
    EXPECT_FALSE(Read(huge1));
    Bytes huge8 = Patched(EightBit(108), 18, {0xA0, 0x0F, 0, 0, 0xA0, 0x0F, 0, 0});
    huge8.resize(200, 0);
    EXPECT_FALSE(Read(huge8));
    // Colours used: all ones, one more than the depth holds, a count whose
    // table runs past the end of the file.
    EXPECT_FALSE(Read(Patched(kFourBit, 46, {0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_FALSE(Read(Patched(kFourBit, 46, {17, 0, 0, 0})));
    EXPECT_FALSE(Read(Patched(kFourBit, 46, {16, 0, 0, 0})));
    // A fourth colour entry would take the pixels' first bytes.
    EXPECT_FALSE(Read(Patched(kFourBit, 46, {4, 0, 0, 0})));
    EXPECT_TRUE(Read(Patched(kFourBit, 46, {3, 0, 0, 0})));
    // Pixels starting past the end, at the very end, inside the colour
    // table, and at the top of the offset range.
    EXPECT_FALSE(Read(Patched(kFourBit, 10, {0x4B, 0, 0, 0})));
    EXPECT_FALSE(Read(Patched(kFourBit, 10, {0x4A, 0, 0, 0})));
    EXPECT_FALSE(Read(Patched(kFourBit, 10, {0x41, 0, 0, 0})));
    EXPECT_FALSE(Read(Patched(kFourBit, 10, {0xFF, 0xFF, 0xFF, 0xFF})));
    // Pixels starting later than their true start, so the last row is short.
    EXPECT_FALSE(Read(Patched(kOneBit, 10, {0x21, 0, 0, 0})));
}

TEST(DibReader, EveryCutShortFileIsIgnored) {
    for (const Bytes& whole : {kOneBit, kFourBit, EightBit(108), EightBit(124)}) {
        for (size_t n = 0; n < whole.size(); ++n) {
            SCOPED_TRACE(n);
            EXPECT_FALSE(ReadDib(whole.data(), n));
        }
    }
    EXPECT_FALSE(ReadDib(nullptr, 0));
}

class DibFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("dibtest-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const Bytes& b) {
        auto p = dir_ / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        return p.string();
    }
    std::filesystem::path dir_;
};

TEST_F(DibFileTest, ReadsAFileAndRefusesOneOverTheCapUnread) {
    auto good = LoadDibFile(Write("good.bmp", kFourBit));
    ASSERT_TRUE(good);
    EXPECT_EQ(Indices(*good), (Bytes{0, 1, 2, 2, 2, 5}));

    // The same picture with trailing bytes up to the cap is still read; one
    // byte more and the file is refused, though its header is fine.
    Bytes atCap = kFourBit;
    atCap.resize(kDibMaxFileBytes, 0);
    EXPECT_TRUE(LoadDibFile(Write("cap.bmp", atCap)));
    EXPECT_TRUE(ReadDib(atCap.data(), atCap.size()));
    atCap.push_back(0);
    EXPECT_FALSE(LoadDibFile(Write("over.bmp", atCap)));
    EXPECT_FALSE(ReadDib(atCap.data(), atCap.size()));

    // A multi-gigabyte file (sparse, so the test stays cheap) is refused
    // after reading no more than the cap.
    const auto big = Write("big.bmp", kFourBit);
    std::filesystem::resize_file(big, uintmax_t{3} << 30);
    EXPECT_FALSE(LoadDibFile(big));

    EXPECT_FALSE(LoadDibFile((dir_ / "missing.bmp").string()));
    EXPECT_FALSE(LoadDibFile(dir_.string()));
}

}  // namespace
}  // namespace quillon::edit
