// The radio-wide parameters as text on the card's command line, and the
// Radio Wide Settings and Change Password dialogs without their widgets.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/CTmpDoc.h"
#include "ops/ChangePasswordLogic.h"
#include "ops/RadioParameters.h"
#include "ops/RadioWideSettingsLogic.h"

using quillon::CheckChangePassword;
using quillon::CheckSendable;
using quillon::DocumentValueFromCard;
using quillon::GetpReplyValue;
using quillon::PasswordBox;
using quillon::RadioParameterAt;
using quillon::RadioWideSettingsLogic;
using quillon::model::CTmpDoc;

namespace {

const quillon::RadioParameter& Monitor() {
    return RadioParameterAt(0);
}
const quillon::RadioParameter& Volume() {
    return RadioParameterAt(1);
}
const quillon::RadioParameter& Output() {
    return RadioParameterAt(2);
}
const quillon::RadioParameter& Channel() {
    return RadioParameterAt(3);
}

TEST(RadioParameters, TheFourParametersInTheirOrderOnTheLine) {
    EXPECT_STREQ(Monitor().cardName, "ee_fpmon");
    EXPECT_STREQ(Volume().cardName, "ee_fpvol");
    EXPECT_STREQ(Output().cardName, "ee_bpnl_output");
    EXPECT_STREQ(Channel().cardName, "ee_dflt_chan");
}

// --- getp replies --------------------------------------------------------------

TEST(RadioParameters, AReplyValueEndsAtTheFirstLineEndAndCarriesNoneOfIt) {
    EXPECT_EQ(GetpReplyValue("ee_fpvol: 5\r\nVEL> "), "5");
    EXPECT_EQ(GetpReplyValue("ee_fpvol: 10\r\nVEL> "), "10");
    EXPECT_EQ(GetpReplyValue("ee_fpvol: 7\n\rVEL> "), "7");
    EXPECT_EQ(GetpReplyValue("ee_dflt_chan: 123\nVEL> "), "123");
    EXPECT_EQ(GetpReplyValue("ee_fpmon: 1"), "1");
    // A line end before the colon is only part of what comes before it.
    EXPECT_EQ(GetpReplyValue("\nee_dflt_chan: 17\r\n"), "17");
}

TEST(RadioParameters, AReplyWithoutAValueGivesAnEmptyOneAndWithoutAColonNone) {
    EXPECT_EQ(GetpReplyValue("ee_fpvol:"), "");
    EXPECT_EQ(GetpReplyValue("ee_fpvol: \r\nVEL> "), "");
    EXPECT_EQ(GetpReplyValue(""), std::nullopt);
    EXPECT_EQ(GetpReplyValue("Incorrect parameter\r\nVEL> "), std::nullopt);
}

TEST(RadioParameters, CardValuesAreRangeCheckedAndTheCardsNoneBecomes0xFFFF) {
    EXPECT_EQ(DocumentValueFromCard(Volume(), "5"), "5");
    EXPECT_EQ(DocumentValueFromCard(Volume(), "10"), "10");
    EXPECT_EQ(DocumentValueFromCard(Volume(), "07"), "7");
    EXPECT_EQ(DocumentValueFromCard(Volume(), "0"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Volume(), "11"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Volume(), ""), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Volume(), "5\r"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Monitor(), "2"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Output(), "3"), "3");
    EXPECT_EQ(DocumentValueFromCard(Output(), "4"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Channel(), "511"), "511");
    EXPECT_EQ(DocumentValueFromCard(Channel(), "512"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Channel(), "65535"), "0xFFFF");
    EXPECT_EQ(DocumentValueFromCard(Channel(), "-1"), std::nullopt);
    EXPECT_EQ(DocumentValueFromCard(Volume(), "65535"), std::nullopt);
}

// --- what a Send may put on the command line -------------------------------------

TEST(RadioParameters, DocumentValuesAreSentOnlyAsPlainNumbersInRange) {
    EXPECT_TRUE(IsSendableValue(Monitor(), "0"));
    EXPECT_TRUE(IsSendableValue(Monitor(), "1"));
    EXPECT_FALSE(IsSendableValue(Monitor(), "2"));
    EXPECT_FALSE(IsSendableValue(Monitor(), ""));
    EXPECT_TRUE(IsSendableValue(Volume(), "10"));
    EXPECT_FALSE(IsSendableValue(Volume(), "0"));
    EXPECT_FALSE(IsSendableValue(Volume(), " 5"));
    EXPECT_FALSE(IsSendableValue(Volume(), "+5"));
    EXPECT_FALSE(IsSendableValue(Volume(), "5\r\nwct"));
    EXPECT_FALSE(IsSendableValue(Output(), "0x3"));
    EXPECT_TRUE(IsSendableValue(Channel(), "0"));
    EXPECT_TRUE(IsSendableValue(Channel(), "511"));
    EXPECT_TRUE(IsSendableValue(Channel(), "0xFFFF"));
    EXPECT_TRUE(IsSendableValue(Channel(), "0xffff"));
    EXPECT_FALSE(IsSendableValue(Channel(), "512"));
    EXPECT_FALSE(IsSendableValue(Channel(), "0xFFFE"));
    EXPECT_FALSE(IsSendableValue(Channel(), "99999999999999999999"));
    EXPECT_FALSE(IsSendableValue(Volume(), "0xFFFF"));
}

