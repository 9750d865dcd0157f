#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Archive.h"
#include "model/SquGroup.h"

using namespace quillon::model;

namespace {
void Fill(SquGroup& sg, int group, const std::string& name, uint8_t type, const std::string& v) {
    sg.SetName(group, name);
    sg.SetItem(group, 0, type, v);
}
}  // namespace

TEST(SquGroup, NewGroupsAreEmptyWithDefaultNames) {
    SquGroup sg;
    EXPECT_TRUE(sg.ActiveList().empty());
    EXPECT_EQ(sg.GetName(0), "SQUELCH GROUP 1");
    EXPECT_EQ(sg.GetName(15), "SQUELCH GROUP 16");
    EXPECT_EQ(sg.FirstEmpty(), 0);
    // Out-of-range indexes: setters do nothing, getters return nothing.
    sg.SetName(16, "x");
    sg.SetItem(-1, 0, 1, "0x001");
    EXPECT_EQ(sg.GetName(16), "");
    EXPECT_EQ(sg.GetItem(0, 16).value, "");
    EXPECT_FALSE(sg.IsEmpty(16));
}

TEST(SquGroup, AddTakesTheFirstEmptyGroup) {
    SquGroup sg;
    Fill(sg, 0, "ONE", SquGroup::kNac, "0x293");
    Fill(sg, 2, "THREE", SquGroup::kCtcss, "067.0");
    sg.SetName(1, "stale");
    EXPECT_EQ(sg.AddGroup(), 1);
    EXPECT_EQ(sg.GetName(1), "SQUELCH GROUP 2");
    auto list = sg.ActiveList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].text, "THREE");
    EXPECT_EQ(list[1].index, 2);
}

TEST(SquGroup, DeleteMovesLaterGroupsDown) {
    SquGroup sg;
    Fill(sg, 0, "ONE", SquGroup::kNac, "0x001");
    Fill(sg, 1, "TWO", SquGroup::kNac, "0x002");
    Fill(sg, 2, "THREE", SquGroup::kCdcss, "023");
    sg.SetItem(2, 1, SquGroup::kNac, "0x003");
    sg.DeleteGroup(1);
    EXPECT_EQ(sg.GetName(1), "THREE");
    EXPECT_EQ(sg.GetItem(1, 0).type, SquGroup::kCdcss);
    EXPECT_EQ(sg.GetItem(1, 0).value, "023");
    EXPECT_EQ(sg.GetItem(1, 1).value, "0x003");
    EXPECT_TRUE(sg.IsEmpty(2));
    EXPECT_EQ(sg.GetName(2), "SQUELCH GROUP 3");
    EXPECT_EQ(sg.GetName(14), "SQUELCH GROUP 15");
    EXPECT_EQ(sg.GetName(15), "SQUELCH GROUP 16");

    Fill(sg, 15, "LAST", SquGroup::kNac, "0x010");
    sg.DeleteGroups({0, 15, 0});
    EXPECT_EQ(sg.GetName(0), "THREE");
    EXPECT_TRUE(sg.IsEmpty(15));
    EXPECT_EQ(sg.ActiveList().size(), 1u);
}

TEST(SquGroup, PropertiesItemListAndCodes) {
    SquGroup sg;
    EXPECT_EQ(sg.AddCode(0, SquGroup::kNac, "-1"), "");
    EXPECT_EQ(sg.AddCode(0, SquGroup::kNac, "0x293"), "");
    EXPECT_EQ(sg.AddCode(0, SquGroup::kCtcss, "067.0"), "");
    EXPECT_EQ(sg.AddCode(0, SquGroup::kNac, "0x000"), "NAC must be non zero");
    EXPECT_EQ(sg.AddCode(0, SquGroup::kCtcss, "000.0"), "CTCSS must be non zero");
    EXPECT_EQ(sg.AddCode(0, SquGroup::kCdcss, "0000"), "CDCSS must be non zero");
    auto items = sg.ItemList(0);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "NAC  ");
    EXPECT_EQ(sg.GetItem(0, 0).value, "0xf000");
    EXPECT_EQ(items[1].text, "NAC  0x293");
    EXPECT_EQ(items[2].text, "CTCSS  067.0");

    auto states = sg.CodeFieldStates(0);
    EXPECT_TRUE(states.ctcss);
    EXPECT_FALSE(states.cdcss);

    sg.DeleteItems(0, {0, 2});
    EXPECT_EQ(sg.GetItem(0, 0).value, "0x293");
    EXPECT_EQ(sg.GetItem(0, 1).type, SquGroup::kNotUsed);
    EXPECT_EQ(sg.GetItem(0, 1).value, "");
    states = sg.CodeFieldStates(0);
    EXPECT_TRUE(states.ctcss && states.cdcss);

    for (int i = 0; i < 20; ++i) {
        sg.AddCode(1, SquGroup::kNac, "0x" + std::to_string(100 + i));
    }
    EXPECT_EQ(sg.ItemList(1).size(), 16u);
    EXPECT_EQ(sg.GetItem(1, 15).value, "0x115");
}

TEST(SquGroup, PropertiesChecksInOrder) {
    SquGroup sg;
    sg.SetItem(0, 0, SquGroup::kCtcss, "067.0");
    sg.SetItem(0, 1, SquGroup::kCdcss, "023");
    auto c = sg.CheckProperties(0, std::string(17, 'N'));
    EXPECT_FALSE(c.ok);
    EXPECT_TRUE(c.beep);
    EXPECT_EQ(c.message, "Squelch group name cannot be more than 16 characters!");
    c = sg.CheckProperties(0, "");
    EXPECT_EQ(c.message, "Squelch groups cannot contain both\nCTCSS and CDCSS squelches!");
    EXPECT_FALSE(sg.CodeFieldStates(0).ctcss || sg.CodeFieldStates(0).cdcss);
    sg.DeleteItems(0, {1});
    c = sg.CheckProperties(0, "");
    EXPECT_EQ(c.message, "Need atleast 1 character for squelch group name!");
    EXPECT_TRUE(sg.CheckProperties(0, std::string(16, 'N')).ok);
}

TEST(SquGroup, SectionRoundTripAndLayout) {
    SquGroup sg;
    sg.SetName(0, "A");
    sg.SetItem(0, 0, SquGroup::kNac, "0x1");
    sg.SetItem(5, 3, 9, "odd");  // a type this program never writes stays as it is
    ArchiveWriter w;
    sg.Write(w);
    const auto& b = w.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 8),
              (std::vector<uint8_t>{0x01, 'A', 0x03, '0', 'x', '1', 0x01, 0x00}));
    SquGroup back;
    ArchiveReader r(b.data(), b.size());
    back.Read(r);
    EXPECT_EQ(r.Remaining(), 0u);
    for (int g = 0; g < SquGroup::kGroups; ++g) {
        EXPECT_EQ(back.GetName(g), sg.GetName(g));
        for (int i = 0; i < SquGroup::kItems; ++i) {
            EXPECT_EQ(back.GetItem(g, i).type, sg.GetItem(g, i).type);
            EXPECT_EQ(back.GetItem(g, i).value, sg.GetItem(g, i).value);
        }
    }
    SquGroup copy;
    copy.Assign(back);
    EXPECT_EQ(copy.GetItem(5, 3).type, 9);
}
