// The "Channel Settings" dialog driven through its widgets: real keys in the
// boxes, combos and buttons, scripted message boxes, and the channel image
// OK writes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ChannelImageHex.h"
#include "edit/ChannelSettingsMessages.h"
#include "model/CTmpDoc.h"
#include "model/Messages.h"
#include "sim/ScriptedPrompts.h"
#include "ui/ChannelSettingsDialog.h"
#include "ui/ChannelValueEntry.h"
#include "ui/NumericEntry.h"
#include "ui/ScanReferenceDialog.h"

namespace {

using quillon::Icon;
using quillon::edit::ChannelControl;
using quillon::edit::ChannelControls;
using quillon::edit::ChannelSettings;
using quillon::edit::ControlKind;
using quillon::model::CTmpDoc;
using quillon::sim::ScriptedPrompts;
using quillon::testing::BytesHex;
using quillon::testing::ImageHex;
using quillon::testing::MakeAnalogue;
using quillon::testing::MakeScan;
using quillon::ui::ChannelSettingsDialog;
using quillon::ui::RunChannelSettingsDialog;
using quillon::ui::ScanReferenceDialog;
using C = ChannelControl;
namespace chmsg = quillon::edit::chmsg;
namespace choice = quillon::edit::choice;
namespace off = quillon::model::off;
namespace msg = quillon::model::msg;
using Kind = ScriptedPrompts::Kind;

std::vector<std::string> Lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) {
        out.push_back(list->item(i)->text().toStdString());
    }
    return out;
}

std::vector<std::string> Items(const QComboBox* combo) {
    std::vector<std::string> out;
    for (int i = 0; i < combo->count(); ++i) {
        out.push_back(combo->itemText(i).toStdString());
    }
    return out;
}

class ChannelSettingsDialogTest : public ::testing::Test {
  protected:
    CTmpDoc doc;
    ScriptedPrompts prompts;
    std::unique_ptr<ChannelSettingsDialog> dlg;

    void Open(std::unique_ptr<ChannelSettings> engine) {
        ASSERT_NE(engine, nullptr);
        dlg = std::make_unique<ChannelSettingsDialog>(std::move(engine), prompts);
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    void OpenEdit(int n) { Open(ChannelSettings::OpenEdit(doc, n)); }
    void OpenAdd() { Open(ChannelSettings::OpenAdd(doc)); }

    QLineEdit* Box(C id) const { return dlg->Value(id)->LineEdit(); }
    // Selects all of a value box, types the keys and leaves it with Tab.
    void TypeInto(C id, const char* keys) {
        QLineEdit* box = Box(id);
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(keys));
        QTest::keyClick(box, Qt::Key_Tab);
        ASSERT_FALSE(box->hasFocus()) << keys;
    }
    // Chooses a combo entry with the arrow keys, as a user does.
    void Choose(C id, int index) {
        QComboBox* combo = dlg->Combo(id);
        ASSERT_NE(combo, nullptr);
        ASSERT_TRUE(combo->isEnabled());
        combo->setFocus(Qt::OtherFocusReason);
        while (combo->currentIndex() < index) {
            QTest::keyClick(combo, Qt::Key_Down);
        }
        while (combo->currentIndex() > index) {
            QTest::keyClick(combo, Qt::Key_Up);
        }
        ASSERT_EQ(dlg->Engine().State(id).selection, index);
    }
    void Click(QAbstractButton* b) {
        ASSERT_NE(b, nullptr);
        // A check box or radio button takes clicks on its indicator and
        // text, not on the empty space a layout gives it.
        const bool indicator = qobject_cast<QPushButton*>(b) == nullptr;
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier,
                          indicator ? QPoint(6, b->height() / 2) : b->rect().center());
    }
    void PressOk() { Click(dlg->OkButton()); }

    // Every widget shows the engine's enabled state of its control, and a
    // value box is blank while disabled.
    void ExpectWidgetsFollowEngine(const std::string& where) {
        for (const auto& c : ChannelControls()) {
            const auto& state = dlg->Engine().State(c.id);
            QWidget* w = dlg->Widget(c.id);
            ASSERT_NE(w, nullptr) << c.label;
            EXPECT_EQ(w->isEnabled(), state.enabled) << where << ": " << c.label;
            if (c.kind == ControlKind::Value) {
                EXPECT_EQ(Box(c.id)->text().toStdString(), state.text) << where << ": " << c.label;
                if (!state.enabled) {
                    EXPECT_TRUE(Box(c.id)->text().isEmpty()) << where << ": " << c.label;
                }
            }
            if (c.kind == ControlKind::Combo) {
                EXPECT_EQ(dlg->Combo(c.id)->currentIndex(), state.selection)
                    << where << ": " << c.label;
            }
            if (c.kind == ControlKind::Check) {
                EXPECT_EQ(dlg->Check(c.id)->isChecked(), state.checked) << where << ": " << c.label;
            }
            if (QLabel* label = dlg->Label(c.id); label != nullptr && state.enabled) {
                EXPECT_TRUE(label->isEnabled()) << where << ": " << c.label;
            }
        }
    }
};

