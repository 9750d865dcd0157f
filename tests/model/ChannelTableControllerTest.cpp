#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ChannelTableController.h"
#include "sim/ScriptedPrompts.h"

using namespace quillon::model;
using quillon::Answer;
using quillon::Icon;
using quillon::sim::ScriptedPrompts;
using Kind = ScriptedPrompts::Kind;

namespace {

void SetName(CChannel& ch, const char (&name)[9]) {
    for (size_t i = 0; i < 8; ++i) {
        ch.Image()[off::kChannelName + i] = static_cast<uint8_t>(name[i]);
    }
}

void MakeFixed(CChannel& ch, uint8_t tag) {
    ch.Clear();
    ch.SetKind(ChannelKind::Fixed);
    ch.SetByte(off::kSignalType, 2);
    ch.SetByte(off::kOperationMode, 1);
    ch.SetByte(off::kLegacyText, tag);  // tells the channels apart
}

void MakeScan(CChannel& ch, std::initializer_list<uint16_t> refs) {
    ch.Clear();
    ch.SetKind(ChannelKind::Scan);
    int i = 0;
    for (uint16_t r : refs) {
        ch.SetScanRef(i++, r, 0x10);
    }
    ch.SetScanRefCount(static_cast<uint16_t>(i));
}

uint8_t Tag(const CChannel& ch) {
    return ch.Byte(off::kLegacyText);
}

class ControllerTest : public ::testing::Test {
  protected:
    CTmpDoc doc;
    ScriptedPrompts prompts;
    ChannelTableController table{doc, prompts};

    std::vector<ScriptedPrompts::Record> Choices() const {
        std::vector<ScriptedPrompts::Record> out;
        for (const auto& r : prompts.Records()) {
            if (r.kind == Kind::Choice) {
                out.push_back(r);
            }
        }
        return out;
    }
};

}  // namespace

TEST_F(ControllerTest, ListLines) {
    MakeFixed(doc.channels[1], 0);
    SetName(doc.channels[1], "AB CD   ");
    doc.channels[1].SetByte(off::kSignalType, 1);
    doc.channels[1].SetByte(off::kOperationMode, 2);
    MakeFixed(doc.channels[2], 0);
    SetName(doc.channels[2], "        ");
    doc.channels[2].SetByte(off::kSignalType, 5);
    MakeFixed(doc.channels[3], 0);
    SetName(doc.channels[3], "\0ABC\0\0\0\0");
    doc.channels[3].SetByte(off::kSignalType, 9);
    doc.channels[3].SetByte(off::kOperationMode, 7);
    MakeScan(doc.channels[40], {1});
    SetName(doc.channels[40], "S\0C\0AN  ");
    doc.channels[41].SetByte(off::kChannelKind, 3);  // no kind the program knows

    auto lines = table.ListLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "001 \"AB CD\" Project 25 Repeater");
    EXPECT_EQ(lines[1].text, "002 \"\" Wideband Autosense Basestation");
    EXPECT_EQ(lines[2].text, "003 \"\" ");
    EXPECT_EQ(lines[3].text, "040 \"SCAN\" Scanning Channel");
    EXPECT_EQ(lines[3].channel, 40);

    EXPECT_EQ(table.SelectedLine(lines), 0);
    doc.channels.lastChannel = 40;
    EXPECT_EQ(table.SelectedLine(lines), 3);
    auto b = ChannelTableController::EnabledButtons(lines);
    EXPECT_TRUE(b.add && b.edit && b.copy && b.remove);
    b = ChannelTableController::EnabledButtons({});
    EXPECT_TRUE(b.add);
    EXPECT_FALSE(b.edit || b.copy || b.remove);
}

TEST_F(ControllerTest, AddProposesTheLowestFreeSlot) {
    MakeFixed(doc.channels[1], 0);
    EXPECT_EQ(table.Add(), 0);
    for (int i = 0; i < kChannelCount; ++i) {
        MakeFixed(doc.channels[i], 0);
    }
    doc.channels[300].Clear();
    EXPECT_EQ(table.Add(), 300);
    MakeFixed(doc.channels[300], 0);
    EXPECT_FALSE(ChannelTableController::EnabledButtons(table.ListLines()).add);
    EXPECT_EQ(table.Add(), std::nullopt);
    EXPECT_EQ(prompts.BeepCount(), 1);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "Cannot add anymore channels. The channel table is full!");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);
}

