// The numeric entry widget driven by real key events, focus changes, arrow
// clicks and the clipboard, on the offscreen platform.
#include "ui/NumericEntry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <ostream>

#include "NumericFieldConfigs.h"
#include "sim/ScriptedPrompts.h"

// Failures show the box's text as text.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace quillon::ui {
namespace {

using namespace quillon::testing;
using edit::FieldConfig;
using edit::StepCode;
using edit::ValueList;
using sim::ScriptedPrompts;

// A window with the field in a group box and a plain box after it, so Tab
// leaves the field as a user's Tab does.
class NumericEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window_);
        group_ = new QGroupBox(QStringLiteral("Group"), &window_);
        auto* groupLayout = new QVBoxLayout(group_);
        entry_ = new NumericEntry(group_, &prompts_);
        groupLayout->addWidget(entry_);
        layout->addWidget(group_);
        other_ = new QLineEdit(&window_);
        layout->addWidget(other_);
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    void Use(const FieldConfig& config, ValueList list = {}) {
        entry_->Configure(config);
        if (!list.values.empty()) {
            entry_->AttachLists(std::move(list));
        }
        Focus();
    }
    void Focus() {
        entry_->setFocus(Qt::OtherFocusReason);
        entry_->LineEdit()->selectAll();
    }
    void Type(const char* keys) { QTest::keyClicks(entry_->LineEdit(), QString::fromLatin1(keys)); }
    void Leave() {
        QTest::keyClick(entry_->LineEdit(), Qt::Key_Tab);
        ASSERT_TRUE(other_->hasFocus());
    }
    // Types into the emptied field and leaves it.
    QString TypeAndLeave(const char* keys) {
        Focus();
        Type(keys);
        Leave();
        return entry_->text();
    }
    int Beeps() const { return prompts_.BeepCount(); }

    QWidget window_;
    ScriptedPrompts prompts_;
    QGroupBox* group_ = nullptr;
    NumericEntry* entry_ = nullptr;
    QLineEdit* other_ = nullptr;
};

TEST_F(NumericEntryTest, KeyByteTakesTwoHexDigitsAndPadsOnLeaving) {
    Use(KeyByteConfig());
    Type("fff");
    EXPECT_EQ(entry_->text(), "ff");
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(TypeAndLeave("a"), "0a");
    EXPECT_EQ(entry_->Text(), "0a");
    Focus();
    Type("1x");
    EXPECT_EQ(entry_->text(), "1");
    EXPECT_EQ(Beeps(), 2);
    Type("g ");
    EXPECT_EQ(entry_->text(), "1");
    EXPECT_EQ(Beeps(), 4);
    // Backspace is always taken.
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(entry_->text(), "");
    Leave();
    EXPECT_EQ(entry_->text(), "00");
}

TEST_F(NumericEntryTest, KeyIdTakesAFifthDigitOnlyAfterThePrefix) {
    Use(KeyIdConfig());
    Type("12345");
    EXPECT_EQ(entry_->text(), "1234");
    EXPECT_EQ(Beeps(), 1);
    Focus();
    Type("0x1234");
    EXPECT_EQ(entry_->text(), "0x1234");
    EXPECT_EQ(Beeps(), 1);
    Leave();
    EXPECT_EQ(entry_->text(), "0x1234");
    EXPECT_EQ(TypeAndLeave("1a"), "0x1a");
    EXPECT_EQ(TypeAndLeave("0x00ff"), "0xff");
}

TEST_F(NumericEntryTest, FrequencyClampsOnLeavingAndArrowsStepExactly) {
    Use(FrequencyConfig());
    EXPECT_EQ(TypeAndLeave("600"), "520.000000");
    QTest::mouseClick(entry_->UpButton(), Qt::LeftButton);
    EXPECT_EQ(entry_->text(), "520.000000");
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(TypeAndLeave("450.000125"), "450.000000");
    EXPECT_EQ(TypeAndLeave("450.0127"), "450.012750");

    entry_->SetValue("451.0125");
    QSignalSpy stepped(entry_, &NumericEntry::Stepped);
    QTest::mouseClick(entry_->UpButton(), Qt::LeftButton);
    EXPECT_EQ(entry_->text(), "452.012500");
    EXPECT_EQ(stepped.count(), 1);
    // The arrow keys in the box step as well.
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Down);
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Down);
    EXPECT_EQ(entry_->text(), "450.012500");
    EXPECT_EQ(entry_->Logic().ScaledValue(1000000), 450012500);
    EXPECT_EQ(Beeps(), 1);
}