// The same edit the rule engine's own test makes, but through the widgets:
// the image must come out the same, byte for byte.
TEST_F(ChannelSettingsDialogTest, AnEditThroughTheWidgetsWritesTheChannel) {
    MakeAnalogue(doc.channels[4], "BASE");
    OpenEdit(4);
    EXPECT_EQ(dlg->windowTitle(), "Channel Settings");
    EXPECT_EQ(dlg->NameEdit()->text(), "BASE");
    EXPECT_EQ(Box(C::Number)->text(), "004");
    EXPECT_TRUE(Box(C::Number)->isReadOnly());
    EXPECT_TRUE(dlg->Radio(C::Type, choice::kFixed)->isChecked());

    Choose(C::Mode, choice::kBasestation);
    Choose(C::Control, choice::kTone);
    Choose(C::Bandwidth, choice::kNarrowband);
    Click(dlg->Check(C::HalfDuplex));
    Click(dlg->Check(C::FrontPanelPtt));
    // Tone control with the front panel PTT: Link Radio is cleared and off.
    EXPECT_FALSE(dlg->Check(C::LinkRadio)->isEnabled());
    TypeInto(C::TxFrequency, "450.125");
    TypeInto(C::PttDelay, ".0505");
    TypeInto(C::PttTail, ".55");
    TypeInto(C::Power, "999");
    TypeInto(C::SquelchLevel, "7");
    TypeInto(C::TxTone, "250");
    EXPECT_EQ(Box(C::PttTail)->text(), "0.6");
    EXPECT_EQ(Box(C::Power)->text(), "125");
    EXPECT_EQ(Box(C::TxTone)->text(), "250.3");
    dlg->NameEdit()->setFocus(Qt::OtherFocusReason);
    dlg->NameEdit()->selectAll();
    QTest::keyClicks(dlg->NameEdit(), QStringLiteral("BASE 1 and more"));
    // The box takes 8 characters.
    EXPECT_EQ(dlg->NameEdit()->text(), "BASE 1 a");
    QTest::keyClick(dlg->NameEdit(), Qt::Key_Backspace);
    QTest::keyClick(dlg->NameEdit(), Qt::Key_Backspace);

    PressOk();
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ImageHex(doc.channels[4]),
              "00 00 42 41 53 45 20 31 20 20 01 03 04 50 12 50 00 04 50 12 50 00 01 00 00 00 00 "
              "25 03 06 70 01 03 01 00 00 00 00 00 01 01 25 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 51 00 00 00 06 01 00 00 01 00 00 00 00 00 02 07 00 00");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ChannelSettingsDialogTest, AFailingOkShowsTheMessagesInOrderAndStaysOpen) {
    MakeAnalogue(doc.channels[0], "P25");
    const std::string before = ImageHex(doc.channels[0]);
    OpenEdit(0);
    EXPECT_FALSE(dlg->Value(C::TalkgroupId)->isEnabled());
    Choose(C::SignalType, choice::kProject25);
    EXPECT_TRUE(dlg->Value(C::TalkgroupId)->isEnabled());
    EXPECT_FALSE(dlg->Value(C::RxTone)->isEnabled());
    EXPECT_TRUE(Box(C::RxTone)->text().isEmpty());

    // Leaving the box rounds to 250 Hz; a frequency out of range stays for OK.
    TypeInto(C::RxFrequency, "450.0127");
    EXPECT_EQ(Box(C::RxFrequency)->text(), "450.012750");
    TypeInto(C::TxFrequency, "530");
    EXPECT_EQ(Box(C::TxFrequency)->text(), "530.000000");
    TypeInto(C::TalkgroupId, "0");
    // No NAC yet: both show "NONE", which OK refuses.
    EXPECT_EQ(Box(C::RxNac)->text(), "NONE");
    EXPECT_EQ(Box(C::TxNac)->text(), "NONE");

    PressOk();
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{chmsg::kTalkgroupCorrected, chmsg::kRxNacZero,
                                        chmsg::kTxNacZero, chmsg::kTxFrequencyRange}));
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Information);
    EXPECT_EQ(prompts.Boxes()[1].icon, Icon::Exclamation);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(ImageHex(doc.channels[0]), before);
    // The correction shows in the box at once.
    EXPECT_EQ(Box(C::TalkgroupId)->text(), "0x0001");

    prompts.ClearRecords();
    TypeInto(C::RxNac, "293");
    TypeInto(C::TxNac, "0x2A4");
    TypeInto(C::TxFrequency, "455.1");
    PressOk();
    EXPECT_TRUE(prompts.BoxTexts().empty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(BytesHex(doc.channels[0], off::kTxFrequency, 10), "04 55 10 00 00 04 50 01 27 50");
    EXPECT_TRUE(doc.IsModified());
}