TEST_F(ControllerTest, NothingSelectedRefusesEditCopyDelete) {
    EXPECT_EQ(table.Edit({}), std::nullopt);
    table.Copy({});
    table.Delete({});
    EXPECT_EQ(prompts.BeepCount(), 3);
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{"You must selected a channel to edit first!",
                                        "You must selected the channels to copy first!",
                                        "You must selected the channels to delete first!"}));
    EXPECT_EQ(table.Edit({9, 4}), 4);
}

TEST_F(ControllerTest, CopyStopsAtTheEndOfTheTable) {
    MakeFixed(doc.channels[5], 5);
    MakeFixed(doc.channels[6], 6);
    prompts.QueueText("510");
    table.Copy({5, 6});
    EXPECT_EQ(Tag(doc.channels[510]), 5);
    EXPECT_EQ(Tag(doc.channels[511]), 6);
    EXPECT_TRUE(doc.IsModified());

    CTmpDoc fresh;
    ChannelTableController other(fresh, prompts);
    MakeFixed(fresh.channels[5], 5);
    MakeFixed(fresh.channels[6], 6);
    prompts.QueueText("511");
    other.Copy({5, 6});
    EXPECT_EQ(Tag(fresh.channels[511]), 5);
    EXPECT_EQ(fresh.channels.UsedCount(), 3);
}

TEST_F(ControllerTest, CopyTargetOutOfRangeAsksAgain) {
    MakeFixed(doc.channels[5], 5);
    prompts.QueueText("512");
    prompts.QueueText("");
    prompts.QueueText("x");
    prompts.QueueText(std::nullopt);
    EXPECT_FALSE(table.Copy({5}));
    EXPECT_EQ(prompts.CountKind(Kind::AskText), 4);
    EXPECT_EQ(prompts.Records()[0].caption, "Copy Channels");
    EXPECT_EQ(prompts.Records()[0].text, "Enter channel number to copy to");
    EXPECT_EQ(
        prompts.BoxTexts(),
        std::vector<std::string>(3, "Channel number out of range. Must be between 0 and 511."));
    EXPECT_EQ(doc.channels.UsedCount(), 1);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ControllerTest, OverlappingCopyTakesTheSourcesFirst) {
    MakeFixed(doc.channels[5], 5);
    MakeFixed(doc.channels[6], 6);
    prompts.QueueText("6");
    prompts.QueueChoice(0);  // Yes: 6 is in use
    table.Copy({5, 6});
    EXPECT_EQ(Tag(doc.channels[5]), 5);
    EXPECT_EQ(Tag(doc.channels[6]), 5);
    EXPECT_EQ(Tag(doc.channels[7]), 6);  // the original 6, not the copy of 5
    auto choices = Choices();
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].caption, "Copy Channel");
    EXPECT_EQ(choices[0].text, "This copy command will write over existing\nchannels. Continue?");
    EXPECT_EQ(choices[0].choices, (std::vector<std::string>{"&Yes", "Yes to &All", "&Cancel"}));
    EXPECT_EQ(prompts.BeepCount(), 1);

    // A longer chain over its own sources, and one copied downwards.
    for (int c = 10; c < 14; ++c) {
        MakeFixed(doc.channels[c], static_cast<uint8_t>(c));
    }
    prompts.QueueText("11");
    prompts.QueueChoice(1);  // Yes to All
    table.Copy({10, 11, 12, 13});
    EXPECT_EQ(Tag(doc.channels[10]), 10);
    EXPECT_EQ(Tag(doc.channels[11]), 10);
    EXPECT_EQ(Tag(doc.channels[12]), 11);
    EXPECT_EQ(Tag(doc.channels[13]), 12);
    EXPECT_EQ(Tag(doc.channels[14]), 13);
    prompts.QueueText("9");
    prompts.QueueChoice(1);
    table.Copy({10, 11, 12});
    EXPECT_EQ(Tag(doc.channels[9]), 10);
    EXPECT_EQ(Tag(doc.channels[10]), 10);
    EXPECT_EQ(Tag(doc.channels[11]), 11);
}