TEST_F(NumericEntryTest, ChannelToneSnapsButNeverToItsOffEntry) {
    Use(CtcssConfig(), ChannelCtcssList("ANY"));
    EXPECT_EQ(TypeAndLeave("68"), "067.0");
    EXPECT_EQ(TypeAndLeave("0"), "000.0");
    EXPECT_EQ(entry_->Logic().ListIndex(), 1);
    QTest::mouseClick(entry_->DownButton(), Qt::LeftButton);
    EXPECT_EQ(entry_->text(), "ANY");
    QTest::mouseClick(entry_->DownButton(), Qt::LeftButton);
    EXPECT_EQ(entry_->text(), "ANY");
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(entry_->Logic().ValueText(), "f000");
}

TEST_F(NumericEntryTest, GroupListsReachTheirFirstEntry) {
    Use(CtcssConfig(), GroupCtcssList());
    EXPECT_EQ(TypeAndLeave("0"), "067.0");
    Use(CdcssConfig(), GroupCdcssList());
    EXPECT_EQ(TypeAndLeave("0"), "023");
    EXPECT_EQ(TypeAndLeave("8"), "023");  // "8" is no octal digit: nothing typed
    EXPECT_EQ(Beeps(), 1);
}

TEST_F(NumericEntryTest, DisabledFieldIsBlankAndShowsItsTextAgain) {
    Use(NacConfig(), NacList("ANY"));
    entry_->SetValue("0x293");
    entry_->setEnabled(false);
    EXPECT_EQ(entry_->text(), "");
    EXPECT_EQ(entry_->Text(), "0x293");
    EXPECT_FALSE(entry_->UpButton()->isEnabled());
    entry_->setEnabled(true);
    EXPECT_EQ(entry_->text(), "0x293");

    // Through a disabled group box as well; a value set meanwhile shows.
    group_->setEnabled(false);
    EXPECT_EQ(entry_->text(), "");
    entry_->SetValue("NONE");
    EXPECT_EQ(entry_->text(), "");
    group_->setEnabled(true);
    EXPECT_EQ(entry_->text(), "NONE");
}

TEST_F(NumericEntryTest, FieldMadeInADisabledParentStartsBlank) {
    group_->setEnabled(false);
    auto* late = new NumericEntry(group_, &prompts_);
    late->Configure(PttTailConfig());
    late->SetValue("2");
    EXPECT_EQ(late->text(), "");
    EXPECT_EQ(late->Text(), "2.0");
    group_->setEnabled(true);
    EXPECT_EQ(late->text(), "2.0");
}

TEST_F(NumericEntryTest, ReadOnlyFieldTakesNeitherKeysNorArrows) {
    Use(DecimalConfig(3, 511));
    entry_->SetValue("7");
    entry_->SetReadOnly(true);
    Focus();
    Type("12");
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Up);
    EXPECT_EQ(entry_->text(), "7");
    EXPECT_FALSE(entry_->UpButton()->isEnabled());
    EXPECT_FALSE(entry_->DownButton()->isEnabled());
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(NumericEntryTest, UndoBringsBackTheTextBeforeAnEdit) {
    Use(NacConfig(), NacList("AS RX"));
    entry_->SetValue("AS RX");
    Focus();
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Delete);
    EXPECT_EQ(entry_->text(), "");
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entry_->text(), "AS RX");
    EXPECT_EQ(entry_->Text(), "AS RX");
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(NumericEntryTest, SpecialTextSurvivesFocusAndCannotBeTyped) {
    Use(NacConfig(), NacList("AS RX"));
    entry_->SetValue("AS RX");
    entry_->setFocus(Qt::OtherFocusReason);
    entry_->LineEdit()->end(false);
    Type("1");
    EXPECT_EQ(entry_->text(), "AS RX");
    EXPECT_EQ(Beeps(), 1);
    Leave();
    EXPECT_EQ(entry_->text(), "AS RX");
    EXPECT_EQ(entry_->Logic().ValueText(), "-1");
    // Letters outside hex digits are refused outright.
    Focus();
    Type("S");
    EXPECT_EQ(entry_->text(), "AS RX");
    EXPECT_EQ(Beeps(), 2);
}