// Enter presses OK without leaving the box: the field is still normalised
// against its range before the channel is written.
TEST_F(ChannelSettingsDialogTest, EnterInABoxOksTheNormalisedValue) {
    MakeAnalogue(doc.channels[3], "ENTER");
    OpenEdit(3);
    QLineEdit* power = Box(C::Power);
    power->setFocus(Qt::OtherFocusReason);
    power->selectAll();
    QTest::keyClicks(power, QStringLiteral("999"));
    QTest::keyClick(power, Qt::Key_Return);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(BytesHex(doc.channels[3], off::kPowerWatts, 2), "01 25");
}

TEST_F(ChannelSettingsDialogTest, ABoxRefusesWhatItsFieldCannotTakeAndTheArrowsStep) {
    MakeAnalogue(doc.channels[0], "KEYS");
    OpenEdit(0);
    QLineEdit* power = Box(C::Power);
    EXPECT_EQ(power->text(), "50");
    power->setFocus(Qt::OtherFocusReason);
    power->end(false);
    QTest::keyClicks(power, QStringLiteral("x"));
    EXPECT_EQ(power->text(), "50");
    EXPECT_EQ(prompts.BeepCount(), 1);
    QTest::keyClicks(power, QStringLiteral("0"));  // the fourth digit is too many
    QTest::keyClicks(power, QStringLiteral("0"));
    EXPECT_EQ(power->text(), "500");
    EXPECT_EQ(prompts.BeepCount(), 2);
    QTest::keyClick(power, Qt::Key_Tab);
    EXPECT_EQ(power->text(), "125");

    Click(dlg->Value(C::Power)->DownButton());
    EXPECT_EQ(power->text(), "124");
    QTest::keyClick(power, Qt::Key_Up);
    EXPECT_EQ(power->text(), "125");
    Click(dlg->Value(C::Power)->UpButton());  // already at the top
    EXPECT_EQ(power->text(), "125");
    EXPECT_EQ(prompts.BeepCount(), 3);
    EXPECT_EQ(dlg->Engine().State(C::Power).text, "125");

    // A paste is offered like typing: refused whole, or taken whole.
    power->setFocus(Qt::OtherFocusReason);
    power->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("1x"));
    QTest::keyClick(power, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(power->text(), "125");
    EXPECT_EQ(prompts.BeepCount(), 4);
    power->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    QTest::keyClick(power, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(power->text(), "77");
    EXPECT_EQ(dlg->Engine().State(C::Power).text, "77");
    EXPECT_EQ(prompts.BeepCount(), 4);
}

// Backspace works through a display text such as "NONE" as through digits;
// a character the field cannot take still beeps.
TEST_F(ChannelSettingsDialogTest, BackspaceEmptiesADisplayTextAndTypingFollows) {
    MakeAnalogue(doc.channels[0], "NAC");
    OpenEdit(0);
    Choose(C::SignalType, choice::kProject25);
    QLineEdit* nac = Box(C::TxNac);
    ASSERT_EQ(nac->text(), "NONE");
    nac->setFocus(Qt::OtherFocusReason);
    nac->end(false);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(nac, Qt::Key_Backspace);
    }
    EXPECT_EQ(nac->text(), "");
    EXPECT_EQ(prompts.BeepCount(), 0);
    QTest::keyClicks(nac, QStringLiteral("2g"));
    EXPECT_EQ(nac->text(), "2");
    EXPECT_EQ(prompts.BeepCount(), 1);
    QTest::keyClicks(nac, QStringLiteral("a4"));
    QTest::keyClick(nac, Qt::Key_Tab);
    EXPECT_EQ(nac->text(), "0x2a4");
    EXPECT_EQ(dlg->Engine().Field(C::TxNac).Content(), "0x2a4");
}