TEST_F(ControllerTest, AScanningChannelCopiedOverAScannedChannelTakesTheReferencesFirst) {
    MakeFixed(doc.channels[7], 7);
    MakeFixed(doc.channels[8], 8);
    MakeScan(doc.channels[20], {0x0007, 0x0008});
    MakeScan(doc.channels[21], {0x0007});
    MakeScan(doc.channels[30], {0x0008});
    doc.toneRemote.SetEntry(1, CToneRemote::kChannel, 21);

    // Skip: channel 7 stays as it was, and so do its references.
    prompts.QueueText("7");
    prompts.QueueChoice(0);  // overwrite 7: Yes
    prompts.QueueChoice(2);  // its references: Skip
    EXPECT_FALSE(table.Copy({30}));
    EXPECT_TRUE(doc.channels[7].IsFixed());
    EXPECT_EQ(doc.channels[20].ScanRefCount(), 2);
    EXPECT_FALSE(doc.IsModified());

    prompts.ClearRecords();
    prompts.QueueText("7");
    prompts.QueueChoice(0);  // overwrite 7: Yes
    prompts.QueueChoice(0);  // its references: Yes
    EXPECT_TRUE(table.Copy({30}));
    auto choices = Choices();
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[1].caption, "Delete references to channel 7");
    EXPECT_EQ(choices[1].text,
              "Warning! About to delete all references to this channel, continue?\n\n"
              "2 reference(s) to this channel found in scanning channels.\n\n");
    EXPECT_TRUE(doc.channels[7].IsScan());
    EXPECT_EQ(doc.channels[7].ScanRefChannel(0), 0x0008);
    EXPECT_EQ(doc.channels[20].ScanRefCount(), 1);
    EXPECT_EQ(doc.channels[20].ScanRefChannel(0), 0x0008);
    EXPECT_EQ(doc.channels[21].KindByte(), 0);  // it scanned 7 alone
    EXPECT_EQ(doc.toneRemote.RawEntry(1).function, CToneRemote::kUnassigned);
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{
                  "These scanning channels had no channel left to scan and were deleted too: "
                  "021.\nTheir references in the tone settings were removed."});
    EXPECT_TRUE(doc.IsModified());

    // A fixed channel copied over a scanned one asks only the overwrite, and
    // the scanning channels keep scanning it.
    MakeFixed(doc.channels[9], 9);
    MakeScan(doc.channels[40], {0x0009});
    prompts.ClearRecords();
    prompts.QueueText("9");
    prompts.QueueChoice(0);
    EXPECT_TRUE(table.Copy({8}));
    EXPECT_EQ(Choices().size(), 1u);
    EXPECT_EQ(Tag(doc.channels[9]), 8);
    EXPECT_EQ(doc.channels[40].ScanRefCount(), 1);
}

TEST_F(ControllerTest, AScanningChannelNeverScansItself) {
    MakeFixed(doc.channels[3], 3);
    MakeFixed(doc.channels[4], 4);
    MakeScan(doc.channels[10], {0x0003, 0x0004});
    MakeScan(doc.channels[11], {0x0003});
    prompts.QueueText("4");
    prompts.QueueChoice(1);  // overwrite: Yes to All
    prompts.QueueChoice(1);  // references: Yes for All
    EXPECT_TRUE(table.Copy({10, 11}));
    // 4 <- 10 without its reference to 4; 5 <- 11 as it was.
    EXPECT_TRUE(doc.channels[4].IsScan());
    EXPECT_EQ(doc.channels[4].ScanRefCount(), 1);
    EXPECT_EQ(doc.channels[4].ScanRefChannel(0), 0x0003);
    EXPECT_TRUE(doc.channels[5].IsScan());
    EXPECT_EQ(doc.channels[5].ScanRefChannel(0), 0x0003);
    EXPECT_EQ(doc.channels[10].ScanRefCount(), 1);  // its reference to 4 went
}

