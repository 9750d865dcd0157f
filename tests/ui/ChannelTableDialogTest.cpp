// The "Channel Table" dialog over the document: its list, its buttons and
// the command sequences with scripted questions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"
#include "ui/ChannelTableDialog.h"

namespace {

using quillon::Icon;
using quillon::model::CChannel;
using quillon::model::ChannelKind;
using quillon::model::CTmpDoc;
using quillon::model::CToneRemote;
using quillon::sim::ScriptedPrompts;
using quillon::ui::ChannelTableDialog;
namespace off = quillon::model::off;

void MakeFixed(CChannel& ch, const std::string& name) {
    ch.Clear();
    ch.SetKind(ChannelKind::Fixed);
    ch.SetByte(off::kSignalType, 3);
    ch.SetByte(off::kOperationMode, 2);
    ch.SetNameBytes(name);
}

void MakeScan(CChannel& ch, const std::string& name, uint16_t refBcd) {
    ch.Clear();
    ch.SetKind(ChannelKind::Scan);
    ch.SetNameBytes(name);
    ch.SetScanRef(0, refBcd, 0x10);
    ch.SetScanRefCount(1);
}

std::vector<std::string> Lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) {
        out.push_back(list->item(i)->text().toStdString());
    }
    return out;
}

// A stand-in for the Channel Settings dialog: records its calls and, when
// told to press OK, writes a fixed channel named after the call.
struct FakeSettings {
    struct Call {
        int channel;
        bool addMode;
    };
    CTmpDoc* doc = nullptr;
    bool pressOk = true;
    std::vector<Call> calls;

    bool operator()(int channel, bool addMode) {
        calls.push_back(Call{channel, addMode});
        if (!pressOk) {
            return false;
        }
        MakeFixed(doc->channels[channel], addMode ? "ADDED" : "EDITED");
        doc->channels.lastChannel = channel;
        doc->SetModified(true);
        return true;
    }
};

class ChannelTableDialogTest : public ::testing::Test {
  protected:
    ChannelTableDialogTest() { fake.doc = &doc; }

    CTmpDoc doc;
    ScriptedPrompts prompts;
    FakeSettings fake;

    // The fake is called through a reference so the test sees its calls.
    quillon::ui::EditChannelFn Editor() {
        return [this](int c, bool add) { return fake(c, add); };
    }
    void Select(ChannelTableDialog& dlg, std::initializer_list<int> rows) {
        dlg.List()->clearSelection();
        for (int r : rows) {
            dlg.List()->item(r)->setSelected(true);
        }
    }
};

TEST_F(ChannelTableDialogTest, ListsTheUsedSlotsInNumberOrderAndSelectsTheLastChannel) {
    MakeFixed(doc.channels[12], "TWELVE");
    MakeFixed(doc.channels[3], "AB CD   ");
    MakeScan(doc.channels[200], "SCAN", 0x0003);
    doc.channels.lastChannel = 12;
    ChannelTableDialog dlg(doc, prompts, Editor());
    EXPECT_EQ(dlg.windowTitle(), "Channel Table");
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{
                                     "003 \"AB CD\" Narrowband Analogue Repeater",
                                     "012 \"TWELVE\" Narrowband Analogue Repeater",
                                     "200 \"SCAN\" Scanning Channel",
                                 }));
    EXPECT_EQ(dlg.SelectedChannels(), std::vector<int>{12});
    EXPECT_EQ(dlg.List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (QPushButton* b :
         {dlg.AddButton(), dlg.EditButton(), dlg.DeleteButton(), dlg.CopyButton()}) {
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    }
    EXPECT_EQ(dlg.AddButton()->text(), "Add");
    EXPECT_EQ(dlg.EditButton()->text(), "Edit");
    EXPECT_EQ(dlg.DeleteButton()->text(), "Delete");
    EXPECT_EQ(dlg.CopyButton()->text(), "Copy");
    EXPECT_EQ(dlg.CloseButton()->text(), "Close");

    // No line of lastChannel: the first one.
    doc.channels.lastChannel = 100;
    ChannelTableDialog again(doc, prompts, Editor());
    EXPECT_EQ(again.SelectedChannels(), std::vector<int>{3});
}

