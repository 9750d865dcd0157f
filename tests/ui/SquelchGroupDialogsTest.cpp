// "Active Squelch Groups" and "Squelch Group Properties" on screen, with
// scripted message boxes and real keys in the code fields.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"
#include "ui/NumericEntry.h"
#include "ui/SquelchGroupPropertiesDialog.h"
#include "ui/SquelchGroupsDialog.h"

namespace {

using quillon::Answer;
using quillon::Icon;
using quillon::model::CTmpDoc;
using quillon::model::SquGroup;
using quillon::sim::ScriptedPrompts;
using quillon::ui::SquelchGroupPropertiesDialog;
using quillon::ui::SquelchGroupsDialog;
using Code = SquelchGroupPropertiesDialog::Code;
namespace off = quillon::model::off;

std::vector<std::string> Lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) {
        out.push_back(list->item(i)->text().toStdString());
    }
    return out;
}

std::vector<int> SelectedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) {
            rows.push_back(i);
        }
    }
    return rows;
}

void UseGroup(SquGroup& groups, int g, const std::string& name, const std::string& tone) {
    groups.SetName(g, name);
    groups.SetItem(g, 0, SquGroup::kCtcss, tone);
}

void DoubleClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

class SquelchGroupsDialogTest : public ::testing::Test {
  protected:
    CTmpDoc doc;
    ScriptedPrompts prompts;
};

TEST_F(SquelchGroupsDialogTest, ListsTheGroupsInUseAndSelectsTheFirst) {
    UseGroup(doc.squelchGroups, 3, "FOUR", "067.0");
    UseGroup(doc.squelchGroups, 0, "ONE", "069.3");
    SquelchGroupsDialog dlg(doc, prompts, nullptr, [](SquGroup&, int) { return false; });
    EXPECT_EQ(dlg.windowTitle(), "Active Squelch Groups");
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{"ONE", "FOUR"}));
    EXPECT_EQ(SelectedRows(dlg.List()), std::vector<int>{0});
    EXPECT_TRUE(dlg.AddButton()->isEnabled());
    EXPECT_TRUE(dlg.EditButton()->isEnabled());
    EXPECT_TRUE(dlg.DeleteButton()->isEnabled());

    CTmpDoc fresh;
    SquelchGroupsDialog empty(fresh, prompts);
    EXPECT_EQ(empty.List()->count(), 0);
    EXPECT_TRUE(empty.AddButton()->isEnabled());
    EXPECT_FALSE(empty.EditButton()->isEnabled());
    EXPECT_FALSE(empty.DeleteButton()->isEnabled());
}

TEST_F(SquelchGroupsDialogTest, AddEditAndDeleteThenOk) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    UseGroup(doc.squelchGroups, 1, "TWO", "069.3");
    UseGroup(doc.squelchGroups, 2, "THREE", "071.9");
    doc.channels[5].SetKind(quillon::model::ChannelKind::Fixed);
    doc.channels[5].SetNameBytes("BUS");
    doc.channels[5].SetByte(off::kSignalType, 2);
    doc.channels[5].SetByte(off::kOperationMode, 2);
    doc.channels[5].SetByte(off::kSquelchSystem, quillon::model::val::kSquelchCtcssGroup);
    doc.channels[5].SetWord(off::kRxCxcss, 0xF003);

    std::vector<int> opened;
    SquelchGroupsDialog dlg(doc, prompts, nullptr, [&](SquGroup& groups, int g) {
        opened.push_back(g);
        groups.SetName(g, "NEW " + std::to_string(g + 1));
        groups.SetItem(g, 0, SquGroup::kNac, "0x293");
        return true;
    });
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    dlg.AddButton()->click();
    EXPECT_EQ(opened, std::vector<int>{3});
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{"ONE", "TWO", "THREE", "NEW 4"}));
    EXPECT_EQ(SelectedRows(dlg.List()), std::vector<int>{3});

    DoubleClickRow(dlg.List(), 1);
    EXPECT_EQ(opened, (std::vector<int>{3, 1}));
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{"ONE", "NEW 2", "THREE", "NEW 4"}));
    EXPECT_EQ(SelectedRows(dlg.List()), std::vector<int>{1});

    dlg.List()->clearSelection();
    dlg.EditButton()->click();
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"You must selected a squelch group to edit first!"});
    EXPECT_EQ(prompts.BeepCount(), 1);

    // Delete group 2: THREE becomes group 2 and the channel follows it.
    prompts.ClearRecords();
    dlg.List()->item(1)->setSelected(true);
    prompts.QueueAnswer(Answer::Yes);
    dlg.DeleteButton()->click();
    EXPECT_EQ(Lines(dlg.List()), (std::vector<std::string>{"ONE", "THREE", "NEW 4"}));
    EXPECT_EQ(SelectedRows(dlg.List()), std::vector<int>{0});
    ASSERT_EQ(prompts.Boxes().size(), 1u);  // no channel used group 2
    EXPECT_EQ(doc.channels[5].RxCxcss(), 0xF003);
    EXPECT_FALSE(doc.IsModified());

    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(doc.squelchGroups.GetName(1), "THREE");
    EXPECT_EQ(doc.squelchGroups.GetName(2), "NEW 4");
    EXPECT_EQ(doc.channels[5].RxCxcss(), 0xF002);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SquelchGroupsDialogTest, CancelKeepsTheDocument) {
    UseGroup(doc.squelchGroups, 0, "ONE", "067.0");
    SquelchGroupsDialog dlg(doc, prompts);
    dlg.List()->item(0)->setSelected(true);
    prompts.QueueAnswer(Answer::Yes);
    dlg.DeleteButton()->click();
    EXPECT_EQ(dlg.List()->count(), 0);
    dlg.CancelButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(doc.squelchGroups.GetName(0), "ONE");
    EXPECT_FALSE(doc.squelchGroups.IsEmpty(0));
    EXPECT_FALSE(doc.IsModified());
}

