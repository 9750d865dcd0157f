// "Tone Remote Settings" and "Tone Remote Properties" as widgets: the lists
// and buttons, a scripted Add/Edit/Delete flow through the real modal
// properties dialog, the refusal without a selection, OK and Cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "sim/ScriptedPrompts.h"
#include "ui/ToneRemoteDialogs.h"

namespace quillon::ui {
namespace {

using model::CTmpDoc;
using model::CToneRemote;
using sim::ScriptedPrompts;

void WhenModal(std::function<void(QWidget*)> f) {
    QTimer::singleShot(0, [f] { f(QApplication::activeModalWidget()); });
}

std::vector<QString> Rows(const QListWidget* list) {
    std::vector<QString> rows;
    for (int i = 0; i < list->count(); ++i) {
        rows.push_back(list->item(i)->text());
    }
    return rows;
}

std::vector<QString> Entries(const QComboBox* box) {
    std::vector<QString> entries;
    for (int i = 0; i < box->count(); ++i) {
        entries.push_back(box->itemText(i));
    }
    return entries;
}

// Channel 7 a scan channel and 12 a fixed channel under tone remote control.
void AddTargets(CTmpDoc& doc) {
    doc.channels[7].SetKind(model::ChannelKind::Scan);
    doc.channels[12].SetKind(model::ChannelKind::Fixed);
    doc.channels[12].SetByte(model::off::kControlMode, model::val::kControlToneRemote);
}

TEST(ToneRemoteDialogsTest, PropertiesOfferTheRightFunctionsPerTone) {
    CTmpDoc doc;
    AddTargets(doc);
    CToneRemote list;
    edit::ToneRemoteProperties logic(list, doc, false, -1);
    ToneRemotePropertiesDialog dlg(logic);
    EXPECT_EQ(dlg.windowTitle(), "Tone Remote Properties");
    EXPECT_EQ(dlg.FrequencyBox()->count(), 12);
    EXPECT_EQ(dlg.FrequencyBox()->currentText(), "F1 - 1950Hz");
    EXPECT_EQ(Entries(dlg.FunctionBox()),
              (std::vector<QString>{"Increase Audio", "Channel 7", "Channel 12"}));
    dlg.FrequencyBox()->setCurrentIndex(1);
    EXPECT_EQ(Entries(dlg.FunctionBox()),
              (std::vector<QString>{"Decrease Audio", "Channel 7", "Channel 12"}));
    dlg.FrequencyBox()->setCurrentIndex(11);
    EXPECT_EQ(Entries(dlg.FunctionBox()), (std::vector<QString>{"Channel 7", "Channel 12"}));
    dlg.FunctionBox()->setCurrentIndex(1);
    dlg.accept();
    EXPECT_EQ(list.GetEntry(11).function, CToneRemote::kChannel);
    EXPECT_EQ(list.GetEntry(11).argument, "12");
}

TEST(ToneRemoteDialogsTest, WithNoTargetChannelOkLeavesF3Unassigned) {
    CTmpDoc doc;
    CToneRemote list;
    edit::ToneRemoteProperties logic(list, doc, false, -1);
    ToneRemotePropertiesDialog dlg(logic);
    dlg.FrequencyBox()->setCurrentIndex(2);
    EXPECT_EQ(dlg.FunctionBox()->count(), 0);
    dlg.accept();
    EXPECT_EQ(list.CountAssigned(), 0);
}

TEST(ToneRemoteDialogsTest, AScriptedAddEditDeleteFlowAndOk) {
    CTmpDoc doc;
    AddTargets(doc);
    ScriptedPrompts prompts;
    ToneRemoteSettingsDialog dlg(doc, prompts);
    EXPECT_EQ(dlg.windowTitle(), "Tone Remote Settings");
    EXPECT_EQ(dlg.List()->count(), 0);
    EXPECT_TRUE(dlg.AddButton()->isEnabled());
    EXPECT_FALSE(dlg.EditButton()->isEnabled());
    EXPECT_FALSE(dlg.DeleteButton()->isEnabled());
    EXPECT_EQ(dlg.List()->selectionMode(), QAbstractItemView::ExtendedSelection);

    // Add F1 Increase Audio, then F3 Channel 12.
    WhenModal([](QWidget* w) {
        auto* p = qobject_cast<ToneRemotePropertiesDialog*>(w);
        ASSERT_NE(p, nullptr);
        p->accept();
    });
    dlg.AddButton()->click();
    WhenModal([](QWidget* w) {
        auto* p = qobject_cast<ToneRemotePropertiesDialog*>(w);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->FrequencyBox()->itemText(0), "F2 - 1850Hz");  // F1 is taken
        p->FrequencyBox()->setCurrentIndex(1);                     // F3
        p->FunctionBox()->setCurrentIndex(1);                      // Channel 12
        p->accept();
    });
    dlg.AddButton()->click();
    EXPECT_EQ(Rows(dlg.List()),
              (std::vector<QString>{"F1 - 1950Hz Increase Audio", "F3 - 1750Hz Channel 12"}));
    EXPECT_TRUE(dlg.List()->item(1)->isSelected());  // the tone just added
    EXPECT_TRUE(dlg.EditButton()->isEnabled());

