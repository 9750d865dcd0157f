// "Active Squelch Groups" without its dialog: the list, Add, Edit, Delete
// with their messages, and the channels' group references that follow a
// deletion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/SquelchGroupRefs.h"
#include "edit/SquelchGroupsEditor.h"
#include "sim/ScriptedPrompts.h"

namespace quillon::edit {
namespace {

using model::CChannel;
using model::CTmpDoc;
using model::SquGroup;
using sim::ScriptedPrompts;
namespace off = model::off;

// Group index g in use, named, with one CTCSS code telling it apart.
void UseGroup(SquGroup& groups, int g, const std::string& name, const std::string& tone) {
    groups.SetName(g, name);
    groups.SetItem(g, 0, SquGroup::kCtcss, tone);
}

// A fixed analogue channel in squelch group n (1 to 16), written as the
// channel editor writes it: CTCSS GROUP and 0xF0 with n in BCD.
void ChannelInGroup(CChannel& ch, const std::string& name, uint16_t groupCode) {
    ch.Clear();
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetByte(off::kSignalType, 2);
    ch.SetByte(off::kOperationMode, 2);
    ch.SetByte(off::kSquelchSystem, model::val::kSquelchCtcssGroup);
    ch.SetWord(off::kRxCxcss, groupCode);
    ch.SetWord(off::kTxCxcss, 0x0670);
    ch.SetNameBytes(name);
}

std::vector<std::string> Names(const SquelchGroupsEditor& ed) {
    std::vector<std::string> out;
    for (const auto& e : ed.Entries()) {
        out.push_back(e.text);
    }
    return out;
}

class SquelchGroupsEditorTest : public ::testing::Test {
  protected:
    CTmpDoc doc;
    ScriptedPrompts prompts;
};

TEST_F(SquelchGroupsEditorTest, ANewDocumentListsNoGroup) {
    SquelchGroupsEditor ed(doc, prompts);
    EXPECT_TRUE(ed.Entries().empty());
    EXPECT_EQ(ed.SelectedRow(), -1);
    auto b = ed.Buttons();
    EXPECT_TRUE(b.add);
    EXPECT_FALSE(b.edit);
    EXPECT_FALSE(b.remove);
    EXPECT_EQ(ed.Groups().GetName(0), "SQUELCH GROUP 1");
    EXPECT_EQ(ed.Groups().GetName(15), "SQUELCH GROUP 16");
}

TEST_F(SquelchGroupsEditorTest, ListsTheGroupsInUseInGroupOrder) {
    UseGroup(doc.squelchGroups, 5, "ZULU", "067.0");
    UseGroup(doc.squelchGroups, 1, "YANKEE", "069.3");
    SquelchGroupsEditor ed(doc, prompts);
    EXPECT_EQ(Names(ed), (std::vector<std::string>{"YANKEE", "ZULU"}));
    EXPECT_EQ(ed.Entries()[1].index, 5);
    EXPECT_EQ(ed.SelectedRow(), 0);

    for (int g = 0; g < SquGroup::kGroups; ++g) {
        UseGroup(doc.squelchGroups, g, "G", "067.0");
    }
    SquelchGroupsEditor full(doc, prompts);
    auto b = full.Buttons();
    EXPECT_FALSE(b.add);
    EXPECT_TRUE(b.edit);
    EXPECT_TRUE(b.remove);
    // A stray Add on a full set overwrites nothing.
    int opened = 0;
    full.Add([&](SquGroup&, int) { return ++opened > 0; });
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(prompts.BeepCount(), 1);
}

TEST_F(SquelchGroupsEditorTest, AddTakesTheFirstEmptyGroup) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    UseGroup(doc.squelchGroups, 2, "THREE", "069.3");
    doc.squelchGroups.SetName(1, "LEFT OVER");
    SquelchGroupsEditor ed(doc, prompts);