TEST_F(ChannelSettingsDialogTest, AddModeProposesTheLowestEmptySlotNamedAfterIt) {
    MakeAnalogue(doc.channels[0], "A");
    MakeAnalogue(doc.channels[1], "B");
    MakeAnalogue(doc.channels[3], "D");
    OpenAdd();
    EXPECT_EQ(dlg->NameEdit()->text(), "Chan002");
    EXPECT_EQ(Box(C::Number)->text(), "002");
    EXPECT_FALSE(Box(C::Number)->isReadOnly());
    EXPECT_TRUE(dlg->Radio(C::Type, choice::kFixed)->isChecked());
    EXPECT_FALSE(dlg->Radio(C::Type, choice::kScan)->isChecked());
    // The scan list is off for a fixed channel.
    EXPECT_FALSE(dlg->Widget(C::ScanList)->isEnabled());
    EXPECT_FALSE(dlg->ScanList()->isEnabled());

    // The empty slot has no tones and no frequencies yet.
    PressOk();
    EXPECT_EQ(
        prompts.BoxTexts(),
        (std::vector<std::string>{chmsg::kRxToneZero, chmsg::kTxToneZero, chmsg::kSameFrequencies,
                                  chmsg::kRxFrequencyRange, chmsg::kTxFrequencyRange}));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(doc.channels[2].IsUsed());

    TypeInto(C::RxFrequency, "450.5");
    TypeInto(C::TxFrequency, "455.5");
    TypeInto(C::RxTone, "67");
    TypeInto(C::TxTone, "71.9");
    EXPECT_EQ(Box(C::RxTone)->text(), "067.0");
    EXPECT_EQ(Box(C::TxTone)->text(), "071.9");
    prompts.ClearRecords();
    PressOk();
    EXPECT_TRUE(prompts.Records().empty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(doc.channels[2].IsFixed());
    EXPECT_EQ(BytesHex(doc.channels[2], off::kChannelName, 8), "43 68 61 6e 30 30 32 20");
    EXPECT_EQ(doc.channels.lastChannel, 2);
}

TEST_F(ChannelSettingsDialogTest, EntryPointSpeaksForAFullTableAndAnUnusedSlot) {
    EXPECT_FALSE(RunChannelSettingsDialog(nullptr, doc, prompts, 7, false));
    EXPECT_TRUE(prompts.BoxTexts().empty());
    EXPECT_EQ(prompts.BeepCount(), 1);
    EXPECT_FALSE(doc.IsModified());

    for (int c = 0; c < quillon::model::kChannelCount; ++c) {
        MakeAnalogue(doc.channels[c], "FULL");
    }
    prompts.ClearRecords();
    EXPECT_FALSE(RunChannelSettingsDialog(nullptr, doc, prompts, 0, true));
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, msg::kTableFull);
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompts.BeepCount(), 1);
}

