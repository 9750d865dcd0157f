// The Serial Debug window, its counter windows, and command 32781.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>

#include "core/Message.h"
#include "ui/GuiProgram.h"
#include "ui/SerialDebugWindow.h"

namespace quillon::ui {
namespace {

TEST(SerialDebugWindowTest, CounterWindowsOpenOnceAndAnewAfterTheirCloseNotice) {
    std::vector<int> notices;
    SerialDebugWindow w(
        SerialDebugWindow::Hooks{[&notices](SerialDebugWindow* from, int kind) {
                                     notices.push_back(kind);
                                     // As the application would hand it back.
                                     if (kind == static_cast<int>(MessageKind::RxCountersClosed)) {
                                         from->RxCountersClosed();
                                     } else {
                                         from->TxCountersClosed();
                                     }
                                 },
                                 {}});
    EXPECT_EQ(w.windowTitle(), "Serial Debug");
    EXPECT_EQ(w.StateText(), "Idle");
    EXPECT_TRUE(w.TxButton()->isDefault());

    // Counters of a closed window are dropped.
    w.BciCounterChanged(BciCounter::AcceptedBlocks, 3);
    w.RxButton()->click();
    BciCountersWindow* rx = w.RxWindow();
    ASSERT_NE(rx, nullptr);
    EXPECT_EQ(rx->windowTitle(), "BCI_RX");
    EXPECT_EQ(rx->CounterText(BciCounter::AcceptedBlocks), "0");
    w.RxButton()->click();
    EXPECT_EQ(w.RxWindow(), rx);  // still the one

    w.BciCounterChanged(BciCounter::AcceptedBlocks, 7);
    w.BciCounterChanged(BciCounter::ChecksumFails, 2);
    w.BciCounterChanged(BciCounter::Retries, 4);  // the transmit side is not open
    EXPECT_EQ(rx->CounterText(BciCounter::AcceptedBlocks), "7");
    EXPECT_EQ(rx->CounterText(BciCounter::ChecksumFails), "2");
    w.BciStateChanged("RX");
    EXPECT_EQ(w.StateText(), "RX");

    w.TxButton()->click();
    ASSERT_NE(w.TxWindow(), nullptr);
    EXPECT_EQ(w.TxWindow()->windowTitle(), "BCI TX");
    w.BciCounterChanged(BciCounter::Retries, 5);
    EXPECT_EQ(w.TxWindow()->CounterText(BciCounter::Retries), "5");

    rx->close();  // its close box
    EXPECT_EQ(notices, std::vector<int>{1036});
    EXPECT_EQ(w.RxWindow(), nullptr);
    w.RxButton()->click();
    ASSERT_NE(w.RxWindow(), nullptr);
    EXPECT_EQ(w.RxWindow()->CounterText(BciCounter::AcceptedBlocks), "0");  // a new one
}

// A pseudo-terminal stands for the serial port.
struct Pty {
    int master = -1;
    std::string path;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            path = ptsname(master);
        }
    }
    ~Pty() {
        if (master >= 0) {
            close(master);
        }
    }
};

int TopLevelDebugWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<SerialDebugWindow*>(w) != nullptr && w->isVisible()) {
            ++n;
        }
    }
    return n;
}

TEST(SerialDebugWindowTest, Command32781AttachesAWindowToThePortAndLetsItGoOnTheNextUse) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    QTemporaryDir dir;
    GuiOptions options;
    options.settingsFile = dir.filePath("settings.ini");
    options.devicePath = pty.path;
    GuiProgram program(options);
    program.Start();
    ASSERT_TRUE(program.App().HasLink());
    const int before = TopLevelDebugWindows();

    program.Frame().Run(CTmpFrame::kIdSerialDebug);
    EXPECT_EQ(TopLevelDebugWindows(), before + 1);
    BciObserver* attached = program.App().Link()->Observer();
    ASSERT_NE(attached, nullptr);

    // Again: the window stays, but the engine no longer reports to it.
    program.Frame().Run(CTmpFrame::kIdSerialDebug);
    EXPECT_EQ(program.App().Link()->Observer(), nullptr);
    EXPECT_EQ(TopLevelDebugWindows(), before + 1);

    // And again: a new window.
    program.Frame().Run(CTmpFrame::kIdSerialDebug);
    EXPECT_EQ(TopLevelDebugWindows(), before + 2);
    ASSERT_NE(program.App().Link()->Observer(), nullptr);
    EXPECT_NE(program.App().Link()->Observer(), attached);

    // Its close box detaches it.
    auto* w = dynamic_cast<SerialDebugWindow*>(program.App().Link()->Observer());
    ASSERT_NE(w, nullptr);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(program.App().Link()->Observer(), nullptr);
    program.Finish();
}

TEST(SerialDebugWindowTest, WithoutAPortTheCommandDoesNothingAndTheOptionWaitsForOne) {
    QTemporaryDir dir;
    GuiOptions options;
    options.settingsFile = dir.filePath("settings.ini");
    options.serialDebug = true;
    GuiProgram program(options);
    program.Settings().SetInt("General Settings", "COM Port", -1);
    program.Start();
    const int before = TopLevelDebugWindows();
    program.Frame().Run(CTmpFrame::kIdSerialDebug);
    QCoreApplication::processEvents();
    EXPECT_FALSE(program.App().HasLink());
    EXPECT_EQ(TopLevelDebugWindows(), before);
    program.Finish();
}

TEST(SerialDebugWindowTest, TheOptionOpensTheWindowOnceThePortExists) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    QTemporaryDir dir;
    GuiOptions options;
    options.settingsFile = dir.filePath("settings.ini");
    options.devicePath = pty.path;
    options.serialDebug = true;
    GuiProgram program(options);
    program.Start();
    QElapsedTimer t;
    t.start();
    while (program.App().Link()->Observer() == nullptr && t.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_NE(program.App().Link()->Observer(), nullptr);
    program.Finish();
}

}  // namespace
}  // namespace quillon::ui