class SquelchGroupPropertiesDialogTest : public ::testing::Test {
  protected:
    SquGroup groups;
    ScriptedPrompts prompts;

    static void Type(SquelchGroupPropertiesDialog& dlg, Code code, const char* keys) {
        QLineEdit* box = dlg.Entry(code)->LineEdit();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(keys));
    }
};

TEST_F(SquelchGroupPropertiesDialogTest, OpensWithTheNameAndTheFirstCodes) {
    groups.SetName(4, "PATROL");
    SquelchGroupPropertiesDialog dlg(groups, 4, prompts);
    EXPECT_EQ(dlg.windowTitle(), "Squelch Group Properties");
    EXPECT_EQ(dlg.NameBox()->text(), "PATROL");
    EXPECT_EQ(dlg.Entry(Code::Nac)->text(), "0x001");
    EXPECT_EQ(dlg.Entry(Code::Ctcss)->text(), "067.0");
    EXPECT_EQ(dlg.Entry(Code::Cdcss)->text(), "023");
    EXPECT_EQ(dlg.Label(Code::Nac)->text(), "NAC");
    EXPECT_EQ(dlg.Label(Code::Ctcss)->text(), "CTCSS");
    EXPECT_EQ(dlg.Label(Code::Cdcss)->text(), "CDCSS");
    EXPECT_EQ(dlg.AddButton(Code::Nac)->text(), "<<");
    EXPECT_EQ(dlg.ItemList()->count(), 0);
}

TEST_F(SquelchGroupPropertiesDialogTest, TypedCodesAreSnappedAddedAndLockTheOtherKind) {
    SquelchGroupPropertiesDialog dlg(groups, 0, prompts);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    // 60 Hz is nearest to the first tone of the list, which a list with an
    // off entry could never choose.
    Type(dlg, Code::Ctcss, "60");
    dlg.AddButton(Code::Ctcss)->click();
    EXPECT_EQ(dlg.Entry(Code::Ctcss)->text(), "067.0");
    Type(dlg, Code::Nac, "293");
    dlg.AddButton(Code::Nac)->click();
    EXPECT_EQ(Lines(dlg.ItemList()), (std::vector<std::string>{"CTCSS  067.0", "NAC  0x293"}));

    EXPECT_FALSE(dlg.Entry(Code::Cdcss)->isEnabled());
    EXPECT_EQ(dlg.Entry(Code::Cdcss)->text(), "");
    EXPECT_FALSE(dlg.AddButton(Code::Cdcss)->isEnabled());
    EXPECT_FALSE(dlg.Label(Code::Cdcss)->isEnabled());
    EXPECT_TRUE(dlg.Entry(Code::Ctcss)->isEnabled());

    // Selecting a code shows it in its field.
    Type(dlg, Code::Nac, "5");
    dlg.ItemList()->setCurrentRow(1);
    EXPECT_EQ(dlg.Entry(Code::Nac)->text(), "0x293");

    // Deleting the tone frees the CDCSS field again.
    dlg.ItemList()->clearSelection();
    dlg.ItemList()->item(0)->setSelected(true);
    dlg.DeleteButton()->click();
    EXPECT_EQ(Lines(dlg.ItemList()), std::vector<std::string>{"NAC  0x293"});
    EXPECT_TRUE(dlg.Entry(Code::Cdcss)->isEnabled());
    EXPECT_EQ(dlg.Entry(Code::Cdcss)->text(), "023");
    EXPECT_TRUE(dlg.AddButton(Code::Cdcss)->isEnabled());

    dlg.ItemList()->clearSelection();
    dlg.DeleteButton()->click();
    EXPECT_EQ(prompts.BoxTexts(),
              std::vector<std::string>{"You must selected a squelch item to delete first"});
}