TEST_F(ControllerTest, CopyOverUsedSlotsYesToAllAndCancel) {
    for (int i = 0; i < 3; ++i) {
        MakeFixed(doc.channels[i], static_cast<uint8_t>(10 + i));
    }
    for (int i = 20; i < 23; ++i) {
        MakeFixed(doc.channels[i], 99);
    }
    prompts.QueueText("20");
    prompts.QueueChoice(0);  // Yes
    prompts.QueueChoice(1);  // Yes to All: the third is not asked
    table.Copy({0, 1, 2});
    EXPECT_EQ(Choices().size(), 2u);
    EXPECT_EQ(Tag(doc.channels[20]), 10);
    EXPECT_EQ(Tag(doc.channels[21]), 11);
    EXPECT_EQ(Tag(doc.channels[22]), 12);

    prompts.ClearRecords();
    for (int i = 30; i < 33; ++i) {
        MakeFixed(doc.channels[i], 99);
    }
    doc.channels[30].Clear();
    prompts.QueueText("30");
    prompts.QueueChoice(2);  // Cancel at 31: 30 stays copied
    table.Copy({0, 1, 2});
    EXPECT_EQ(Choices().size(), 1u);
    EXPECT_EQ(Tag(doc.channels[30]), 10);
    EXPECT_EQ(Tag(doc.channels[31]), 99);
    EXPECT_EQ(Tag(doc.channels[32]), 99);

    prompts.QueueText("31");
    prompts.QueueChoice(-1);  // the box closed
    EXPECT_FALSE(table.Copy({0}));
    EXPECT_EQ(Tag(doc.channels[31]), 99);
}

TEST_F(ControllerTest, DeleteRemovesReferencesAfterYes) {
    MakeFixed(doc.channels[7], 7);
    MakeScan(doc.channels[20], {0x0007, 0x0003, 0x0007});
    MakeScan(doc.channels[21], {0x0007});
    doc.toneRemote.SetEntry(4, CToneRemote::kChannel, 7);
    doc.toneRemote.SetEntry(5, CToneRemote::kChannel, 8);
    prompts.QueueChoice(0);
    table.Delete({7});

    auto choices = Choices();
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].caption, "Delete references to channel 7");
    EXPECT_EQ(choices[0].text,
              "Warning! About to delete all references to this channel, continue?\n\n"
              "3 reference(s) to this channel found in scanning channels.\n\n"
              "1 reference(s) to this channel found in tone settings.\n");
    EXPECT_EQ(choices[0].choices,
              (std::vector<std::string>{"&Yes", "Yes for &All", "&Skip", "Cancel"}));
    EXPECT_EQ(doc.channels[7].KindByte(), 0);
    EXPECT_EQ(doc.channels[20].ScanRefCount(), 1);
    EXPECT_EQ(doc.channels[20].ScanRefChannel(0), 0x0003);
    EXPECT_EQ(doc.channels[21].ScanRefCount(), 0);
    EXPECT_EQ(doc.toneRemote.RawEntry(4).function, CToneRemote::kUnassigned);
    EXPECT_EQ(doc.toneRemote.RawEntry(5).function, CToneRemote::kChannel);
    EXPECT_EQ(doc.channels.lastChannel, 6);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ControllerTest, DeleteTakesScanChannelsLeftWithNothingToScan) {
    MakeFixed(doc.channels[2], 2);
    MakeFixed(doc.channels[3], 3);
    MakeFixed(doc.channels[4], 4);
    MakeScan(doc.channels[30], {0x0003, 0x0002, 0x0003});  // only deleted channels
    MakeScan(doc.channels[20], {0x0003});
    MakeScan(doc.channels[21], {0x0003, 0x0004});  // keeps 4
    doc.toneRemote.SetEntry(6, CToneRemote::kChannel, 30);
    doc.toneRemote.SetEntry(7, CToneRemote::kChannel, 21);
    prompts.QueueChoice(1);  // Yes for All
    table.Delete({2, 3});

    EXPECT_EQ(doc.channels[30].KindByte(), 0);
    EXPECT_EQ(doc.channels[20].KindByte(), 0);
    EXPECT_TRUE(doc.channels[21].IsScan());
    EXPECT_EQ(doc.channels[21].ScanRefCount(), 1);
    EXPECT_EQ(doc.channels[21].ScanRefChannel(0), 0x0004);
    EXPECT_EQ(doc.toneRemote.RawEntry(6).function, CToneRemote::kUnassigned);
    EXPECT_EQ(doc.toneRemote.RawEntry(7).function, CToneRemote::kChannel);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text,
              "These scanning channels had no channel left to scan and were deleted too: "
              "020, 030.\nTheir references in the tone settings were removed.");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Information);
    EXPECT_EQ(doc.channels.UsedCount(), 2);  // 4 and 21

    // Skipped, the channel and the scanning channel stay; nothing to tell.
    prompts.ClearRecords();
    MakeScan(doc.channels[40], {0x0004});
    prompts.QueueChoice(2);
    table.Delete({4});
    EXPECT_TRUE(doc.channels[40].IsScan());
    EXPECT_TRUE(prompts.Boxes().empty());

    // No tone settings named them: the note says nothing of them.
    prompts.ClearRecords();
    doc.toneRemote.ClearSlot(7);
    prompts.QueueChoice(0);
    table.Delete({4});
    EXPECT_EQ(doc.channels[40].KindByte(), 0);
    EXPECT_EQ(doc.channels[21].KindByte(), 0);
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{
                  "These scanning channels had no channel left to scan and were deleted too: "
                  "021, 040."});
}