TEST_F(ChannelSettingsDialogTest, TheScanListWithTheReferenceDialog) {
    MakeAnalogue(doc.channels[0], "ALPHA");
    MakeAnalogue(doc.channels[1], "BRAVO");
    MakeScan(doc.channels[5], "SCAN", {0x0001});
    OpenEdit(5);
    EXPECT_TRUE(dlg->Radio(C::Type, choice::kScan)->isChecked());
    EXPECT_EQ(Lines(dlg->ScanList()), (std::vector<std::string>{"001: BRAVO - Dwell Time: 2.5s"}));
    EXPECT_FALSE(dlg->Combo(C::SignalType)->isEnabled());
    EXPECT_TRUE(dlg->ScanList()->isEnabled());
    ExpectWidgetsFollowEngine("scan channel");

    // Add: the reference dialog starts on the first fixed channel, 0.0 s.
    std::vector<std::string> offered;
    std::string title;
    std::string startDwell;
    int startChannel = -2;
    dlg->SetReferenceRunner([&](ScanReferenceDialog& ref) {
        title = ref.windowTitle().toStdString();
        offered = Items(ref.ChannelCombo());
        startChannel = ref.Channel();
        startDwell = ref.DwellEntry()->text().toStdString();
        ref.ChannelCombo()->setCurrentIndex(0);
        QLineEdit* dwell = ref.DwellEntry()->LineEdit();
        dwell->setFocus(Qt::OtherFocusReason);
        dwell->selectAll();
        QTest::keyClicks(dwell, QStringLiteral("3.14"));  // one decimal only
        ref.accept();
        return true;
    });
    Click(qobject_cast<QPushButton*>(dlg->Widget(C::ScanAdd)));
    EXPECT_EQ(title, chmsg::kScanReferenceTitle);
    EXPECT_EQ(offered, (std::vector<std::string>{"000: ALPHA", "001: BRAVO"}));
    EXPECT_EQ(startChannel, 0);
    EXPECT_EQ(startDwell, "0.0");
    EXPECT_EQ(Lines(dlg->ScanList()), (std::vector<std::string>{"001: BRAVO - Dwell Time: 2.5s",
                                                                "000: ALPHA - Dwell Time: 3.1s"}));

    // Edit with nothing selected is refused with the engine's message.
    dlg->ScanList()->clearSelection();
    Click(qobject_cast<QPushButton*>(dlg->Widget(C::ScanEdit)));
    EXPECT_EQ(prompts.BoxTexts(), std::vector<std::string>{chmsg::kSelectScanToEdit});
    EXPECT_GE(prompts.BeepCount(), 1);

    // A double click edits that entry, starting from its channel and dwell.
    dlg->SetReferenceRunner([&](ScanReferenceDialog& ref) {
        startChannel = ref.Channel();
        startDwell = ref.DwellEntry()->text().toStdString();
        ref.DwellEntry()->SetValue("0.5");
        ref.accept();
        return true;
    });
    QListWidget* list = dlg->ScanList();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(startChannel, 1);
    EXPECT_EQ(startDwell, "2.5");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"001: BRAVO - Dwell Time: 0.5s",
                                                     "000: ALPHA - Dwell Time: 3.1s"}));

    // Cancel in the reference dialog changes nothing.
    dlg->SetReferenceRunner([](ScanReferenceDialog&) { return false; });
    Click(qobject_cast<QPushButton*>(dlg->Widget(C::ScanAdd)));
    EXPECT_EQ(list->count(), 2);

    prompts.ClearRecords();
    list->clearSelection();
    Click(qobject_cast<QPushButton*>(dlg->Widget(C::ScanDelete)));
    EXPECT_EQ(prompts.BoxTexts(), std::vector<std::string>{chmsg::kSelectScanToDelete});
    list->item(0)->setSelected(true);
    Click(qobject_cast<QPushButton*>(dlg->Widget(C::ScanDelete)));
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"000: ALPHA - Dwell Time: 3.1s"}));

    PressOk();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(doc.channels[5].IsScan());
    EXPECT_EQ(BytesHex(doc.channels[5], off::kScanRefs, 6), "00 00 31 00 00 00");
    EXPECT_EQ(BytesHex(doc.channels[5], off::kScanRefCount, 2), "01 00");
}

