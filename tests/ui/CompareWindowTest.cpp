// The compare window: its rows and columns, the filter box, and the two
// entry points (another file, what a Get read) with their messages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>

#include "bci/ChannelTransferView.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "sim/ScriptedPrompts.h"
#include "ui/CompareWindow.h"

namespace quillon::ui {
namespace {

using model::CTmpDoc;
using sim::ScriptedPrompts;
namespace off = model::off;

class OneFile : public FileDialogs {
  public:
    std::optional<std::string> answer;
    std::vector<std::string> titles;
    std::optional<std::string> OpenFile(const std::string& title,
                                        const std::vector<Filter>& filters) override {
        titles.push_back(title + "|" + (filters.empty() ? "" : filters[0].pattern));
        return answer;
    }
    std::optional<std::string> SaveFile(const std::string&, const std::vector<Filter>&,
                                        const std::string&, const std::string&) override {
        ADD_FAILURE() << "compare never saves";
        return std::nullopt;
    }
};

// A fixed channel 7 and a key; `other` differs in a name and a frequency.
void Fill(CTmpDoc& doc) {
    model::CChannel& ch = doc.channels[7];
    ch.SetNumber(7);
    ch.SetKind(model::ChannelKind::Fixed);
    ch.SetNameBytes("SEVEN");
    ch.SetByte(off::kSignalType, 2);
    ch.SetByte(off::kRxFrequency, 0x04);
    ch.SetByte(off::kRxFrequency + 1, 0x50);
    doc.keys.Add("0123456789abcdef", 0x00a);
}

std::vector<std::string> Row(const QTableWidget* t, int r) {
    std::vector<std::string> cells;
    for (int c = 0; c < t->columnCount(); ++c) {
        cells.push_back(t->item(r, c)->text().toStdString());
    }
    return cells;
}

// Runs f on the window that is modal once the event loop next turns, then
// closes it.
void WhenModal(std::function<void(CompareWindow*)> f) {
    QTimer::singleShot(0, [f] {
        auto* w = qobject_cast<CompareWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        f(w);
        w->reject();
    });
}

class CompareWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillon_compare_window_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Fill(doc_);
        Fill(other_);
        other_.channels[7].SetNameBytes("SIETE");
        other_.channels[7].SetByte(off::kRxFrequency + 1, 0x60);
        other_.squelchGroups.SetName(2, "THIRD");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    CTmpDoc doc_;
    CTmpDoc other_;
    ScriptedPrompts prompts_;
};

TEST_F(CompareWindowTest, RowsHoldWhereFieldAndBothValues) {
    const auto diffs = edit::CompareDocuments(doc_, other_);
    CompareWindow w(diffs, "Compare with File", "File");
    const QTableWidget* t = w.Table();
    ASSERT_EQ(t->rowCount(), 3);
    ASSERT_EQ(t->columnCount(), 4);
    std::vector<std::string> heads;
    for (int c = 0; c < 4; ++c) {
        heads.push_back(t->horizontalHeaderItem(c)->text().toStdString());
    }
    EXPECT_EQ(heads, (std::vector<std::string>{"Channel", "Field", "Document", "File"}));
    EXPECT_EQ(Row(t, 0), (std::vector<std::string>{"Channel 007", "Name", "SEVEN", "SIETE"}));
    EXPECT_EQ(Row(t, 1), (std::vector<std::string>{"Channel 007", "Rx Freq (MHz)", "450.000000",
                                                   "460.000000"}));
    EXPECT_EQ(Row(t, 2),
              (std::vector<std::string>{"Squelch Group 3", "Name", "SQUELCH GROUP 3", "THIRD"}));
    EXPECT_EQ(w.windowTitle(), "Compare with File");
    EXPECT_EQ(w.CountLabel()->text(), "3 of 3 differences shown");
}

TEST_F(CompareWindowTest, FilterKeepsRowsHoldingTheTextInAnyColumn) {
    CompareWindow w(edit::CompareDocuments(doc_, other_), "Compare with File", "File");
    w.FilterBox()->setText("channel 007");
    EXPECT_EQ(w.VisibleRows(), 2);
    EXPECT_EQ(w.CountLabel()->text(), "2 of 3 differences shown");
    w.FilterBox()->setText("siete");  // a value, either case
    EXPECT_EQ(w.VisibleRows(), 1);
    EXPECT_FALSE(w.Table()->isRowHidden(0));
    w.FilterBox()->setText("freq");
    EXPECT_EQ(w.VisibleRows(), 1);
    EXPECT_FALSE(w.Table()->isRowHidden(1));
    w.FilterBox()->setText("nothing like it");
    EXPECT_EQ(w.VisibleRows(), 0);
    w.FilterBox()->clear();
    EXPECT_EQ(w.VisibleRows(), 3);
}

TEST_F(CompareWindowTest, LaidOutAtANaturalSize) {
    CompareWindow w(edit::CompareDocuments(doc_, other_), "Compare with File", "File");
    w.show();
    EXPECT_GE(w.width(), 600);
    EXPECT_GE(w.Table()->height(), 200);
    EXPECT_LT(w.FilterBox()->geometry().bottom(), w.Table()->geometry().top());
    EXPECT_GT(w.CountLabel()->geometry().top(), w.Table()->geometry().bottom());
}

TEST_F(CompareWindowTest, CompareWithFileReadsTheFileAsideAndShowsTheDifferences) {
    const std::string path = (dir_ / "other.bcf").string();
    ASSERT_TRUE(model::SaveDocumentFile(path, other_).ok());
    OneFile dialogs;
    dialogs.answer = path;
    const std::vector<uint8_t> before = model::WriteDocument(doc_);
    int rows = -1;
    WhenModal([&](CompareWindow* w) { rows = w->Table()->rowCount(); });
    ShowCompareWithFile(nullptr, doc_, prompts_, dialogs);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(dialogs.titles, std::vector<std::string>{"Compare with File|*.bcf"});
    EXPECT_TRUE(prompts_.Records().empty());
    EXPECT_TRUE(model::WriteDocument(doc_) == before);  // the open document is untouched
    EXPECT_EQ(doc_.PathName(), "");
}

TEST_F(CompareWindowTest, CompareWithFileSaysWhenThereIsNothingToShow) {
    OneFile dialogs;
    // Cancel: nothing at all.
    ShowCompareWithFile(nullptr, doc_, prompts_, dialogs);
    EXPECT_TRUE(prompts_.Records().empty());
    // A file that is no document: the program's message.
    const std::string junk = (dir_ / "junk.bcf").string();
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("\x08veltp_v2", f);
    std::fclose(f);
    dialogs.answer = junk;
    ShowCompareWithFile(nullptr, doc_, prompts_, dialogs);
    ASSERT_EQ(prompts_.Boxes().size(), 1u);
    EXPECT_EQ(prompts_.Boxes()[0].text, "This file is not a valid data file for this application.");
    EXPECT_EQ(prompts_.Boxes()[0].icon, Icon::Exclamation);
    // The same configuration: a message, no window.
    prompts_.ClearRecords();
    const std::string same = (dir_ / "same.bcf").string();
    CTmpDoc copy = doc_;
    ASSERT_TRUE(model::SaveDocumentFile(same, copy).ok());
    dialogs.answer = same;
    ShowCompareWithFile(nullptr, doc_, prompts_, dialogs);
    ASSERT_EQ(prompts_.Boxes().size(), 1u);
    EXPECT_EQ(prompts_.Boxes()[0].text,
              "No differences: the file holds the same configuration as this document.");
    EXPECT_EQ(prompts_.Boxes()[0].icon, Icon::Information);
}

TEST_F(CompareWindowTest, TransceiverComparisonLeavesTheKeysOut) {
    // What a Get brings back after a Send: the channels as their records
    // carry them, no keys.
    CTmpDoc card = doc_;
    card.channels = bci::AsTransferred(doc_.channels);
    card.keys.Clear();
    // Left-overs in an empty slot of the document are never sent.
    doc_.channels[100].SetByte(off::kRxFrequency, 0x04);
    ShowCompareWithTransceiver(nullptr, doc_, card, prompts_);
    ASSERT_EQ(prompts_.Boxes().size(), 1u);
    EXPECT_EQ(prompts_.Boxes()[0].text.rfind("No differences: the transceiver holds", 0), 0u);

    card.channels[7].SetByte(off::kPowerWatts + 1, 0x25);
    std::vector<std::string> row;
    std::string head;
    WhenModal([&](CompareWindow* w) {
        ASSERT_EQ(w->Table()->rowCount(), 1);
        row = Row(w->Table(), 0);
        head = w->Table()->horizontalHeaderItem(3)->text().toStdString();
    });
    ShowCompareWithTransceiver(nullptr, doc_, card, prompts_);
    EXPECT_EQ(row, (std::vector<std::string>{"Channel 007", "Power (W)", "50", "25"}));
    EXPECT_EQ(head, "Transceiver");
}

}  // namespace
}  // namespace quillon::ui