TEST_F(ControllerTest, DeleteMarksTheDocumentModifiedOnlyWhenSomethingWent) {
    MakeFixed(doc.channels[4], 4);
    MakeScan(doc.channels[9], {0x0004});
    prompts.QueueChoice(2);  // Skip
    EXPECT_FALSE(table.Delete({4}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(table.Delete({9}));  // no references to a scanning channel: nothing asked
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.channels[9].KindByte(), 0);
}

TEST_F(ControllerTest, DeleteSkipYesForAllAndCancel) {
    for (int c : {0, 1, 2, 3, 4}) {
        MakeFixed(doc.channels[c], static_cast<uint8_t>(c));
    }
    MakeScan(doc.channels[50], {0x0000, 0x0001, 0x0002, 0x0003});
    MakeScan(doc.channels[51], {0x0051});  // a scan channel is never referred to
    doc.toneRemote.SetEntry(0, CToneRemote::kChannel, 51);

    prompts.QueueChoice(2);  // Skip 0
    prompts.QueueChoice(1);  // Yes for All from 1 on
    table.Delete({0, 1, 2, 3, 4, 51});
    EXPECT_EQ(Choices().size(), 2u);
    EXPECT_EQ(Choices()[1].text,
              "Warning! About to delete all references to this channel, continue?\n\n"
              "1 reference(s) to this channel found in scanning channels.\n\n");
    EXPECT_EQ(doc.channels[0].KindByte(), 1);
    for (int c : {1, 2, 3, 4, 51}) {
        EXPECT_EQ(doc.channels[c].KindByte(), 0) << c;
    }
    EXPECT_EQ(doc.channels[50].ScanRefCount(), 1);
    EXPECT_EQ(doc.toneRemote.RawEntry(0).function, CToneRemote::kUnassigned);
    EXPECT_EQ(doc.channels.lastChannel, 0);

    prompts.ClearRecords();
    MakeFixed(doc.channels[10], 10);
    MakeFixed(doc.channels[11], 11);
    MakeFixed(doc.channels[12], 12);
    doc.toneRemote.SetEntry(3, CToneRemote::kChannel, 12);
    prompts.QueueChoice(3);  // Cancel at 12; 10 and 11 had no references
    table.Delete({10, 11, 12});
    EXPECT_EQ(Choices().size(), 1u);
    EXPECT_EQ(Choices()[0].text,
              "Warning! About to delete all references to this channel, continue?\n\n"
              "1 reference(s) to this channel found in tone settings.\n");
    EXPECT_EQ(doc.channels[10].KindByte(), 0);
    EXPECT_EQ(doc.channels[11].KindByte(), 0);
    EXPECT_EQ(doc.channels[12].KindByte(), 1);
    EXPECT_EQ(doc.toneRemote.RawEntry(3).function, CToneRemote::kChannel);
    EXPECT_EQ(doc.channels.lastChannel, 9);
}

TEST_F(ControllerTest, GetAsksOnlyForAModifiedDocument) {
    MakeFixed(doc.channels[3], 3);
    EXPECT_TRUE(table.PrepareGet());
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(doc.channels.UsedCount(), 0);

    MakeFixed(doc.channels[3], 3);
    doc.SetModified(true);
    prompts.QueueAnswer(Answer::No);
    EXPECT_FALSE(table.PrepareGet());
    EXPECT_EQ(doc.channels.UsedCount(), 1);
    prompts.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(table.PrepareGet());
    EXPECT_EQ(doc.channels.UsedCount(), 0);
    ASSERT_EQ(prompts.Boxes().size(), 2u);
    EXPECT_EQ(prompts.Boxes()[0].text,
              "This command reads channel table data from the transceiver. Your current settings "
              "will be lost.\n Continue?");
    EXPECT_EQ(prompts.Boxes()[0].buttons, quillon::Buttons::YesNo);
}