TEST(RadioParameters, CheckSendableNamesTheFirstBadKeyOrSetting) {
    CTmpDoc doc;
    EXPECT_EQ(CheckSendable(doc), "");
    doc.keys.Add("0123456789abcDEF", 0);
    doc.keys.Add("fedcba9876543210", 0xFFFF);
    EXPECT_EQ(CheckSendable(doc), "");

    CTmpDoc badKey;
    badKey.keys.Add("0123456789abcdef", 1);
    badKey.keys.Add("0123456789abcdef\r\nwct", 2);
    EXPECT_EQ(CheckSendable(badKey),
              "Encryption key 2 \"0123456789abcdef\\r\\nwct\" is not valid: it must be 16 "
              "hexadecimal digits.\nNothing has been sent to the Transceiver.");

    CTmpDoc shortKey;
    shortKey.keys.Add("0123456789abcde", 1);
    EXPECT_EQ(CheckSendable(shortKey),
              "Encryption key 1 \"0123456789abcde\" is not valid: it must be 16 hexadecimal "
              "digits.\nNothing has been sent to the Transceiver.");

    CTmpDoc badKid;
    badKid.keys.Add("0123456789abcdef", 0x10000);
    EXPECT_EQ(CheckSendable(badKid),
              "Encryption key 1 has the Key ID 65536, out of range: it must be between 0x0 and "
              "0xFFFF.\nNothing has been sent to the Transceiver.");

    CTmpDoc badVolume;
    badVolume.frontPanelVolume = "5\r\nwct";
    EXPECT_EQ(
        CheckSendable(badVolume),
        "The radio wide setting front panel audio level (1 to 10) holds \"5\\r\\nwct\", which "
        "is not valid.\nPlease correct it in Radio Wide Settings. Nothing has been sent to "
        "the Transceiver.");

    CTmpDoc badChannel;
    badChannel.defaultChannel = "";
    EXPECT_EQ(CheckSendable(badChannel),
              "The radio wide setting default channel (0 to 511, or 0xFFFF for none) holds \"\", "
              "which is not valid.\nPlease correct it in Radio Wide Settings. Nothing has been "
              "sent to the Transceiver.");

    CTmpDoc badMonitor;
    badMonitor.frontPanelMonitor = std::string("1\x01", 2);
    badMonitor.backPanelOutput = "9";
    EXPECT_EQ(CheckSendable(badMonitor),
              "The radio wide setting front panel audio monitor (0 or 1) holds \"1\\x01\", which "
              "is not valid.\nPlease correct it in Radio Wide Settings. Nothing has been sent to "
              "the Transceiver.");
}

TEST(RadioParameters, ALongBadValueIsCutInTheMessage) {
    CTmpDoc doc;
    doc.backPanelOutput = std::string(5000, '7');
    const std::string message = CheckSendable(doc);
    EXPECT_NE(message.find('"' + std::string(40, '7') + "...\""), std::string::npos) << message;
    EXPECT_LT(message.size(), 300u);
}

// --- Radio Wide Settings -----------------------------------------------------------

TEST(RadioWideSettings, ShownOnANewDocument) {
    CTmpDoc doc;
    RadioWideSettingsLogic dlg(doc);
    EXPECT_TRUE(dlg.Audio());
    EXPECT_TRUE(dlg.LevelEnabled());
    EXPECT_EQ(dlg.LevelText(), "10");
    EXPECT_TRUE(dlg.UseBoxId());
    EXPECT_FALSE(dlg.ChannelEnabled());
    EXPECT_EQ(dlg.Channel(), 0);
    EXPECT_EQ(dlg.ChannelText(), "");  // disabled: no text
    EXPECT_TRUE(dlg.Diagnostic());
    EXPECT_FALSE(dlg.Gps());
}

TEST(RadioWideSettings, ShownOnReadValues) {
    CTmpDoc doc;
    doc.frontPanelMonitor = "0";
    doc.frontPanelVolume = "4";
    doc.backPanelOutput = "2";
    doc.defaultChannel = "37";
    RadioWideSettingsLogic dlg(doc);
    EXPECT_FALSE(dlg.Audio());
    EXPECT_FALSE(dlg.LevelEnabled());
    EXPECT_EQ(dlg.LevelText(), "");
    EXPECT_EQ(dlg.Level(), 4);
    dlg.ClickAudio(true);
    EXPECT_EQ(dlg.LevelText(), "4");  // the text comes back with the box
    EXPECT_FALSE(dlg.UseBoxId());
    EXPECT_EQ(dlg.ChannelText(), "37");
    EXPECT_FALSE(dlg.Diagnostic());
    EXPECT_TRUE(dlg.Gps());
    dlg.ClickUseBoxId(true);
    EXPECT_FALSE(dlg.ChannelEnabled());
    EXPECT_EQ(dlg.ChannelText(), "");
}

