// "Encryption Settings" and "Add Key" as widgets: masked key boxes with
// their Show toggle, the filter on typing and pasting, leaving a box, the
// Add Key checks through the dialog, and a scripted add/delete flow.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "edit/RandomSource.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "sim/ScriptedPrompts.h"
#include "ui/HexBoxEdit.h"
#include "ui/KeyDialogs.h"

namespace quillon::ui {
namespace {

using model::CTmpDoc;
using sim::ScriptedPrompts;

class FixedRandom : public edit::RandomSource {
  public:
    bool Fill(uint8_t* out, size_t n) override {
        for (size_t i = 0; i < n; ++i) {
            out[i] = static_cast<uint8_t>(0x10 * i);  // 00 10 20 ... 70
        }
        return true;
    }
};

// Runs f on the dialog that is modal once the event loop next turns.
void WhenModal(std::function<void(QWidget*)> f) {
    QTimer::singleShot(0, [f] { f(QApplication::activeModalWidget()); });
}

void Show(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

struct AddKeyDialogFixture : ::testing::Test {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    FixedRandom random;
    AddKeyDialog dlg{doc, prompts, random};
};

using AddKeyDialogTest = AddKeyDialogFixture;

TEST_F(AddKeyDialogTest, KeyBoxesAreMaskedUntilShowIsTicked) {
    EXPECT_EQ(dlg.windowTitle(), "Add Key");
    EXPECT_EQ(dlg.ClearButton()->text(), "&Clear Key");
    EXPECT_EQ(dlg.GenerateButton()->text(), "&Generate Random Key");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(dlg.KeyBox(i)->text(), "");
        EXPECT_EQ(dlg.KeyBox(i)->echoMode(), QLineEdit::Password);
    }
    EXPECT_EQ(dlg.KidBox()->echoMode(), QLineEdit::Normal);  // an identifier, no secret
    EXPECT_EQ(dlg.KidBox()->text(), "");

    dlg.GenerateButton()->click();
    EXPECT_EQ(dlg.KeyBox(2)->text(), "20");
    EXPECT_FALSE(dlg.KeyBox(2)->displayText().contains("20"));
    dlg.ShowBox()->click();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(dlg.KeyBox(i)->echoMode(), QLineEdit::Normal);
    }
    EXPECT_EQ(dlg.KeyBox(2)->displayText(), "20");
    dlg.ShowBox()->click();
    EXPECT_EQ(dlg.KeyBox(2)->echoMode(), QLineEdit::Password);
    // 00 becomes 01, 30 (two bits) 31, 50 51, 60 61; the others have odd parity.
    std::vector<QString> shown;
    for (int i = 0; i < 8; ++i) {
        shown.push_back(dlg.KeyBox(i)->text());
    }
    EXPECT_EQ(shown, (std::vector<QString>{"01", "10", "20", "31", "40", "51", "61", "70"}));

