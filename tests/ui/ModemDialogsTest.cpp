// The Modem Commands and Dial dialogs over the driver.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "SimRig.h"
#include "ops/CTmpApp.h"
#include "ops/ProcedureCodes.h"
#include "ui/ModemDialogs.h"

namespace quillon::ui {
namespace {

TEST(ModemDialogsTest, ModemCommandsOkStoresTheTextsAsTypedAndCancelNothing) {
    testing::SimRig rig;
    CTmpApp app(rig.Deps());
    app.InitInstance();
    {
        ModemCommandsDialog dlg(app);
        EXPECT_EQ(dlg.InitEdit()->text(), "at&f1q0v1x4&k3&c0");
        EXPECT_EQ(dlg.DialEdit()->text(), "atdt");
        EXPECT_EQ(dlg.HangupEdit()->text(), "ath");
        dlg.DialEdit()->setText("atdp");
        dlg.reject();
    }
    EXPECT_EQ(app.modemDial, "atdt");
    {
        ModemCommandsDialog dlg(app);
        dlg.InitEdit()->setText(" atz ");
        dlg.HangupEdit()->setText("ath0");
        dlg.accept();
    }
    EXPECT_EQ(app.modemInit, " atz ");
    EXPECT_EQ(app.modemHangup, "ath0");
}

TEST(ModemDialogsTest, DialWithoutAPortSaysSoAndTheDialogStaysOpen) {
    testing::SimRig rig;
    rig.settings.SetInt("General Settings", "COM Port", 5);  // COM6: not on this machine
    CTmpApp app(rig.Deps());
    app.InitInstance();
    rig.prompts.ClearRecords();
    DialDialog dlg(app);
    dlg.show();
    dlg.NumberEdit()->setText("5551234");
    dlg.Dial();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(rig.prompts.BoxTexts().back(), "You must select a serial port first!");
    EXPECT_EQ(app.modemPhone, "5551234");  // kept for the next try
    EXPECT_EQ(app.textProcedure, 0);
}

TEST(ModemDialogsTest, DialWithAPortStartsTheCallAndCloses) {
    testing::SimRig rig;
    rig.settings.SetInt("General Settings", "COM Port", 0);
    CTmpApp app(rig.Deps());
    app.InitInstance();
    DialDialog dlg(app);
    dlg.show();
    dlg.NumberEdit()->setText("5551234");
    dlg.Dial();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(app.textProcedure, textproc::kModemDial);
    app.AbortProcedures();
}

}  // namespace
}  // namespace quillon::ui