TEST_F(ChannelSettingsDialogTest, AScanListFullOfEightTakesNoMore) {
    MakeAnalogue(doc.channels[0], "ALPHA");
    MakeScan(doc.channels[1], "SCAN", {0, 0, 0, 0, 0, 0, 0, 0});
    OpenEdit(1);
    EXPECT_EQ(dlg->ScanList()->count(), 8);
    EXPECT_FALSE(dlg->Widget(C::ScanAdd)->isEnabled());
    EXPECT_TRUE(dlg->Widget(C::ScanEdit)->isEnabled());
    EXPECT_TRUE(dlg->Widget(C::ScanDelete)->isEnabled());
}

TEST_F(ChannelSettingsDialogTest, DisabledControlsFollowTheEngineForEverySignalTypeAndMode) {
    MakeAnalogue(doc.channels[0], "RULES");
    doc.squelchGroups.SetName(0, "GROUP1");
    doc.squelchGroups.SetItem(0, 0, quillon::model::SquGroup::kCtcss, "067.0");
    OpenEdit(0);
    ExpectWidgetsFollowEngine("opened");
    const char* signalNames[] = {"Analogue", "Project 25", "Autosense", "CVSD/DES-XL"};
    const char* modes[] = {"Repeater", "Basestation"};
    for (int mode : {choice::kBasestation, choice::kRepeater}) {
        for (int signal :
             {choice::kProject25, choice::kAutosense, choice::kAnalogue, choice::kCvsdDesXl}) {
            if (signal != choice::kCvsdDesXl) {
                Choose(C::Mode, mode);
            }
            Choose(C::SignalType, signal);
            ExpectWidgetsFollowEngine(std::string(signalNames[signal]) + " " + modes[mode]);
            if (signal == choice::kCvsdDesXl) {
                EXPECT_EQ(Box(C::RxNac)->text(), "");  // disabled: blank
                EXPECT_EQ(dlg->Engine().Field(C::RxNac).Content(), "0x293");
                Choose(C::SignalType, choice::kAnalogue);
            }
        }
    }
    // The squelch group box takes over the receive side.
    Choose(C::SignalType, choice::kAnalogue);
    EXPECT_FALSE(dlg->Combo(C::SquelchGroup)->isEnabled());
    EXPECT_FALSE(dlg->Label(C::SquelchGroup)->isEnabled());
    Click(dlg->Check(C::GroupEnable));
    EXPECT_TRUE(dlg->Combo(C::SquelchGroup)->isEnabled());
    EXPECT_EQ(Items(dlg->Combo(C::SquelchGroup)), std::vector<std::string>{"GROUP1"});
    EXPECT_FALSE(dlg->Value(C::RxTone)->isEnabled());
    EXPECT_TRUE(dlg->Value(C::TxTone)->isEnabled());
    // The CxCSS row's label names both boxes and stays on for the one left.
    EXPECT_TRUE(dlg->Label(C::RxTone)->isEnabled());
    ExpectWidgetsFollowEngine("group enabled");

    // Autosense: the transmit type buttons and Tx AS Rx with Link Radio.
    Choose(C::SignalType, choice::kAutosense);
    EXPECT_TRUE(dlg->Radio(C::TransmitType, choice::kAnalog)->isEnabled());
    Click(dlg->Radio(C::TransmitType, choice::kDigital));
    EXPECT_EQ(dlg->Engine().State(C::TransmitType).selection, choice::kDigital);
    EXPECT_FALSE(dlg->Check(C::TxAsRx)->isEnabled());
    Click(dlg->Check(C::LinkRadio));
    EXPECT_TRUE(dlg->Check(C::TxAsRx)->isEnabled());
    ExpectWidgetsFollowEngine("autosense link radio");

    // Scan: every fixed-channel control goes off, the scan list comes on.
    Click(dlg->Radio(C::Type, choice::kScan));
    EXPECT_FALSE(dlg->Value(C::RxFrequency)->isEnabled());
    EXPECT_TRUE(dlg->ScanList()->isEnabled());
    ExpectWidgetsFollowEngine("scan");
}