TEST_F(SquelchGroupPropertiesDialogTest, OkRefusesASeventeenCharacterName) {
    SquelchGroupPropertiesDialog dlg(groups, 2, prompts);
    dlg.AddButton(Code::Cdcss)->click();
    dlg.NameBox()->setText(QStringLiteral("SEVENTEEN LETTER"));  // 16
    dlg.NameBox()->setText(dlg.NameBox()->text() + "S");         // 17
    dlg.OkButton()->click();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.BeepCount(), 1);
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "Squelch group name cannot be more than 16 characters!");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);
    EXPECT_TRUE(groups.IsEmpty(2));

    dlg.NameBox()->setText(QStringLiteral("SIXTEEN LETTERS!"));
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(groups.GetName(2), "SIXTEEN LETTERS!");
    EXPECT_EQ(groups.GetItem(2, 0).type, SquGroup::kCdcss);
    EXPECT_EQ(groups.GetItem(2, 0).value, "023");
}

TEST_F(SquelchGroupPropertiesDialogTest, TheFieldsSitBesideTheListAndShowTheirCodes) {
    SquelchGroupPropertiesDialog dlg(groups, 0, prompts);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (Code code : {Code::Nac, Code::Ctcss, Code::Cdcss}) {
        QLineEdit* box = dlg.Entry(code)->LineEdit();
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->text()));
        EXPECT_GT(dlg.AddButton(code)->mapTo(&dlg, QPoint(0, 0)).x(),
                  dlg.ItemList()->geometry().right());
        EXPECT_GT(dlg.Entry(code)->mapTo(&dlg, QPoint(0, 0)).x(),
                  dlg.AddButton(code)->mapTo(&dlg, QPoint(0, 0)).x());
    }
    EXPECT_GE(dlg.ItemList()->height(), dlg.ItemList()->fontMetrics().lineSpacing() * 16);
}

TEST_F(SquelchGroupPropertiesDialogTest, CancelWritesNothing) {
    SquelchGroupPropertiesDialog dlg(groups, 0, prompts);
    dlg.AddButton(Code::Nac)->click();
    dlg.NameBox()->setText(QStringLiteral("X"));
    dlg.CancelButton()->click();
    EXPECT_TRUE(groups.IsEmpty(0));
    EXPECT_EQ(groups.GetName(0), "SQUELCH GROUP 1");
}

TEST_F(SquelchGroupsDialogTest, RunOpensThePropertiesOfANewGroup) {
    // The whole road: Add opens the real properties dialog, a code is
    // added there, both dialogs are confirmed.
    QTimer::singleShot(0, [] {
        auto* groupsDlg = qobject_cast<SquelchGroupsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(groupsDlg, nullptr);
        QTimer::singleShot(0, [] {
            auto* props =
                qobject_cast<SquelchGroupPropertiesDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(props, nullptr);
            props->AddButton(Code::Nac)->click();
            props->NameBox()->setText(QStringLiteral("FIRE"));
            props->OkButton()->click();
        });
        groupsDlg->AddButton()->click();
        EXPECT_EQ(Lines(groupsDlg->List()), std::vector<std::string>{"FIRE"});
        groupsDlg->OkButton()->click();
    });
    EXPECT_TRUE(quillon::ui::RunSquelchGroupsDialog(nullptr, doc, prompts));
    EXPECT_EQ(doc.squelchGroups.GetName(0), "FIRE");
    EXPECT_EQ(doc.squelchGroups.GetItem(0, 0).value, "0x001");
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