TEST(RadioWideSettings, ValuesOutOfTheBoxesRangesAreClampedWhenShown) {
    CTmpDoc doc;
    doc.frontPanelVolume = "5\r";
    doc.defaultChannel = "900";
    doc.frontPanelMonitor = "abc";
    RadioWideSettingsLogic dlg(doc);
    EXPECT_EQ(dlg.Level(), 5);
    EXPECT_EQ(dlg.Channel(), 511);
    EXPECT_FALSE(dlg.Audio());
    doc.frontPanelVolume = "-3";
    EXPECT_EQ(RadioWideSettingsLogic(doc).Level(), 1);
}

TEST(RadioWideSettings, ArrowsStepWithinTheRangeAndRefuseBeyondIt) {
    CTmpDoc doc;
    doc.frontPanelVolume = "9";
    doc.defaultChannel = "511";
    RadioWideSettingsLogic dlg(doc);
    EXPECT_TRUE(dlg.StepLevel(1));
    EXPECT_EQ(dlg.Level(), 10);
    EXPECT_FALSE(dlg.StepLevel(1));
    EXPECT_EQ(dlg.Level(), 10);
    EXPECT_FALSE(dlg.StepChannel(1));
    EXPECT_EQ(dlg.Channel(), 511);
    dlg.SetChannel(0);
    EXPECT_FALSE(dlg.StepChannel(-1));
    EXPECT_EQ(dlg.Channel(), 0);
    dlg.SetLevel(1);
    EXPECT_FALSE(dlg.StepLevel(-1));
    EXPECT_TRUE(dlg.StepLevel(1));
    EXPECT_EQ(dlg.Level(), 2);
}

TEST(RadioWideSettings, OkWritesTheFourValuesAndMarksAChange) {
    CTmpDoc doc;
    RadioWideSettingsLogic dlg(doc);
    dlg.Apply(doc);
    EXPECT_FALSE(doc.IsModified());  // nothing changed

    dlg.ClickAudio(false);
    dlg.SetLevel(3);
    dlg.ClickUseBoxId(false);
    dlg.SetChannel(12);
    dlg.SetDiagnostic(false);
    dlg.SetGps(true);
    dlg.Apply(doc);
    EXPECT_EQ(doc.frontPanelMonitor, "0");
    EXPECT_EQ(doc.frontPanelVolume, "3");
    EXPECT_EQ(doc.defaultChannel, "12");
    EXPECT_EQ(doc.backPanelOutput, "2");
    EXPECT_TRUE(doc.IsModified());

    RadioWideSettingsLogic again(doc);
    again.SetDiagnostic(true);
    again.ClickUseBoxId(true);  // whatever the channel box shows
    again.Apply(doc);
    EXPECT_EQ(doc.defaultChannel, "0xFFFF");
    EXPECT_EQ(doc.backPanelOutput, "3");
    EXPECT_EQ(CheckSendable(doc), "");
}

TEST(RadioWideSettings, OkRepairsAValueTheSendWouldRefuse) {
    CTmpDoc doc;
    doc.frontPanelVolume = "5\r\nwct";
    ASSERT_NE(CheckSendable(doc), "");
    RadioWideSettingsLogic(doc).Apply(doc);
    EXPECT_EQ(doc.frontPanelVolume, "5");
    EXPECT_EQ(CheckSendable(doc), "");
}

TEST(RadioWideSettings, OkKeepsOutputBitsTheDialogHasNoBoxFor) {
    CTmpDoc doc;
    doc.backPanelOutput = "6";  // GPS and a bit of a later card
    RadioWideSettingsLogic dlg(doc);
    EXPECT_FALSE(dlg.Diagnostic());
    EXPECT_TRUE(dlg.Gps());
    dlg.SetGps(false);
    dlg.SetDiagnostic(true);
    dlg.Apply(doc);
    EXPECT_EQ(doc.backPanelOutput, "5");
}

// --- Change Password -----------------------------------------------------------------

TEST(ChangePasswordDialog, ChecksInOrderWithTheirFocus) {
    auto c = CheckChangePassword("old", "", "");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.message, "Please enter new password.");
    EXPECT_EQ(c.focus, PasswordBox::New);

    c = CheckChangePassword("old", "new", "");
    EXPECT_EQ(c.message, "Please enter new password again.");
    EXPECT_EQ(c.focus, PasswordBox::Confirm);

    // The two new boxes differ and one equals the old: the re-enter first.
    c = CheckChangePassword("old", "old", "other");
    EXPECT_EQ(c.message, "Error in new password entry.\n Please re-enter new password");
    EXPECT_EQ(c.focus, PasswordBox::New);

    c = CheckChangePassword("same", "same", "same");
    EXPECT_EQ(c.message, "Old and new passwords must be different.");
    EXPECT_EQ(c.focus, PasswordBox::Old);

    c = CheckChangePassword("", "new", "new");
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.message, "");
}

}  // namespace