TEST_F(ChannelSettingsDialogTest, LabelsMnemonicsAndSizeFitTheScreen) {
    MakeAnalogue(doc.channels[0], "SIZE");
    OpenEdit(0);
    // Every label names its control as the engine does (the command line
    // finds controls by these labels).
    const std::map<C, const char*> rows = {{C::Name, "Name"},
                                           {C::Number, "Number"},
                                           {C::Mode, "Mode"},
                                           {C::Control, "Control"},
                                           {C::SignalType, "Signal Type"},
                                           {C::Bandwidth, "Bandwidth"},
                                           {C::SquelchSystem, "Squelch System"},
                                           {C::SquelchGroup, "Squelch Group"},
                                           {C::TalkgroupId, "Talkgroup ID"},
                                           {C::UnitId, "Unit ID"},
                                           {C::KeyId, "Key ID"},
                                           {C::AlgorithmId, "Algorithm ID"},
                                           {C::Power, "Power (W)"},
                                           {C::SquelchLevel, "Squelch Level"},
                                           {C::PttTimeout, "PTT Timeout"},
                                           {C::PttTail, "PTT Tail"},
                                           {C::PttDelay, "PTT Delay"},
                                           {C::CourtesyTimer, "Tail (sec)"}};
    for (const auto& [id, text] : rows) {
        ASSERT_NE(dlg->Label(id), nullptr) << text;
        QString shown = dlg->Label(id)->text();
        shown.remove(QLatin1Char('&')).remove(QLatin1Char(':'));
        EXPECT_EQ(shown.toStdString(), text);
        EXPECT_EQ(shown.toStdString(), quillon::edit::InfoOf(id).label);
    }
    EXPECT_EQ(dlg->Check(C::TxAsRx)->text(), "Link Radio \"Tx AS Rx\"");
    EXPECT_EQ(dlg->Widget(C::ScanAdd)->property("text").toString(), "&Add");
    EXPECT_EQ(dlg->Widget(C::ScanEdit)->property("text").toString(), "&Edit");
    EXPECT_EQ(dlg->Widget(C::ScanDelete)->property("text").toString(), "&Delete");
    EXPECT_EQ(qobject_cast<QGroupBox*>(dlg->Widget(C::CourtesyGroup))->title(), "Courtesy Tone");

    // No two mnemonics of the dialog share a key.
    std::map<QChar, QString> keys;
    const QRegularExpression amp(QStringLiteral("&([^&])"));
    auto note = [&](const QString& text) {
        const auto m = amp.match(text);
        if (m.hasMatch()) {
            const QChar key = m.captured(1).at(0).toLower();
            EXPECT_EQ(keys.count(key), 0u)
                << text.toStdString() << " and " << keys[key].toStdString();
            keys[key] = text;
        }
    };
    for (QLabel* l : dlg->findChildren<QLabel*>()) {
        note(l->text());
    }
    for (QAbstractButton* b : dlg->findChildren<QAbstractButton*>()) {
        note(b->text());
    }
    EXPECT_GE(keys.size(), 20u);

    const QSize natural = dlg->sizeHint();
    EXPECT_LE(natural.width(), 1024);
    EXPECT_LE(natural.height(), 740);  // room for a title bar on 768 lines
    EXPECT_GE(dlg->minimumSizeHint().width(), 400);
}

}  // namespace

