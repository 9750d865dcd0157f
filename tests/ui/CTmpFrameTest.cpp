// The main window's menus as the commands reach the driver.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <vector>

#include "ui/CTmpFrame.h"

namespace {

using quillon::ui::CTmpFrame;

struct Entry {
    QString text;
    int id;  // 0 for a separator
    QString prompt;
};

std::vector<Entry> MenuEntries(const CTmpFrame& frame, const QString& title) {
    std::vector<Entry> entries;
    for (QAction* top : frame.menuBar()->actions()) {
        if (top->text() != title || top->menu() == nullptr) {
            continue;
        }
        for (QAction* a : top->menu()->actions()) {
            entries.push_back({a->isSeparator() ? QString() : a->text(),
                               a->isSeparator() ? 0 : a->data().toInt(), a->statusTip()});
        }
    }
    return entries;
}

void ExpectEntries(const std::vector<Entry>& got, const std::vector<Entry>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].text, want[i].text) << i;
        EXPECT_EQ(got[i].id, want[i].id) << i;
        EXPECT_EQ(got[i].prompt, want[i].prompt) << i;
    }
}

TEST(CTmpFrameTest, EveryMenuCarriesItsCommandsInOrder) {
    CTmpFrame frame;
    QStringList titles;
    for (QAction* top : frame.menuBar()->actions()) {
        titles << top->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Configure", "&Program", "Ph&one", "&Help"}));
    ExpectEntries(MenuEntries(frame, "&Edit"),
                  {{"&Undo\tCtrl+Z", 57643, "Undo the last change to the document"},
                   {"&Redo\tCtrl+Y", 57644, "Redo the change undone last"}});
    ExpectEntries(
        MenuEntries(frame, "&File"),
        {{"&New\tCtrl+N", 57600, "Create a new document"},
         {"&Open...\tCtrl+O", 57601, "Open an existing document"},
         {"&Save\tCtrl+S", 57603, "Save the active document"},
         {"Save &As...", 57604, "Save the active document with a new name"},
         {"", 0, ""},
         {"&Import...", 33001, "Import channel table from CSV file"},
         {"&Export...", 33002, "Export channel table in CSV file"},
         {"Compare with &File...", 33003, "Show how another document differs from this one"},
         {"Open &Backup...", 33004, "Open a transceiver configuration kept before a Send"},
         {"", 0, ""},
         {"&Print...\tCtrl+P", 57607, ""},
         {"Print Pre&view", 57609, ""},
         {"", 0, ""},
         {"Recent File", 57616, ""},
         {"", 0, ""},
         {"E&xit", 57665, "Quit the application; prompts to save documents"}});
    ExpectEntries(MenuEntries(frame, "&Configure"), {{"Serial &Comms", 32777, ""},
                                                     {"&Modem Commands", 32789, ""},
                                                     {"Exit Binary Mode", 32784, ""}});
    ExpectEntries(
        MenuEntries(frame, "&Program"),
        {{"&Get", 32774, "Get channel table and other settings from radio"},
         {"S&end", 32775, "Send radio channel and other settings to radio"},
         {"Compare with &Transceiver...", 32792,
          "Show what a Send would change in the transceiver"},
         {"&Verify after Send", 32793, "Read the configuration back after a Send and compare it"},
         {"&Back up Transceiver before Send", 32794,
          "Keep the transceiver's configuration before a Send changes it"},
         {"", 0, ""},
         {"&Radio Wide Settings", 32778, ""},
         {"&Channel Table", 32779, ""},
         {"&Tone Remote Settings", 32780, ""},
         {"&Encryption Settings", 32771, "Edit Encryption Keys"},
         {"&Squelch Groups", 32776, "Add, edit or delete squelch groups and items"},
         {"", 0, ""},
         {"Change &Password", 32783, ""}});
    ExpectEntries(MenuEntries(frame, "Ph&one"), {{"&Dial", 32790, ""}, {"&Hangup", 32791, ""}});
    ExpectEntries(MenuEntries(frame, "&Help"),
                  {{"&Contents", 32772, ""},
                   {"&Search", 32773, ""},
                   {"&Using Help", 57668, "Display instructions about how to use help"},
                   {"", 0, ""},
                   {"&About Quillon Radio Programmer...", 57664, ""}});
}

TEST(CTmpFrameTest, ACommandIsEnabledOnlyOnceItHasAHandler) {
    CTmpFrame frame;
    EXPECT_FALSE(frame.Action(CTmpFrame::kIdSave)->isEnabled());
    frame.SetCommandHandler(CTmpFrame::kIdSave, [] {});
    EXPECT_TRUE(frame.Action(CTmpFrame::kIdSave)->isEnabled());
    // Nothing handles the editing commands: their keys and buttons stay dead.
    for (int id :
         {CTmpFrame::kIdCut, CTmpFrame::kIdCopy, CTmpFrame::kIdPaste, CTmpFrame::kIdUndo}) {
        ASSERT_NE(frame.Action(id), nullptr) << id;
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
    }
    EXPECT_EQ(frame.Action(CTmpFrame::kIdCut)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_X),
                                   QKeySequence(Qt::SHIFT | Qt::Key_Delete)}));
    EXPECT_EQ(frame.Action(CTmpFrame::kIdOpen)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

TEST(CTmpFrameTest, UndoAndRedoNameTheirStepAndFollowTheHistory) {
    CTmpFrame frame;
    frame.SetCommandHandler(CTmpFrame::kIdUndo, [] {});
    frame.SetCommandHandler(CTmpFrame::kIdRedo, [] {});
    frame.SetUndoRedo("Edit Channel 012", true, "", false);
    EXPECT_EQ(frame.Action(CTmpFrame::kIdUndo)->text(), "&Undo Edit Channel 012\tCtrl+Z");
    EXPECT_TRUE(frame.Action(CTmpFrame::kIdUndo)->isEnabled());
    EXPECT_EQ(frame.Action(CTmpFrame::kIdRedo)->text(), "&Redo\tCtrl+Y");
    EXPECT_FALSE(frame.Action(CTmpFrame::kIdRedo)->isEnabled());
    EXPECT_EQ(frame.Action(CTmpFrame::kIdRedo)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
}

TEST(CTmpFrameTest, ToolbarButtonsComeInTheirOrder) {
    CTmpFrame frame;
    std::vector<int> ids;
    for (QAction* a : frame.ToolBar()->actions()) {
        ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    }
    EXPECT_EQ(ids, (std::vector<int>{57600, 57601, 57603, 0, 57607, 0, 57635, 57634, 57637, 57643,
                                     0, 32774, 32775, 0, 57664, 57669}));
}

TEST(CTmpFrameTest, RecentDocumentsAreListedNumberedAndOpenTheirPath) {
    CTmpFrame frame;
    QStringList opened;
    frame.SetOpenPathHandler([&opened](const QString& p) { opened << p; });
    frame.SetRecentFiles({"/tmp/a.bcf", "/tmp/b.bcf"});
    auto entries = MenuEntries(frame, "&File");
    ASSERT_EQ(entries.size(), 17u);
    EXPECT_EQ(entries[13].text, "&1 /tmp/a.bcf");
    EXPECT_EQ(entries[14].text, "&2 /tmp/b.bcf");
    EXPECT_EQ(entries[14].id, 57617);
    frame.Action(57617)->trigger();
    EXPECT_EQ(opened, QStringList{"/tmp/b.bcf"});
    // Emptied again, the place stays, disabled.
    frame.SetRecentFiles({});
    entries = MenuEntries(frame, "&File");
    EXPECT_EQ(entries[13].text, "Recent File");
    EXPECT_EQ(frame.Action(57617), nullptr);
}

TEST(CTmpFrameTest, TitleNamesTheDocumentAndTheStatusBarFallsBackToItsIdleText) {
    CTmpFrame frame;
    EXPECT_EQ(frame.windowTitle(), "Untitled - Quillon Radio Programmer - Version 2.7");
    frame.SetDocumentName("site-a.bcf");
    EXPECT_EQ(frame.windowTitle(), "site-a.bcf - Quillon Radio Programmer - Version 2.7");
    EXPECT_EQ(frame.statusBar()->currentMessage(), "For Help, press F1");
    frame.statusBar()->showMessage("Create a new document");
    frame.statusBar()->clearMessage();
    EXPECT_EQ(frame.statusBar()->currentMessage(), "For Help, press F1");
}

TEST(CTmpFrameTest, CommandsWithoutAMenuEntryRunByTheirIdFollowedByTheDriverMessage) {
    CTmpFrame frame;
    std::vector<int> ran;
    for (int id = 32785; id <= 32788; ++id) {
        EXPECT_EQ(frame.Action(id), nullptr) << id;
        frame.SetCommandHandler(id, [&ran, id] { ran.push_back(id); });
    }
    frame.SetAfterCommand([&ran] { ran.push_back(0); });
    frame.Run(32787);
    frame.Run(32785);
    EXPECT_EQ(ran, (std::vector<int>{32787, 0, 32785, 0}));

    // A menu entry runs its handler the same way.
    frame.SetCommandHandler(CTmpFrame::kIdGet, [&ran] { ran.push_back(CTmpFrame::kIdGet); });
    frame.Action(CTmpFrame::kIdGet)->trigger();
    EXPECT_EQ(ran.back(), 0);
    EXPECT_EQ(ran[ran.size() - 2], CTmpFrame::kIdGet);
}

}  // namespace