    int openedOn = -1;
    std::string nameSeen;
    ed.Add([&](SquGroup& groups, int g) {
        openedOn = g;
        nameSeen = groups.GetName(g);
        groups.SetItem(g, 0, SquGroup::kNac, "0x293");
        return true;
    });
    EXPECT_EQ(openedOn, 1);
    EXPECT_EQ(nameSeen, "SQUELCH GROUP 2");
    EXPECT_EQ(Names(ed), (std::vector<std::string>{"ONE", "SQUELCH GROUP 2", "THREE"}));
    EXPECT_EQ(ed.SelectedRow(), 1);

    // Cancelled, the group stays empty and unlisted.
    ed.Add([&](SquGroup&, int g) {
        openedOn = g;
        return false;
    });
    EXPECT_EQ(openedOn, 3);
    EXPECT_EQ(ed.Entries().size(), 3u);
    EXPECT_EQ(ed.SelectedRow(), 0);

    // Nothing reaches the document before OK.
    EXPECT_TRUE(doc.squelchGroups.IsEmpty(1));
    EXPECT_FALSE(doc.IsModified());
    ed.Ok();
    EXPECT_EQ(doc.squelchGroups.GetItem(1, 0).value, "0x293");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SquelchGroupsEditorTest, EditNeedsASelectionAndKeepsThePosition) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    UseGroup(doc.squelchGroups, 4, "FIVE", "069.3");
    UseGroup(doc.squelchGroups, 7, "EIGHT", "071.9");
    SquelchGroupsEditor ed(doc, prompts);

    int opened = -1;
    auto open = [&](SquGroup&, int g) {
        opened = g;
        return true;
    };
    ed.Edit({}, open);
    EXPECT_EQ(opened, -1);
    EXPECT_EQ(prompts.BeepCount(), 1);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "You must selected a squelch group to edit first!");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);

    ed.Edit({2, 1}, open);  // the first selected entry in list order
    EXPECT_EQ(opened, 4);
    EXPECT_EQ(ed.SelectedRow(), 1);

    // A group emptied by its properties drops out; the position stays valid.
    ed.Edit({2}, [](SquGroup& groups, int g) {
        groups.DeleteItems(g, {0});
        return true;
    });
    EXPECT_EQ(Names(ed), (std::vector<std::string>{"ONE", "FIVE"}));
    EXPECT_EQ(ed.SelectedRow(), 1);
}

