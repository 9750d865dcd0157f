// Edits of a value box as a widget reports them: what was replaced, with
// what, checked by the field's typing filter at that place.
#include <gtest/gtest.h>

#include "ChannelSettingsSupport.h"

namespace quillon::edit::testing {
namespace {

TEST_F(ChannelSettingsTest, TypeEditTakesWhatTheFilterTakesWhereItIsTyped) {
    MakeAnalogue(doc.channels[0], "EDIT");
    auto s = Edit(0);
    ASSERT_EQ(Text(*s, C::Power), "50");
    EXPECT_TRUE(s->TypeEdit(C::Power, 2, 0, "0"));
    EXPECT_EQ(Text(*s, C::Power), "500");
    EXPECT_FALSE(s->TypeEdit(C::Power, 3, 0, "0"));  // a fourth digit
    EXPECT_FALSE(s->TypeEdit(C::Power, 0, 0, "x"));
    EXPECT_EQ(Text(*s, C::Power), "500");
    // Over a selection the length is free again.
    EXPECT_TRUE(s->TypeEdit(C::Power, 1, 2, "25"));
    EXPECT_EQ(Text(*s, C::Power), "525");
    // Typing alone neither normalises nor runs the rules; leaving does.
    EXPECT_TRUE(s->Leave(C::Power));
    EXPECT_EQ(Text(*s, C::Power), "125");

    // A paste is taken whole or not at all.
    EXPECT_FALSE(s->TypeEdit(C::Power, 0, 3, "1x"));
    EXPECT_EQ(Text(*s, C::Power), "125");

    // The hex prefix only where the field writes it.
    ASSERT_TRUE(s->Select(C::SignalType, choice::kProject25));
    ASSERT_EQ(Text(*s, C::RxNac), "NONE");
    EXPECT_FALSE(s->TypeEdit(C::RxNac, 0, 4, "x2"));
    EXPECT_TRUE(s->TypeEdit(C::RxNac, 0, 4, "0x2"));
    EXPECT_EQ(Text(*s, C::RxNac), "0x2");
    EXPECT_FALSE(s->TypeEdit(C::RxNac, 3, 0, "x"));
    EXPECT_TRUE(s->Leave(C::RxNac));
    EXPECT_EQ(Text(*s, C::RxNac), "0x002");
}

TEST_F(ChannelSettingsTest, TypeEditEmptiesADisplayTextOneCharacterAtATime) {
    MakeAnalogue(doc.channels[0], "EDIT");
    auto s = Edit(0);
    ASSERT_TRUE(s->Select(C::SignalType, choice::kProject25));
    ASSERT_EQ(Text(*s, C::TxNac), "NONE");
    // "NON" could never be typed, but a deletion takes nothing new in.
    EXPECT_FALSE(s->Type(C::TxNac, "NON"));
    EXPECT_TRUE(s->TypeEdit(C::TxNac, 3, 1, ""));
    EXPECT_EQ(Text(*s, C::TxNac), "NON");
    EXPECT_TRUE(s->TypeEdit(C::TxNac, 0, 3, ""));
    EXPECT_EQ(Text(*s, C::TxNac), "");
    EXPECT_TRUE(s->TypeEdit(C::TxNac, 0, 0, "2a4"));
    EXPECT_TRUE(s->Leave(C::TxNac));
    EXPECT_EQ(Text(*s, C::TxNac), "0x2a4");
}

TEST_F(ChannelSettingsTest, TypeEditRefusesWhatNoBoxCouldReport) {
    MakeAnalogue(doc.channels[0], "EDIT");
    auto s = Edit(0);
    const std::string power = Text(*s, C::Power);
    EXPECT_FALSE(s->TypeEdit(C::Power, 10, 0, "1"));  // past the end
    EXPECT_FALSE(s->TypeEdit(C::Power, 1, 5, ""));    // more than is there
    EXPECT_FALSE(s->TypeEdit(C::Power, std::string::npos, 1, "1"));
    EXPECT_EQ(Text(*s, C::Power), power);
    // Disabled (analogue has no talkgroup), read-only, or no value box.
    EXPECT_FALSE(s->TypeEdit(C::TalkgroupId, 0, 0, "1"));
    EXPECT_FALSE(s->TypeEdit(C::Number, 0, 3, "1"));
    EXPECT_FALSE(s->TypeEdit(C::Name, 0, 0, "A"));
    EXPECT_FALSE(s->TypeEdit(C::Mode, 0, 0, "1"));
    EXPECT_EQ(Content(*s, C::Number), "000");
}

}  // namespace
}  // namespace quillon::edit::testing
