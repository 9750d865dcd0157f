#include <gtest/gtest.h>

#include "edit/SpecialTexts.h"

namespace quillon::edit {
namespace {

TEST(SpecialTexts, OnlyTheExactTextsCount) {
    EXPECT_TRUE(IsSpecialText("ANY"));
    EXPECT_TRUE(IsSpecialText("AS RX"));
    EXPECT_TRUE(IsSpecialText("NONE"));
    EXPECT_FALSE(IsSpecialText("any"));
    EXPECT_FALSE(IsSpecialText("AS RX "));
    EXPECT_FALSE(IsSpecialText(""));
    EXPECT_FALSE(IsSpecialText("0x000"));
}

}  // namespace
}  // namespace quillon::edit