TEST_F(SquelchGroupsEditorTest, DeleteMovesLaterGroupsDown) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    UseGroup(doc.squelchGroups, 1, "TWO", "069.3");
    UseGroup(doc.squelchGroups, 2, "THREE", "071.9");
    SquelchGroupsEditor ed(doc, prompts);

    ed.Delete({});
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"You must selected a squelch group to delete first!"});
    EXPECT_EQ(prompts.BeepCount(), 1);

    prompts.ClearRecords();
    prompts.QueueAnswer(Answer::No);
    ed.Delete({1});
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text,
              "Channels that refer to a deleted squelch group have to be edited manually.\n"
              "Do you want to continue?");
    EXPECT_EQ(prompts.Boxes()[0].buttons, quillon::Buttons::YesNo);
    EXPECT_EQ(ed.Entries().size(), 3u);

    prompts.QueueAnswer(Answer::Yes);
    ed.Delete({1});
    EXPECT_EQ(Names(ed), (std::vector<std::string>{"ONE", "THREE"}));
    EXPECT_EQ(ed.Entries()[1].index, 1);
    EXPECT_EQ(ed.Groups().GetItem(1, 0).value, "071.9");
    EXPECT_TRUE(ed.Groups().IsEmpty(2));
    EXPECT_EQ(ed.Groups().GetName(2), "SQUELCH GROUP 3");
    EXPECT_EQ(ed.SelectedRow(), 0);  // the entry before the first deleted

    // Several at once, the first entry among them: the first entry is selected.
    UseGroup(doc.squelchGroups, 3, "FOUR", "074.4");
    SquelchGroupsEditor again(doc, prompts);
    prompts.QueueAnswer(Answer::Yes);
    again.Delete({0, 2});  // ONE and THREE of ONE, TWO, THREE, FOUR
    EXPECT_EQ(Names(again), (std::vector<std::string>{"TWO", "FOUR"}));
    EXPECT_EQ(again.Entries()[1].index, 1);
    EXPECT_EQ(again.SelectedRow(), 0);

    // Cancel (no OK) leaves the document's groups alone.
    EXPECT_EQ(doc.squelchGroups.GetName(0), "ONE");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SquelchGroupsEditorTest, DeletedGroupsTakeTheChannelReferencesWithThem) {
    for (int g = 0; g < 12; ++g) {
        UseGroup(doc.squelchGroups, g, "G" + std::to_string(g + 1), "067.0");
    }
    ChannelInGroup(doc.channels[1], "USES1", 0xF001);
    ChannelInGroup(doc.channels[2], "USES2", 0xF002);
    ChannelInGroup(doc.channels[3], "USES3", 0xF003);
    ChannelInGroup(doc.channels[12], "USES12", 0xF012);
    ChannelInGroup(doc.channels[40], "CDCSS2", 0xF002);
    doc.channels[40].SetByte(off::kSquelchSystem, model::val::kSquelchCdcssGroup);
    ChannelInGroup(doc.channels[50], "PLAIN", 0xF003);  // CTCSS, not a group
    doc.channels[50].SetByte(off::kSquelchSystem, model::val::kSquelchCtcss);

    SquelchGroupsEditor ed(doc, prompts);
    prompts.QueueAnswer(Answer::Yes);
    ed.Delete({1});  // group 2
    auto boxes = prompts.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text,
              "These channels use a squelch group that is deleted or holds no codes any more. "
              "OK leaves them without a squelch group and without a receive tone; edit them to "
              "choose again:\n"
              "002 \"USES2\" Wideband Analogue Repeater\n"
              "040 \"CDCSS2\" Wideband Analogue Repeater");
    EXPECT_EQ(boxes[1].icon, Icon::Exclamation);
    EXPECT_EQ(ed.PlannedGroupOf(3), 2);
    EXPECT_EQ(ed.PlannedGroupOf(2), 0);

    // Then the former group 12, now 11: its channel is named too.
    prompts.ClearRecords();
    prompts.QueueAnswer(Answer::Yes);
    ed.Delete({10});
    ASSERT_EQ(prompts.Boxes().size(), 2u);
    EXPECT_EQ(prompts.Boxes()[1].text,
              "These channels use a squelch group that is deleted or holds no codes any more. "
              "OK leaves them without a squelch group and without a receive tone; edit them to "
              "choose again:\n"
              "012 \"USES12\" Wideband Analogue Repeater");

    // Nothing in the channels changes before OK.
    EXPECT_EQ(doc.channels[3].RxCxcss(), 0xF003);
    ed.Ok();
    EXPECT_EQ(doc.channels[1].RxCxcss(), 0xF001);
    EXPECT_EQ(doc.channels[3].RxCxcss(), 0xF002);
    EXPECT_EQ(doc.channels[3].SquelchSystem(), model::val::kSquelchCtcssGroup);
    EXPECT_EQ(doc.channels[2].SquelchSystem(), model::val::kSquelchCtcss);
    EXPECT_EQ(doc.channels[2].RxCxcss(), 0x0000);
    EXPECT_EQ(doc.channels[2].TxCxcss(), 0x0670);  // the transmit tone stays
    EXPECT_EQ(doc.channels[40].SquelchSystem(), model::val::kSquelchCdcss);
    EXPECT_EQ(doc.channels[40].RxCxcss(), 0x0000);
    EXPECT_EQ(doc.channels[12].SquelchSystem(), model::val::kSquelchCtcss);
    EXPECT_EQ(doc.channels[12].RxCxcss(), 0x0000);
    EXPECT_EQ(doc.channels[50].RxCxcss(), 0xF003);
    EXPECT_EQ(doc.channels[50].SquelchSystem(), model::val::kSquelchCtcss);
}

