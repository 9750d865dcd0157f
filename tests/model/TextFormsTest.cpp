#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "model/TextForms.h"
#include "model/ValueTables.h"

using namespace quillon::model;

namespace {
template <size_t N>
std::array<uint8_t, N> Parsed(void (*parse)(std::string_view, uint8_t*, size_t),
                              const std::string& text) {
    std::array<uint8_t, N> out;
    out.fill(0xEE);
    parse(text, out.data(), N);
    return out;
}
}  // namespace

TEST(TextForms, DecimalParseRightAlignsAndSkipsOtherCharacters) {
    EXPECT_EQ((Parsed<2>(DecimalParse, "67.0")), (std::array<uint8_t, 2>{0x06, 0x70}));
    EXPECT_EQ((Parsed<2>(DecimalParse, "0.500")), (std::array<uint8_t, 2>{0x05, 0x00}));
    EXPECT_EQ((Parsed<1>(DecimalParse, "2.5")), (std::array<uint8_t, 1>{0x25}));
    EXPECT_EQ((Parsed<2>(DecimalParse, "")), (std::array<uint8_t, 2>{0x00, 0x00}));
    // Extra digits are dropped from the end.
    EXPECT_EQ((Parsed<1>(DecimalParse, "1234")), (std::array<uint8_t, 1>{0x12}));
    // Hex letters are not decimal digits.
    EXPECT_EQ((Parsed<2>(DecimalParse, "f00.0")), (std::array<uint8_t, 2>{0x00, 0x00}));
}

TEST(TextForms, CodeParseTakesHexDigitsAfterThePrefix) {
    EXPECT_EQ((Parsed<2>(CodeParse, "0x293")), (std::array<uint8_t, 2>{0x02, 0x93}));
    EXPECT_EQ((Parsed<2>(CodeParse, "0xf000")), (std::array<uint8_t, 2>{0xF0, 0x00}));
    EXPECT_EQ((Parsed<2>(CodeParse, "0xABcd")), (std::array<uint8_t, 2>{0xAB, 0xCD}));
    EXPECT_EQ((Parsed<1>(CodeParse, "03")), (std::array<uint8_t, 1>{0x03}));
    EXPECT_EQ((Parsed<2>(CodeParse, "50")), (std::array<uint8_t, 2>{0x00, 0x50}));
    // More digits than nibbles: the field keeps the last ones and nothing
    // beyond it is touched.
    std::array<uint8_t, 4> guarded{0xEE, 0xEE, 0xEE, 0xEE};
    CodeParse("0x123456", guarded.data() + 1, 2);
    EXPECT_EQ(guarded, (std::array<uint8_t, 4>{0xEE, 0x34, 0x56, 0xEE}));
}

TEST(TextForms, FrequencyParse) {
    std::array<uint8_t, 5> f{};
    FrequencyParse("450.125", f.data());
    EXPECT_EQ(f, (std::array<uint8_t, 5>{0x04, 0x50, 0x12, 0x50, 0x00}));
    FrequencyParse("136.0125", f.data());
    EXPECT_EQ(f, (std::array<uint8_t, 5>{0x01, 0x36, 0x01, 0x25, 0x00}));
    FrequencyParse("450", f.data());
    EXPECT_EQ(f, (std::array<uint8_t, 5>{0x04, 0x50, 0x00, 0x00, 0x00}));
    FrequencyParse("45.5", f.data());
    EXPECT_EQ(f, (std::array<uint8_t, 5>{0x00, 0x45, 0x50, 0x00, 0x00}));
    // Fraction beyond 1 Hz is dropped.
    FrequencyParse("450.1234567", f.data());
    EXPECT_EQ(f, (std::array<uint8_t, 5>{0x04, 0x50, 0x12, 0x34, 0x56}));
    FrequencyParse("", f.data());
    EXPECT_EQ(f, (std::array<uint8_t, 5>{0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(TextForms, LeadingDecimalReadsLikeTheCLibrary) {
    EXPECT_EQ(LeadingDecimal("  12abc"), 12);
    EXPECT_EQ(LeadingDecimal("-3"), -3);
    EXPECT_EQ(LeadingDecimal("abc"), 0);
    EXPECT_EQ(LeadingDecimal(""), 0);
    EXPECT_EQ(LeadingDecimal("99999999999999999999"), 2147483647);
    EXPECT_TRUE(HasLeadingDecimal(" 007"));
    EXPECT_FALSE(HasLeadingDecimal(""));
    EXPECT_FALSE(HasLeadingDecimal("x1"));
}

TEST(ValueTables, InvertedCdcssIsTheSevenComplementExceptBeside047) {
    EXPECT_STREQ(kInvertedCdcssCodes[0], "f000");
    EXPECT_STREQ(kInvertedCdcssCodes[1], "000");
    const char* start[] = {"754", "752", "751", "746", "745", "734", "731", "726"};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_STREQ(kInvertedCdcssCodes[i + 2], start[i]) << i;
    }
    EXPECT_STREQ(kInvertedCdcssCodes[83], "023");
    int exceptions = 0;
    for (size_t i = 2; i < kCdcssCodes.size(); ++i) {
        std::string normal = kCdcssCodes[i];
        std::string complement;
        for (char c : normal) {
            complement.push_back(static_cast<char>('7' - (c - '0')));
        }
        if (complement != kInvertedCdcssCodes[i]) {
            ++exceptions;
            EXPECT_EQ(normal, "047");
            EXPECT_STREQ(kInvertedCdcssCodes[i], "731");
        }
    }
    EXPECT_EQ(exceptions, 1);
    EXPECT_EQ(CdcssIndex("047"), InvertedCdcssIndex("731"));
}
