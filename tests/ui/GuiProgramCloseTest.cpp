// Closing the main window while a transfer runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "ui/GuiProgram.h"

namespace {

using quillon::ui::GuiOptions;
using quillon::ui::GuiProgram;

TEST(GuiProgramClose, ATransferIsCancelledFirstAndTheWindowClosesOnceTheDriverIsIdle) {
    QTemporaryDir dir;
    GuiOptions options;
    options.settingsFile = dir.filePath("settings.ini");
    GuiProgram program(options);
    program.Start();
    ASSERT_TRUE(program.Frame().isVisible());

    // A Get's chain under way.
    program.App().textPending = 1;
    EXPECT_FALSE(program.Frame().close());
    EXPECT_TRUE(program.Frame().isVisible());
    EXPECT_EQ(program.App().cancelPressed, 1);

    // The driver winds down; the window follows without being asked again.
    program.App().textPending = 0;
    QElapsedTimer t;
    t.start();
    while (program.Frame().isVisible() && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_FALSE(program.Frame().isVisible());
    program.Finish();
}

TEST(GuiProgramClose, AskedAgainWhileCancellingTheWindowClosesAtOnce) {
    QTemporaryDir dir;
    GuiOptions options;
    options.settingsFile = dir.filePath("settings.ini");
    GuiProgram program(options);
    program.Start();
    program.App().textPending = 1;  // a driver that does not wind down
    EXPECT_FALSE(program.Frame().close());
    EXPECT_TRUE(program.Frame().close());
    program.App().textPending = 0;
    program.Finish();
}

}  // namespace