// Enter presses the dialog's default button without the field ever losing
// the focus; the field must be normalised before the dialog reads it.
TEST_F(NumericEntryTest, EnterNormalisesBeforeTheDialogReadsTheField) {
    QDialog dialog;
    auto* power = new NumericEntry(&dialog, &prompts_);
    power->Configure(DecimalConfig(3, 125));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(power);
    layout->addWidget(buttons);
    QString seenAtOk;
    QObject::connect(&dialog, &QDialog::accepted, [&] { seenAtOk = power->text(); });
    QSignalSpy normalised(power, &NumericEntry::Normalised);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    power->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(power->LineEdit(), QStringLiteral("999"));
    QTest::keyClick(power->LineEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(seenAtOk, "125");
    EXPECT_EQ(power->Text(), "125");
    EXPECT_GE(normalised.count(), 1);
}

TEST_F(NumericEntryTest, EnterSnapsAToneField) {
    Use(CtcssConfig(), ChannelCtcssList("ANY"));
    Type("68");
    QTest::keyClick(entry_->LineEdit(), Qt::Key_Return);
    EXPECT_EQ(entry_->text(), "067.0");
    EXPECT_TRUE(entry_->LineEdit()->hasFocus());
}

TEST_F(NumericEntryTest, PasteIsFilteredLikeTyping) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    Use(KeyIdConfig());
    clipboard->setText(QStringLiteral(" 0x1a2b\n"));
    QTest::keyClick(entry_->LineEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry_->text(), "0x1a2b");
    EXPECT_EQ(entry_->Text(), "0x1a2b");
    EXPECT_EQ(Beeps(), 0);

    Focus();
    clipboard->setText(QStringLiteral("12345"));
    QTest::keyClick(entry_->LineEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry_->text(), "0x1a2b");
    EXPECT_EQ(Beeps(), 1);

    Use(KeyByteConfig());
    entry_->SetText("");
    clipboard->setText(QStringLiteral("1x"));
    QTest::keyClick(entry_->LineEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry_->text(), "");
    EXPECT_EQ(Beeps(), 2);
}

// The context menu's Paste and a drop do not come as keys: the box's own
// paste stands for them.
TEST_F(NumericEntryTest, EditsThatComeOtherWaysAreFilteredToo) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    Use(KeyByteConfig());
    entry_->SetText("");
    clipboard->setText(QStringLiteral("zz"));
    entry_->LineEdit()->paste();
    EXPECT_EQ(entry_->text(), "");
    EXPECT_EQ(entry_->Text(), "");
    EXPECT_EQ(Beeps(), 1);
    clipboard->setText(QStringLiteral("ab"));
    entry_->LineEdit()->paste();
    EXPECT_EQ(entry_->text(), "ab");
    EXPECT_EQ(entry_->Text(), "ab");
    clipboard->setText(QStringLiteral("c"));
    entry_->LineEdit()->paste();
    EXPECT_EQ(entry_->text(), "ab");
    EXPECT_EQ(Beeps(), 2);
    Leave();
    EXPECT_EQ(entry_->text(), "ab");
}

TEST_F(NumericEntryTest, DroppedTextIsFilteredToo) {
    Use(KeyByteConfig());
    entry_->SetText("");
    const auto drop = [this](const char* text) {
        QMimeData mime;
        mime.setText(QString::fromLatin1(text));
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(entry_->LineEdit(), &enter);
        QDragMoveEvent move(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(entry_->LineEdit(), &move);
        QDropEvent event(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(entry_->LineEdit(), &event);
    };
    drop("1x");
    EXPECT_EQ(entry_->text(), "");
    EXPECT_EQ(Beeps(), 1);
    drop("9b");
    EXPECT_EQ(entry_->text(), "9b");
    EXPECT_EQ(entry_->Text(), "9b");
}

TEST_F(NumericEntryTest, ArrowsSitBesideTheBox) {
    Use(FrequencyConfig());
    entry_->SetValue("136");
    QCoreApplication::processEvents();
    const QRect box = entry_->LineEdit()->geometry();
    const QRect up = entry_->UpButton()->geometry();
    const QRect down = entry_->DownButton()->geometry();
    EXPECT_GE(up.left(), box.right());
    EXPECT_EQ(up.left(), down.left());
    EXPECT_LE(up.bottom(), down.top());
    EXPECT_LE(up.height() + down.height(), box.height() + 2);
    // The whole value fits in the box.
    const QFontMetrics metrics(entry_->LineEdit()->font());
    EXPECT_GT(box.width(), metrics.horizontalAdvance(entry_->text()));
    EXPECT_EQ(entry_->UpButton()->focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace quillon::ui