namespace {

using quillon::ui::ChannelSettingsEditor;
using quillon::ui::ChannelTableDialog;

// Waits for the modal "Channel Settings" the table opened and hands it to
// `act`, which closes it.
void WhenSettingsOpen(std::function<void(ChannelSettingsDialog&)> act, bool& seen) {
    QTimer::singleShot(0, [act = std::move(act), &seen] {
        auto* settings = qobject_cast<ChannelSettingsDialog*>(QApplication::activeModalWidget());
        if (settings == nullptr) {
            // Not up yet: look again once the modal loop runs.
            WhenSettingsOpen(act, seen);
            return;
        }
        seen = true;
        settings->activateWindow();
        if (!QTest::qWaitForWindowActive(settings)) {
            settings->reject();
            return;
        }
        act(*settings);
    });
}

void TypeIn(QLineEdit* box, const char* keys) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    QTest::keyClicks(box, QString::fromLatin1(keys));
    QTest::keyClick(box, Qt::Key_Tab);
}

// The Channel Table's Add and Edit open the real dialog through the hook.
TEST(ChannelSettingsEditorHook, AddAndEditFromTheChannelTable) {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    MakeAnalogue(doc.channels[0], "FIRST");
    ChannelTableDialog table(doc, prompts, ChannelSettingsEditor(nullptr, doc, prompts));
    table.setModal(true);
    table.show();

    bool seen = false;
    std::string title;
    std::string parentTitle;
    WhenSettingsOpen(
        [&](ChannelSettingsDialog& s) {
            title = s.windowTitle().toStdString();
            parentTitle =
                s.parentWidget() != nullptr ? s.parentWidget()->windowTitle().toStdString() : "";
            TypeIn(s.Value(C::RxFrequency)->LineEdit(), "460.5");
            TypeIn(s.Value(C::TxFrequency)->LineEdit(), "465.5");
            TypeIn(s.Value(C::RxTone)->LineEdit(), "67");
            TypeIn(s.Value(C::TxTone)->LineEdit(), "67");
            QTest::mouseClick(s.OkButton(), Qt::LeftButton);
            if (s.isVisible()) {
                s.reject();
            }
        },
        seen);
    QTest::mouseClick(table.AddButton(), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(title, chmsg::kTitle);
    EXPECT_EQ(parentTitle, "Channel Table");
    EXPECT_TRUE(prompts.BoxTexts().empty());
    ASSERT_TRUE(doc.channels[1].IsFixed());
    EXPECT_EQ(BytesHex(doc.channels[1], off::kChannelName, 8), "43 68 61 6e 30 30 31 20");
    EXPECT_EQ(BytesHex(doc.channels[1], off::kRxFrequency, 5), "04 60 50 00 00");
    EXPECT_TRUE(table.Changed());
    ASSERT_EQ(table.SelectedChannels(), std::vector<int>{1});

    // Edit opens the selected channel; Cancel writes nothing.
    const std::string before = ImageHex(doc.channels[1]);
    seen = false;
    std::string number;
    WhenSettingsOpen(
        [&](ChannelSettingsDialog& s) {
            number = s.Value(C::Number)->LineEdit()->text().toStdString();
            TypeIn(s.Value(C::Power)->LineEdit(), "5");
            QTest::mouseClick(s.CancelButton(), Qt::LeftButton);
        },
        seen);
    QTest::mouseClick(table.EditButton(), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(number, "001");
    EXPECT_EQ(ImageHex(doc.channels[1]), before);
}

}  // namespace