TEST_F(SquelchGroupsEditorTest, AGroupEmptiedByEditLosesItsChannels) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    UseGroup(doc.squelchGroups, 1, "TWO", "069.3");
    ChannelInGroup(doc.channels[6], "USES1", 0xF001);
    ChannelInGroup(doc.channels[7], "USES2", 0xF002);
    SquelchGroupsEditor ed(doc, prompts);
    ed.Edit({0}, [](SquGroup& groups, int g) {
        groups.DeleteItems(g, {0});
        return true;
    });
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text,
              "These channels use a squelch group that is deleted or holds no codes any more. "
              "OK leaves them without a squelch group and without a receive tone; edit them to "
              "choose again:\n"
              "006 \"USES1\" Wideband Analogue Repeater");
    // Group 2 keeps its number: an emptied group is no deletion.
    ed.Ok();
    EXPECT_EQ(doc.channels[6].SquelchSystem(), model::val::kSquelchCtcss);
    EXPECT_EQ(doc.channels[6].RxCxcss(), 0x0000);
    EXPECT_EQ(doc.channels[7].RxCxcss(), 0xF002);

    // Edited and still holding codes: nobody is told anything.
    prompts.ClearRecords();
    SquelchGroupsEditor again(doc, prompts);
    again.Edit({0}, [](SquGroup&, int) { return true; });
    EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(SquelchGroupsEditorTest, NoWarningWhenNoChannelUsedTheGroup) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    UseGroup(doc.squelchGroups, 1, "TWO", "069.3");
    ChannelInGroup(doc.channels[9], "USES2", 0xF002);
    SquelchGroupsEditor ed(doc, prompts);
    prompts.QueueAnswer(Answer::Yes);
    ed.Delete({0});
    EXPECT_EQ(prompts.Boxes().size(), 1u);  // only the question
    ed.Ok();
    EXPECT_EQ(doc.channels[9].RxCxcss(), 0xF001);
}

TEST(SquelchGroupRefs, ReadsOnlyGroupReferencesOfFixedChannels) {
    CChannel ch;
    ChannelInGroup(ch, "A", 0xF016);
    EXPECT_EQ(ChannelSquelchGroup(ch), 16);
    ch.SetWord(off::kRxCxcss, 0xF017);  // no such group
    EXPECT_EQ(ChannelSquelchGroup(ch), 0);
    ch.SetWord(off::kRxCxcss, 0xF00A);  // not BCD
    EXPECT_EQ(ChannelSquelchGroup(ch), 0);
    ch.SetWord(off::kRxCxcss, 0xF000);  // "Any", not a group
    EXPECT_EQ(ChannelSquelchGroup(ch), 0);
    ch.SetWord(off::kRxCxcss, 0x0670);
    EXPECT_EQ(ChannelSquelchGroup(ch), 0);
    ChannelInGroup(ch, "A", 0xF009);
    ch.SetKind(model::ChannelKind::Scan);
    EXPECT_EQ(ChannelSquelchGroup(ch), 0);

    ChannelInGroup(ch, "A", 0xF009);
    SetChannelSquelchGroup(ch, 10);
    EXPECT_EQ(ch.RxCxcss(), 0xF010);
    SetChannelSquelchGroup(ch, 17);  // refused
    EXPECT_EQ(ch.RxCxcss(), 0xF010);
}

TEST(SquelchGroupRefs, AChannelEditedMeanwhileIsNotMoved) {
    CTmpDoc doc;
    ChannelInGroup(doc.channels[4], "A", 0xF005);
    GroupReferencePlan plan(doc);
    plan.DeleteGroup(2);
    EXPECT_EQ(plan.GroupOf(4), 4);
    doc.channels[4].SetWord(off::kRxCxcss, 0xF007);  // the user chose group 7
    EXPECT_FALSE(plan.Apply(doc));
    EXPECT_EQ(doc.channels[4].RxCxcss(), 0xF007);
}

TEST(SquelchGroupRefs, TheWarningNamesAtMostTwentyChannels) {
    CTmpDoc doc;
    std::vector<int> channels;
    for (int c = 0; c < 23; ++c) {
        ChannelInGroup(doc.channels[c], "C", 0xF001);
        channels.push_back(c);
    }
    const std::string text = ChannelsLosingGroupText(doc, channels);
    EXPECT_NE(text.find("019 \"C\""), std::string::npos);
    EXPECT_EQ(text.find("020 \"C\""), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 16), "\n... and 3 more.");
    EXPECT_EQ(ChannelsLosingGroupText(doc, {}), "");
}

}  // namespace
}  // namespace quillon::edit