TEST_F(ChannelTableDialogTest, ButtonStatesOfAnEmptyAndAFullTable) {
    ChannelTableDialog empty(doc, prompts, Editor());
    EXPECT_EQ(empty.List()->count(), 0);
    EXPECT_TRUE(empty.AddButton()->isEnabled());
    EXPECT_FALSE(empty.EditButton()->isEnabled());
    EXPECT_FALSE(empty.DeleteButton()->isEnabled());
    EXPECT_FALSE(empty.CopyButton()->isEnabled());

    for (int i = 0; i < quillon::model::kChannelCount; ++i) {
        MakeFixed(doc.channels[i], "X");
    }
    ChannelTableDialog full(doc, prompts, Editor());
    EXPECT_EQ(full.List()->count(), 512);
    EXPECT_FALSE(full.AddButton()->isEnabled());
    EXPECT_TRUE(full.EditButton()->isEnabled());
}

TEST_F(ChannelTableDialogTest, AddOpensTheSettingsOnTheLowestFreeSlot) {
    MakeFixed(doc.channels[0], "ZERO");
    MakeFixed(doc.channels[2], "TWO");
    ChannelTableDialog dlg(doc, prompts, Editor());

    fake.pressOk = false;
    dlg.AddButton()->click();
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0].channel, 1);
    EXPECT_TRUE(fake.calls[0].addMode);
    EXPECT_EQ(dlg.List()->count(), 2);
    EXPECT_FALSE(dlg.Changed());

    fake.pressOk = true;
    dlg.AddButton()->click();
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{
                                     "000 \"ZERO\" Narrowband Analogue Repeater",
                                     "001 \"ADDED\" Narrowband Analogue Repeater",
                                     "002 \"TWO\" Narrowband Analogue Repeater",
                                 }));
    EXPECT_EQ(dlg.SelectedChannels(), std::vector<int>{1});
    EXPECT_TRUE(dlg.Changed());
    EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(ChannelTableDialogTest, EditByButtonAndByDoubleClick) {
    MakeFixed(doc.channels[4], "FOUR");
    MakeFixed(doc.channels[9], "NINE");
    MakeFixed(doc.channels[30], "THIRTY");
    ChannelTableDialog dlg(doc, prompts, Editor());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    dlg.List()->clearSelection();
    dlg.EditButton()->click();
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(prompts.BeepCount(), 1);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "You must selected a channel to edit first!");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);

    // The first selected line is the one edited; Cancel keeps it selected.
    fake.pressOk = false;
    Select(dlg, {2, 1});
    dlg.EditButton()->click();
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0].channel, 9);
    EXPECT_FALSE(fake.calls[0].addMode);
    EXPECT_EQ(dlg.SelectedChannels(), std::vector<int>{9});

    fake.pressOk = true;
    // A double click as the platform delivers it: a press and release, then
    // the second press arriving as the double click.
    const QPoint at = dlg.List()->visualItemRect(dlg.List()->item(2)).center();
    QTest::mouseClick(dlg.List()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(dlg.List()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_EQ(fake.calls.size(), 2u);
    EXPECT_EQ(fake.calls[1].channel, 30);
    EXPECT_FALSE(fake.calls[1].addMode);
    EXPECT_EQ(dlg.List()->item(2)->text(), "030 \"EDITED\" Narrowband Analogue Repeater");
    EXPECT_EQ(dlg.SelectedChannels(), std::vector<int>{30});
    EXPECT_TRUE(dlg.Changed());
}

TEST_F(ChannelTableDialogTest, CopyOntoItsOwnRangeAsksAndKeepsEveryChannel) {
    MakeFixed(doc.channels[5], "FIVE");
    MakeFixed(doc.channels[6], "SIX");
    ChannelTableDialog dlg(doc, prompts, Editor());

    dlg.List()->clearSelection();
    dlg.CopyButton()->click();
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"You must selected the channels to copy first!"});

    prompts.ClearRecords();
    Select(dlg, {0, 1});
    prompts.QueueText("600");  // refused, asked again
    prompts.QueueText("6");
    prompts.QueueChoice(0);  // Yes: 6 is in use; 7 is free
    dlg.CopyButton()->click();
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"Channel number out of range. Must be between 0 and 511."});
    EXPECT_EQ(prompts.CountKind(ScriptedPrompts::Kind::Choice), 1);
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{
                                     "005 \"FIVE\" Narrowband Analogue Repeater",
                                     "006 \"FIVE\" Narrowband Analogue Repeater",
                                     "007 \"SIX\" Narrowband Analogue Repeater",
                                 }));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(dlg.Changed());
    EXPECT_EQ(dlg.SelectedChannels().size(), 1u);  // the list was refilled

    // Cancel in the target dialog changes nothing.
    doc.SetModified(false);
    prompts.QueueText(std::nullopt);
    dlg.CopyButton()->click();
    EXPECT_EQ(dlg.List()->count(), 3);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ChannelTableDialogTest, DeleteAsksAboutReferencesAndRefillsTheList) {
    MakeFixed(doc.channels[7], "SEVEN");
    MakeFixed(doc.channels[8], "EIGHT");
    MakeFixed(doc.channels[9], "NINE");
    MakeScan(doc.channels[20], "SCAN", 0x0008);
    doc.toneRemote.SetEntry(2, CToneRemote::kChannel, 9);
    ChannelTableDialog dlg(doc, prompts, Editor());

    Select(dlg, {1, 2});     // 8 and 9
    prompts.QueueChoice(2);  // Skip 8
    prompts.QueueChoice(0);  // Yes for 9
    dlg.DeleteButton()->click();
    ASSERT_EQ(prompts.CountKind(ScriptedPrompts::Kind::Choice), 2);
    EXPECT_EQ(prompts.Records()[0].caption, "Delete references to channel 8");
    EXPECT_EQ(prompts.Records()[1].caption, "Delete references to channel 9");
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{
                                     "007 \"SEVEN\" Narrowband Analogue Repeater",
                                     "008 \"EIGHT\" Narrowband Analogue Repeater",
                                     "020 \"SCAN\" Scanning Channel",
                                 }));
    // The line before the first one selected.
    EXPECT_EQ(dlg.SelectedChannels(), std::vector<int>{7});
    EXPECT_EQ(doc.toneRemote.RawEntry(2).function, CToneRemote::kUnassigned);
    EXPECT_TRUE(doc.IsModified());

    // Deleting 8 now takes the scanning channel that only named it.
    prompts.ClearRecords();
    Select(dlg, {1});
    prompts.QueueChoice(0);
    dlg.DeleteButton()->click();
    EXPECT_EQ(Lines(dlg.List()),
              std::vector<std::string>{"007 \"SEVEN\" Narrowband Analogue Repeater"});
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Information);

    prompts.ClearRecords();
    dlg.List()->clearSelection();
    dlg.DeleteButton()->click();
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"You must selected the channels to delete first!"});
    EXPECT_EQ(dlg.List()->count(), 1);
}