    dlg.KidBox()->setText("0x9");
    dlg.ClearButton()->click();
    EXPECT_EQ(dlg.KeyBox(0)->text(), "");
    EXPECT_EQ(dlg.KeyBox(7)->text(), "");
    EXPECT_EQ(dlg.KidBox()->text(), "0x9");
}

TEST_F(AddKeyDialogTest, AtItsNaturalSizeTheKeyBoxesStandInByteOrderAndHoldTheirText) {
    Show(dlg);
    dlg.adjustSize();
    const QFontMetrics fm = dlg.KeyBox(0)->fontMetrics();
    for (int i = 0; i < 8; ++i) {
        EXPECT_GE(dlg.KeyBox(i)->width(), fm.horizontalAdvance("ff")) << i;
        if (i > 0) {
            const QWidget* prev = dlg.KeyBox(i - 1);
            EXPECT_GT(dlg.KeyBox(i)->x(), prev->x() + prev->width() - 1) << i;
            EXPECT_EQ(dlg.KeyBox(i)->y(), prev->y()) << i;
        }
    }
    EXPECT_GE(dlg.KidBox()->width(), fm.horizontalAdvance("0xffff"));
    EXPECT_LE(dlg.width(), 1024);  // fits a small screen
}

TEST_F(AddKeyDialogTest, TypingAndPastingTakeHexDigitsOnly) {
    Show(dlg);
    HexBoxEdit* box = dlg.KeyBox(0);
    box->setFocus();
    QTest::keyClicks(box, "1x");
    EXPECT_EQ(box->text(), "1");
    EXPECT_EQ(prompts.BeepCount(), 1);
    QTest::keyClicks(box, "ff");  // the third character does not fit
    EXPECT_EQ(box->text(), "1f");
    EXPECT_EQ(prompts.BeepCount(), 2);

    // Pasting is typing: a text the box would not take as typed is refused
    // whole, with one beep.
    HexBoxEdit* second = dlg.KeyBox(1);
    second->setFocus();
    QApplication::clipboard()->setText("1x");
    QTest::keySequence(second, QKeySequence::Paste);
    EXPECT_EQ(second->text(), "");
    EXPECT_EQ(prompts.BeepCount(), 3);
    second->PasteText("9 b");
    EXPECT_EQ(second->text(), "");
    EXPECT_EQ(prompts.BeepCount(), 4);
    QApplication::clipboard()->setText("9b");
    QTest::keySequence(second, QKeySequence::Paste);
    EXPECT_EQ(second->text(), "9b");
    EXPECT_EQ(prompts.BeepCount(), 4);

    HexBoxEdit* kid = dlg.KidBox();
    kid->setFocus();
    QTest::keyClicks(kid, "1x2");
    EXPECT_EQ(kid->text(), "12");
    kid->clear();
    QTest::keyClicks(kid, "0x1a");
    EXPECT_EQ(kid->text(), "0x1a");
}

TEST_F(AddKeyDialogTest, LeavingABoxPadsItButEnterInAHalfTypedBoxIsRefused) {
    Show(dlg);
    const char* pairs[] = {"01", "02", "04", "08", "10", "20", "40"};
    for (int i = 0; i < 7; ++i) {
        dlg.KeyBox(i)->setText(pairs[i]);
    }
    dlg.KidBox()->setFocus();
    QTest::keyClicks(dlg.KidBox(), "1A");
    dlg.KeyBox(7)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(dlg.KidBox()->text(), "0x1a");  // left: normalised
    QTest::keyClicks(dlg.KeyBox(7), "8");
    QTest::keyClick(dlg.KeyBox(7), Qt::Key_Return);  // OK by Enter; the box never left
    EXPECT_EQ(prompts.BoxTexts(), std::vector<std::string>{"All boxes must have 2 Hex digits."});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(doc.keys.Count(), 0);

    dlg.KidBox()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(dlg.KeyBox(7)->text(), "08");
    QTest::keyClick(dlg.KidBox(), Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(doc.keys.Count(), 1);
    EXPECT_EQ(doc.keys.Get(0).key, "0102040810204008");
    EXPECT_EQ(doc.keys.Get(0).kid, 0x1a);
}

TEST_F(AddKeyDialogTest, AFailedCheckFocusesTheBoxToCorrectAndEmptiesAKeyIdInError) {
    Show(dlg);
    doc.keys.Add("0101010101010101", 5);
    const char* pairs[] = {"01", "03", "05", "07", "9b", "9b", "9b", "9b"};
    for (int i = 0; i < 8; ++i) {
        dlg.KeyBox(i)->setText(pairs[i]);
    }
    dlg.KidBox()->setText("5");
    dlg.accept();
    EXPECT_EQ(prompts.BoxTexts().back(), "Odd Parity check failed for the 2nd and 3rd hex pairs.");
    EXPECT_EQ(QApplication::focusWidget(), dlg.KeyBox(1));
    EXPECT_EQ(dlg.KidBox()->text(), "5");

    dlg.KeyBox(1)->setText("02");
    dlg.KeyBox(2)->setText("04");
    dlg.accept();
    EXPECT_EQ(prompts.BoxTexts().back(), "Key ID is already in use! Please re-enter.");
    EXPECT_EQ(dlg.KidBox()->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), dlg.KidBox());
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(doc.keys.Count(), 1);
}

TEST(EncryptionSettingsDialogTest, ShowsKeyIdsOnlyAndSetsTheButtons) {
    CTmpDoc doc;
    doc.keys.Add("0101010101010101", 0x1234);
    doc.keys.Add("0202020202020202", 26);
    ScriptedPrompts prompts;
    FixedRandom random;
    EncryptionSettingsDialog dlg(doc, prompts, random);
    EXPECT_EQ(dlg.windowTitle(), "Encryption Settings");
    EXPECT_EQ(dlg.AddButton()->text(), "&Add");
    EXPECT_EQ(dlg.DeleteButton()->text(), "&Delete");
    EXPECT_EQ(dlg.CloseButton()->text(), "Close");
    EXPECT_TRUE(dlg.findChildren<QPushButton*>(QString(), Qt::FindChildrenRecursively).size() == 3);
    ASSERT_EQ(dlg.List()->count(), 2);
    EXPECT_EQ(dlg.List()->item(0)->text(), "KID: 0x01a");
    EXPECT_EQ(dlg.List()->item(1)->text(), "KID: 0x1234");
    EXPECT_TRUE(dlg.List()->item(0)->isSelected());
    EXPECT_EQ(dlg.List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(dlg.AddButton()->isEnabled());
    EXPECT_TRUE(dlg.DeleteButton()->isEnabled());
    // The dialog at its natural size shows the whole list and every button.
    dlg.adjustSize();
    EXPECT_GE(dlg.List()->width(), dlg.List()->fontMetrics().horizontalAdvance("KID: 0x1234"));
    EXPECT_GT(dlg.DeleteButton()->height(), 0);
}

TEST(EncryptionSettingsDialogTest, AScriptedAddAndDeleteFlow) {
    CTmpDoc doc;
    doc.keys.Add("1f1f1f1f1f1f1f1f", 0x30);
    ScriptedPrompts prompts;
    FixedRandom random;
    EncryptionSettingsDialog dlg(doc, prompts, random);
    Show(dlg);

    // Add: a random key under KID 0x2; the Add Key dialog is modal over ours.
    WhenModal([](QWidget* w) {
        auto* add = qobject_cast<AddKeyDialog*>(w);
        ASSERT_NE(add, nullptr);
        add->GenerateButton()->click();
        add->KidBox()->setText("2");
        add->accept();
    });
    dlg.AddButton()->click();
    ASSERT_EQ(doc.keys.Count(), 2);
    EXPECT_EQ(doc.keys.Get(1).key, "0110203140516170");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(dlg.List()->count(), 2);
    EXPECT_EQ(dlg.List()->item(0)->text(), "KID: 0x002");
    EXPECT_EQ(dlg.List()->item(1)->text(), "KID: 0x030");

    // Add, cancelled: nothing added, the document counts as modified anyway.
    doc.SetModified(false);
    WhenModal([](QWidget* w) {
        ASSERT_NE(qobject_cast<AddKeyDialog*>(w), nullptr);
        static_cast<QDialog*>(w)->reject();
    });
    dlg.AddButton()->click();
    EXPECT_EQ(doc.keys.Count(), 2);
    EXPECT_TRUE(doc.IsModified());

    // Delete both, one after the other.
    dlg.List()->clearSelection();
    dlg.List()->item(1)->setSelected(true);  // KID 0x30
    dlg.DeleteButton()->click();
    ASSERT_EQ(dlg.List()->count(), 1);
    EXPECT_EQ(dlg.List()->item(0)->text(), "KID: 0x002");
    dlg.DeleteButton()->click();  // the first item is selected after every refill
    EXPECT_EQ(dlg.List()->count(), 0);
    EXPECT_FALSE(dlg.DeleteButton()->isEnabled());
    EXPECT_TRUE(dlg.AddButton()->isEnabled());
    EXPECT_TRUE(dlg.Changed());

    // Neither key survives in the saved document.
    const std::vector<uint8_t> file = model::WriteDocument(doc);
    for (std::string key : {"1f1f1f1f1f1f1f1f", "0110203140516170"}) {
        EXPECT_EQ(std::search(file.begin(), file.end(), key.begin(), key.end()), file.end()) << key;
    }
    EXPECT_EQ(prompts.Records().size(), 0u);
    dlg.CloseButton()->click();
    EXPECT_FALSE(dlg.isVisible());
}

TEST(EncryptionSettingsDialogTest, AddIsDisabledAtSixteenKeys) {
    CTmpDoc doc;
    for (int kid = 0; kid < 16; ++kid) {
        doc.keys.Add("0101010101010101", kid);
    }
    ScriptedPrompts prompts;
    FixedRandom random;
    EncryptionSettingsDialog dlg(doc, prompts, random);
    EXPECT_FALSE(dlg.AddButton()->isEnabled());
    dlg.List()->item(3)->setSelected(true);
    dlg.DeleteButton()->click();  // the first and the fourth
    EXPECT_EQ(dlg.List()->count(), 14);
    EXPECT_EQ(dlg.List()->item(0)->text(), "KID: 0x001");
    EXPECT_EQ(dlg.List()->item(2)->text(), "KID: 0x004");
    EXPECT_TRUE(dlg.AddButton()->isEnabled());
}

TEST(EncryptionSettingsDialogTest, TheEntryPointSaysWhetherTheKeysChanged) {
    CTmpDoc doc;
    doc.keys.Add("0101010101010101", 4);
    ScriptedPrompts prompts;
    WhenModal([](QWidget* w) {
        auto* dlg = qobject_cast<EncryptionSettingsDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->CloseButton()->click();
    });
    EXPECT_FALSE(RunEncryptionDialog(nullptr, doc, prompts));
    EXPECT_FALSE(doc.IsModified());
    WhenModal([](QWidget* w) {
        auto* dlg = qobject_cast<EncryptionSettingsDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->DeleteButton()->click();
        dlg->CloseButton()->click();
    });
    EXPECT_TRUE(RunEncryptionDialog(nullptr, doc, prompts));
    EXPECT_EQ(doc.keys.Count(), 0);
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
}  // namespace quillon::ui
