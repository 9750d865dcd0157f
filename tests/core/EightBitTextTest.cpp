#include <gtest/gtest.h>

#include "core/EightBitText.h"

namespace quillon {
namespace {

TEST(EightBitText, EveryByteBecomesItsCodePointAndComesBack) {
    EXPECT_EQ(EightBitToUtf8("Plan A"), "Plan A");
    EXPECT_EQ(EightBitToUtf8(std::string("\x00\x7f\x80\xe9\xff", 5)),
              std::string("\x00\x7f\xc2\x80\xc3\xa9\xc3\xbf", 8));
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf8ToEightBit(EightBitToUtf8(all)), all);
}

TEST(EightBitText, TextThatNoEightBitTextTurnsIntoIsRefused) {
    EXPECT_FALSE(Utf8ToEightBit("\xe2\x82\xac"));  // U+20AC
    EXPECT_FALSE(Utf8ToEightBit("\xc4\x80"));      // U+0100
    EXPECT_FALSE(Utf8ToEightBit("\xc3"));          // cut short
    EXPECT_FALSE(Utf8ToEightBit("\xc3("));         // not a continuation byte
    EXPECT_FALSE(Utf8ToEightBit("\xe9"));          // a bare 8-bit byte
    EXPECT_FALSE(Utf8ToEightBit("\xc1\xa9"));      // overlong form of 'i'
    EXPECT_EQ(Utf8ToEightBit("caf\xc3\xa9"), "caf\xe9");
}

}  // namespace
}  // namespace quillon