TEST_F(ChannelTableDialogTest, TheListIsWideEnoughForTheLongestLine) {
    MakeFixed(doc.channels[511], "WWWWWWWW");
    doc.channels[511].SetByte(off::kSignalType, 4);
    doc.channels[511].SetByte(off::kOperationMode, 1);
    ChannelTableDialog dlg(doc, prompts, Editor());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QListWidgetItem* line = dlg.List()->item(0);
    ASSERT_NE(line, nullptr);
    const int textWidth = dlg.List()->fontMetrics().horizontalAdvance(line->text());
    EXPECT_GE(dlg.List()->viewport()->width(), textWidth);
    // The buttons sit beside the list, not over it.
    EXPECT_GE(dlg.AddButton()->geometry().left(), dlg.List()->geometry().right());
}

TEST_F(ChannelTableDialogTest, RunSaysWhetherTheDocumentChanged) {
    MakeFixed(doc.channels[1], "ONE");
    // Close at once: nothing changed.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<ChannelTableDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->CloseButton()->click();
    });
    EXPECT_FALSE(quillon::ui::RunChannelTableDialog(nullptr, doc, prompts, Editor()));

    // Copy 1 to 2, then close.
    prompts.QueueText("2");
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<ChannelTableDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->CopyButton()->click();
        dlg->CloseButton()->click();
    });
    EXPECT_TRUE(quillon::ui::RunChannelTableDialog(nullptr, doc, prompts, Editor()));
    EXPECT_EQ(doc.channels[2].NameText(), "ONE");
}

}  // namespace
