// The main window's menus as the commands reach the driver.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
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

TEST(CTmpFrameTest, ConfigureAndProgramMenusCarryTheTransceiverCommands) {
    CTmpFrame frame;
    ExpectEntries(MenuEntries(frame, "&Configure"),
                  {{"Serial &Comms", 32777, ""}, {"Exit Binary Mode", 32784, ""}});
    ExpectEntries(MenuEntries(frame, "&Program"),
                  {{"&Get", 32774, "Get channel table and other settings from radio"},
                   {"S&end", 32775, "Send radio channel and other settings to radio"},
                   {"", 0, ""},
                   {"&Radio Wide Settings", 32778, ""},
                   {"", 0, ""},
                   {"Change &Password", 32783, ""}});
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
