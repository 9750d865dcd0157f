// The Radio Wide Settings and Change Password dialogs over their logic.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "model/CTmpDoc.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/RadioWideSettingsDialog.h"

namespace {

using quillon::model::CTmpDoc;
using quillon::ui::ChangePasswordDialog;
using quillon::ui::RadioWideSettingsDialog;

TEST(RadioWideSettingsDialogTest, ShowsTheDocumentAndOkWritesItBack) {
    CTmpDoc doc;
    doc.frontPanelMonitor = "0";
    doc.frontPanelVolume = "4";
    doc.defaultChannel = "17";
    doc.backPanelOutput = "2";
    RadioWideSettingsDialog dlg(doc);
    EXPECT_FALSE(dlg.AudioBox()->isChecked());
    EXPECT_FALSE(dlg.LevelBox()->isEnabled());
    EXPECT_EQ(dlg.LevelBox()->text(), "");  // a disabled box shows nothing
    EXPECT_FALSE(dlg.UseBoxIdBox()->isChecked());
    EXPECT_TRUE(dlg.ChannelBox()->isEnabled());
    EXPECT_EQ(dlg.ChannelBox()->text(), "17");
    EXPECT_FALSE(dlg.DiagnosticBox()->isChecked());
    EXPECT_TRUE(dlg.GpsBox()->isChecked());

    dlg.AudioBox()->click();
    EXPECT_TRUE(dlg.LevelBox()->isEnabled());
    EXPECT_EQ(dlg.LevelBox()->text(), "4");
    dlg.LevelBox()->stepBy(1);
    dlg.UseBoxIdBox()->click();
    EXPECT_FALSE(dlg.ChannelBox()->isEnabled());
    dlg.DiagnosticBox()->click();
    dlg.accept();
    EXPECT_EQ(doc.frontPanelMonitor, "1");
    EXPECT_EQ(doc.frontPanelVolume, "5");
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");
    EXPECT_EQ(doc.backPanelOutput, "3");
    EXPECT_TRUE(doc.IsModified());
}

TEST(RadioWideSettingsDialogTest, StepsStopAtTheRangeAndCancelChangesNothing) {
    CTmpDoc doc;  // volume 10, the top of its range
    RadioWideSettingsDialog dlg(doc);
    dlg.LevelBox()->stepBy(1);  // beeps
    EXPECT_EQ(dlg.LevelBox()->value(), 10);
    dlg.LevelBox()->stepBy(-1);
    EXPECT_EQ(dlg.LevelBox()->value(), 9);
    dlg.reject();
    EXPECT_EQ(doc.frontPanelVolume, "10");
    EXPECT_FALSE(doc.IsModified());
}

TEST(ChangePasswordDialogTest, OkStaysOpenOnAFailedCheckAndKeepsThePasswords) {
    ChangePasswordDialog dlg;
    EXPECT_EQ(dlg.OldBox()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.NewBox()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.ConfirmBox()->echoMode(), QLineEdit::Password);
    dlg.OldBox()->setText("same");
    dlg.NewBox()->setText("same");
    dlg.ConfirmBox()->setText("same");
    // The warning box of the failed check is closed as a user would.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
    });
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);  // still open, not accepted

    dlg.NewBox()->setText("other");
    dlg.ConfirmBox()->setText("other");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.OldPassword(), "same");
    EXPECT_EQ(dlg.NewPassword(), "other");
}

}  // namespace
