#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "SimRig.h"
#include "UiTestSupport.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "ui/SerialCommsDialog.h"

using quillon::CTmpApp;
using quillon::ui::SerialCommsDialog;

namespace {

class SerialCommsDialogTest : public ::testing::Test {
  protected:
    quillon::testing::SimRig rig;
    std::unique_ptr<CTmpApp> app;
    quillon::sim::ScriptedPrompts dialogBoxes;

    void SetUp() override {
        quillon::testing::TestApp();
        app = std::make_unique<CTmpApp>(rig.Deps());
    }
};

TEST_F(SerialCommsDialogTest, NoSelectionTriesComZeroAndStaysOpen) {
    app->comPortIndex = -1;
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    dlg.show();
    EXPECT_EQ(dlg.PortList()->currentIndex(), -1);
    EXPECT_FALSE(dlg.ReleaseButton()->isEnabled());
    EXPECT_TRUE(dlg.BaudList()->isHidden());
    EXPECT_FALSE(dlg.BaudList()->isEnabled());
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rig.ports.LastOpenName(), "COM0");
    const auto boxes = dialogBoxes.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error opening Com port 0");
    EXPECT_EQ(boxes[0].caption, "Serial Port Configuration");
    EXPECT_EQ(boxes[0].icon, quillon::Icon::Exclamation);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(app->HasLink());
}

TEST_F(SerialCommsDialogTest, FailedOkKeepsReleaseEnabledAndReleaseJustCloses) {
    app->comPortIndex = 0;
    ASSERT_EQ(app->EnsurePort(), 1);
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_TRUE(dlg.ReleaseButton()->isEnabled());
        dlg.PortList()->setCurrentIndex(2);  // COM3: no device behind it
        QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_FALSE(app->HasLink());  // the old port is gone too
        EXPECT_TRUE(dlg.ReleaseButton()->isEnabled());
        QTest::mouseClick(dlg.ReleaseButton(), Qt::LeftButton);
    });
    dlg.RunAndStore();
    ASSERT_EQ(dialogBoxes.BoxTexts(), std::vector<std::string>{"Error opening Com port 3"});
    EXPECT_EQ(app->comPortIndex, 2);  // the selection is taken over
    EXPECT_FALSE(app->HasLink());
    // The next transfer command reopens the stored port by itself.
    app->comPortIndex = 0;
    EXPECT_EQ(app->EnsurePort(), 1);
}

TEST_F(SerialCommsDialogTest, OkOnAWorkingPortClosesAndTheApplicationKeepsIt) {
    app->comPortIndex = 3;
    app->baudIndex = 1;
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.PortList()->currentIndex(), 3);
        EXPECT_EQ(dlg.BaudList()->currentIndex(), 1);
        EXPECT_EQ(dlg.DeviceList()->currentText(), QStringLiteral("/dev/ttyUSB3"));
        dlg.PortList()->setCurrentIndex(0);
        EXPECT_EQ(dlg.DeviceList()->currentText(), QStringLiteral("/dev/ttyUSB0"));
        QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    });
    dlg.RunAndStore();
    EXPECT_TRUE(dialogBoxes.Boxes().empty());
    EXPECT_TRUE(app->HasLink());
    EXPECT_EQ(app->comPortIndex, 0);
    EXPECT_EQ(app->Link()->LineRate(), 9600);
}

TEST_F(SerialCommsDialogTest, CancelChangesNothing) {
    app->comPortIndex = 0;
    ASSERT_EQ(app->EnsurePort(), 1);
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg, [&] {
        dlg.PortList()->setCurrentIndex(1);
        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    });
    dlg.RunAndStore();
    EXPECT_EQ(app->comPortIndex, 0);
    EXPECT_TRUE(app->HasLink());
}

TEST_F(SerialCommsDialogTest, ChosenDeviceIsStoredForTheEntry) {
    app->comPortIndex = 1;
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg, [&] {
        dlg.DeviceList()->setEditText(QStringLiteral("/dev/ttyS7"));
        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    });
    dlg.RunAndStore();
    EXPECT_FALSE(rig.settings.Has("Serial Devices", "COM2"));
    SerialCommsDialog dlg2(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg2, [&] {
        dlg2.DeviceList()->setEditText(QStringLiteral("/dev/ttyS7"));
        QTest::mouseClick(dlg2.OkButton(), Qt::LeftButton);  // fails: nothing there
        QTest::mouseClick(dlg2.CancelButton(), Qt::LeftButton);
    });
    dlg2.RunAndStore();
    EXPECT_EQ(rig.settings.GetString("Serial Devices", "COM2", ""), "/dev/ttyS7");
}

TEST_F(SerialCommsDialogTest, CancelForgetsADeviceChosenFromTheList) {
    app->comPortIndex = 1;
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg, [&] {
        QComboBox* devices = dlg.DeviceList();
        devices->addItem(QStringLiteral("/dev/ttyS7"));
        devices->setCurrentIndex(devices->count() - 2);
        devices->setFocus();
        QTest::keyClick(devices, Qt::Key_Down);  // picks the last entry, as a user does
        EXPECT_EQ(devices->currentText(), QStringLiteral("/dev/ttyS7"));
        // Away and back: the dialog still shows the choice it was given.
        dlg.PortList()->setCurrentIndex(0);
        dlg.PortList()->setCurrentIndex(1);
        EXPECT_EQ(devices->currentText(), QStringLiteral("/dev/ttyS7"));
        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    });
    dlg.RunAndStore();
    EXPECT_FALSE(rig.settings.Has("Serial Devices", "COM2"));
    EXPECT_EQ(app->comPortIndex, 1);
    EXPECT_FALSE(app->HasLink());
    EXPECT_TRUE(dialogBoxes.Boxes().empty());
}

TEST_F(SerialCommsDialogTest, ReleaseWhileAProcedureRunsBeepsAndKeepsTheDialogAndThePort) {
    app->comPortIndex = 0;
    ASSERT_EQ(app->EnsurePort(), 1);
    app->textProcedure = quillon::textproc::kLogin;
    SerialCommsDialog dlg(*app, rig.settings, nullptr, &dialogBoxes);
    QTimer::singleShot(0, &dlg, [&] {
        dlg.PortList()->setCurrentIndex(1);
        dlg.DeviceList()->setEditText(QStringLiteral("/dev/ttyS7"));
        QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.ReleaseButton(), Qt::LeftButton);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    });
    dlg.RunAndStore();
    EXPECT_EQ(rig.prompts.BeepCount(), 2);
    EXPECT_TRUE(dialogBoxes.Boxes().empty());
    EXPECT_TRUE(app->HasLink());
    EXPECT_EQ(app->comPortIndex, 0);
    EXPECT_FALSE(rig.settings.Has("Serial Devices", "COM2"));
}

}  // namespace