    // Edit F3: only its own tone is offered; choose Channel 7.
    WhenModal([](QWidget* w) {
        auto* p = qobject_cast<ToneRemotePropertiesDialog*>(w);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Entries(p->FrequencyBox()), std::vector<QString>{"F3 - 1750Hz"});
        EXPECT_EQ(p->FunctionBox()->currentText(), "Channel 12");
        p->FunctionBox()->setCurrentIndex(0);
        p->accept();
    });
    dlg.EditButton()->click();
    EXPECT_EQ(dlg.List()->item(1)->text(), "F3 - 1750Hz Channel 7");
    EXPECT_TRUE(dlg.List()->item(1)->isSelected());

    // Edit and Delete with nothing selected: a beep and the warning.
    dlg.List()->clearSelection();
    dlg.EditButton()->click();
    dlg.DeleteButton()->click();
    EXPECT_EQ(prompts.BeepCount(), 2);
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{"You must selected a tone to edit first!",
                                        "You must selected a tone to edit first!"}));

    // Delete F3: the item before it is highlighted.
    dlg.List()->item(1)->setSelected(true);
    dlg.DeleteButton()->click();
    EXPECT_EQ(Rows(dlg.List()), std::vector<QString>{"F1 - 1950Hz Increase Audio"});
    EXPECT_TRUE(dlg.List()->item(0)->isSelected());

    EXPECT_EQ(doc.toneRemote.CountAssigned(), 0);  // nothing in the document before OK
    EXPECT_FALSE(doc.IsModified());
    dlg.accept();
    EXPECT_EQ(doc.toneRemote.CountAssigned(), 1);
    EXPECT_EQ(doc.toneRemote.GetEntry(0).function, CToneRemote::kIncreaseAudio);
    EXPECT_EQ(doc.toneRemote.RawEntry(2).argument, "0");  // cleared by Delete
    EXPECT_TRUE(doc.IsModified());
}

TEST(ToneRemoteDialogsTest, CancelLeavesTheDocumentAndAFullListDisablesAdd) {
    CTmpDoc doc;
    for (int slot = 0; slot < 12; ++slot) {
        doc.toneRemote.SetEntry(slot, CToneRemote::kChannel, slot);
    }
    ScriptedPrompts prompts;
    ToneRemoteSettingsDialog dlg(doc, prompts);
    EXPECT_EQ(dlg.List()->count(), 12);
    EXPECT_FALSE(dlg.AddButton()->isEnabled());
    dlg.List()->item(4)->setSelected(true);
    dlg.DeleteButton()->click();  // F1 (selected at filling) and F5
    EXPECT_EQ(dlg.List()->count(), 10);
    EXPECT_TRUE(dlg.AddButton()->isEnabled());
    dlg.reject();
    EXPECT_EQ(doc.toneRemote.CountAssigned(), 12);
    EXPECT_FALSE(doc.IsModified());
}

TEST(ToneRemoteDialogsTest, TheEntryPointSaysWhetherOkChangedTheDocument) {
    CTmpDoc doc;
    ScriptedPrompts prompts;
    WhenModal([](QWidget* w) {
        ASSERT_NE(qobject_cast<ToneRemoteSettingsDialog*>(w), nullptr);
        static_cast<QDialog*>(w)->reject();
    });
    EXPECT_FALSE(RunToneRemoteDialog(nullptr, doc, prompts));
    EXPECT_FALSE(doc.IsModified());
    WhenModal([](QWidget* w) {
        ASSERT_NE(qobject_cast<ToneRemoteSettingsDialog*>(w), nullptr);
        static_cast<QDialog*>(w)->accept();
    });
    EXPECT_TRUE(RunToneRemoteDialog(nullptr, doc, prompts));
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
}  // namespace quillon::ui
