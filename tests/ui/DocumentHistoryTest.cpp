// Undo and redo over whole-document steps, and the modified mark.
#include <gtest/gtest.h>

#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "ui/DocumentHistory.h"

namespace quillon::ui {
namespace {

using model::ChannelKind;

TEST(DocumentHistoryTest, StepsUndoAndRedoTheWholeDocumentAndNameThemselves) {
    model::CTmpDoc doc;
    doc.SetPathName("/tmp/site.bcf");
    DocumentHistory history(doc);

    auto before = history.Take();
    doc.channels[12].SetKind(ChannelKind::Fixed);
    doc.SetModified();
    EXPECT_TRUE(history.Record("Edit Channel 012", before));

    before = history.Take();
    doc.keys.Add("0123456789abcdef", 5);
    doc.frontPanelVolume = "7";
    EXPECT_TRUE(history.Record("Encryption Settings", before));

    // A command that changed nothing is no step.
    before = history.Take();
    EXPECT_FALSE(history.Record("Squelch Groups", before));
    EXPECT_EQ(history.Stack().undoText(), "Encryption Settings");

    history.Undo();
    EXPECT_EQ(doc.keys.Count(), 0);
    EXPECT_EQ(doc.frontPanelVolume, "10");
    EXPECT_TRUE(doc.channels[12].IsUsed());
    EXPECT_EQ(history.Stack().undoText(), "Edit Channel 012");
    EXPECT_EQ(history.Stack().redoText(), "Encryption Settings");
    history.Undo();
    EXPECT_FALSE(doc.channels[12].IsUsed());
    EXPECT_FALSE(history.CanUndo());
    // The document keeps its name through it all.
    EXPECT_EQ(doc.PathName(), "/tmp/site.bcf");

    history.Redo();
    history.Redo();
    EXPECT_TRUE(doc.channels[12].IsUsed());
    EXPECT_EQ(doc.keys.Count(), 1);
    EXPECT_EQ(doc.frontPanelVolume, "7");
}

TEST(DocumentHistoryTest, TheModifiedMarkFollowsTheSavedState) {
    model::CTmpDoc doc;
    DocumentHistory history(doc);
    EXPECT_FALSE(doc.IsModified());

    auto before = history.Take();
    doc.channels[1].SetKind(ChannelKind::Fixed);
    history.Record("Add Channel 001", before);
    EXPECT_TRUE(doc.IsModified());  // even where the editor forgot to mark it

    history.Undo();
    EXPECT_FALSE(doc.IsModified());  // back where it was opened
    history.Redo();
    EXPECT_TRUE(doc.IsModified());

    history.MarkSaved();  // saved here; the history stays
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(history.CanUndo());
    history.Undo();
    EXPECT_TRUE(doc.IsModified());  // now it differs from the file
    history.Redo();
    EXPECT_FALSE(doc.IsModified());

    history.Reset();  // another document
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

TEST(DocumentHistoryTest, AnUndoneStepRestoresTheExactBytes) {
    model::CTmpDoc doc;
    for (int i = 0; i < 40; i += 3) {
        doc.channels[i].SetKind(i % 2 == 0 ? ChannelKind::Fixed : ChannelKind::Scan);
    }
    doc.keys.Add("fedcba9876543210", 9);
    const std::vector<uint8_t> original = model::WriteDocument(doc);
    DocumentHistory history(doc);
    auto before = history.Take();
    doc.DeleteContents();
    history.Record("Get", before);
    history.Undo();
    EXPECT_EQ(model::WriteDocument(doc), original);
}

}  // namespace
}  // namespace quillon::ui
