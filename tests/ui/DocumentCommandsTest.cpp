// File menu document commands, their questions and what they leave behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "FixedChannelDoc.h"
#include "core/MemorySettings.h"
#include "model/AtomicFile.h"
#include "model/DocumentFile.h"
#include "sim/ScriptedPrompts.h"
#include "ui/DocumentCommands.h"

namespace quillon::ui {
namespace {

namespace fs = std::filesystem;
using sim::ScriptedPrompts;

class ScriptedDialogs : public FileDialogs {
  public:
    struct Call {
        std::string title;
        std::vector<std::string> filters;
        std::string suggested;
        std::string extension;
    };
    std::deque<std::optional<std::string>> answers;
    std::vector<Call> calls;

    std::optional<std::string> OpenFile(const std::string& title,
                                        const std::vector<Filter>& filters) override {
        return Answer(title, filters, "", "");
    }
    std::optional<std::string> SaveFile(const std::string& title,
                                        const std::vector<Filter>& filters,
                                        const std::string& suggested,
                                        const std::string& extension) override {
        return Answer(title, filters, suggested, extension);
    }

  private:
    std::optional<std::string> Answer(const std::string& title, const std::vector<Filter>& filters,
                                      const std::string& suggested, const std::string& extension) {
        Call c{title, {}, suggested, extension};
        for (const auto& f : filters) {
            c.filters.push_back(f.name + "|" + f.pattern);
        }
        calls.push_back(c);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

class DocumentCommandsTest : public ::testing::Test {
  protected:
    DocumentCommandsTest() {
        dir =
            fs::temp_directory_path() /
            ("quillon-doccmd-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~DocumentCommandsTest() override { fs::remove_all(dir); }

    std::string Path(const char* name) const { return (dir / name).string(); }
    void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path dir;
    model::CTmpDoc doc;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    RecentFiles recent{settings};
    bool busy = false;
    int changes = 0;
    int saves = 0;
    int replacements = 0;
    DocumentCommands commands{
        doc, prompts, dialogs, recent,
        DocumentCommands::Hooks{[this] { return busy; }, [this] { ++changes; }, [this] { ++saves; },
                                [this] { ++replacements; }}};
};

TEST_F(DocumentCommandsTest, NewAsksAboutAModifiedDocumentAndCancelKeepsIt) {
    testing::FillFixedChannels(doc);
    doc.SetModified();
    const int used = doc.channels.UsedCount();

    prompts.QueueAnswer(Answer::Cancel);
    commands.New();
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, "Save changes to Untitled?");
    EXPECT_EQ(prompts.Boxes()[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(doc.channels.UsedCount(), used);
    EXPECT_TRUE(doc.IsModified());

    prompts.QueueAnswer(Answer::No);
    commands.New();
    EXPECT_EQ(doc.channels.UsedCount(), 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(DocumentCommandsTest, SavingAnUntitledDocumentAsksForANameAndRemembersIt) {
    testing::FillFixedChannels(doc);
    doc.SetModified();
    dialogs.answers.push_back(Path("site.bcf"));
    EXPECT_TRUE(commands.Save());
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, "Save As");
    EXPECT_EQ(dialogs.calls[0].filters,
              (std::vector<std::string>{"Quillon Documents (*.bcf)|*.bcf", "All Files (*.*)|*.*"}));
    EXPECT_EQ(dialogs.calls[0].extension, "bcf");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(commands.Title(), "site.bcf");
    EXPECT_EQ(settings.GetString("Recent File List", "File1", ""), Path("site.bcf"));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(replacements, 0);

    // What was written opens to the same channels.
    model::CTmpDoc back;
    ASSERT_TRUE(model::OpenDocumentFile(Path("site.bcf"), back).ok());
    EXPECT_TRUE(testing::SameChannels(doc, back));

    // A second Save needs no dialog.
    doc.SetModified();
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(dialogs.calls.size(), 1u);
}

TEST_F(DocumentCommandsTest, YesToTheQuestionSavesFirstAndACancelledSaveStopsTheCommand) {
    testing::FillFixedChannels(doc);
    doc.SetModified();
    prompts.QueueAnswer(Answer::Yes);
    dialogs.answers.push_back(std::nullopt);  // the Save As dialog cancelled
    WriteText(Path("other.bcf"), "");
    EXPECT_FALSE(commands.OpenPath(Path("other.bcf")));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_GT(doc.channels.UsedCount(), 0);
}

TEST_F(DocumentCommandsTest, AnUnreadableFileIsReportedAndTheDocumentStaysAsItWas) {
    testing::FillFixedChannels(doc);
    doc.SetModified();
    recent.Add(Path("gone.bcf"));
    prompts.QueueAnswer(Answer::No);
    EXPECT_FALSE(commands.OpenPath(Path("gone.bcf")));
    ASSERT_EQ(prompts.Boxes().size(), 2u);
    EXPECT_EQ(prompts.Boxes()[1].text, "Invalid filename.");
    EXPECT_GT(doc.channels.UsedCount(), 0);
    EXPECT_TRUE(recent.List().empty());
    EXPECT_EQ(replacements, 0);  // the undo history stays with the document
}

TEST_F(DocumentCommandsTest, OpenReadsTheChosenDocumentAndPutsItFirstInTheRecentList) {
    model::CTmpDoc saved;
    testing::FillFixedChannels(saved);
    ASSERT_TRUE(model::SaveDocumentFile(Path("a.bcf"), saved).ok());
    recent.Add("/elsewhere/b.bcf");
    dialogs.answers.push_back(Path("a.bcf"));
    commands.Open();
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, "Open");
    EXPECT_TRUE(testing::SameChannels(doc, saved));
    EXPECT_EQ(commands.Title(), "a.bcf");
    EXPECT_EQ(recent.List(), (std::vector<std::string>{Path("a.bcf"), "/elsewhere/b.bcf"}));
    EXPECT_GT(changes, 0);
    EXPECT_EQ(replacements, 1);
}

TEST_F(DocumentCommandsTest, CommandsThatReplaceTheDocumentOnlyBeepWhileATransferRuns) {
    testing::FillFixedChannels(doc);
    const int used = doc.channels.UsedCount();
    busy = true;
    commands.New();
    commands.Open();
    commands.Import();
    EXPECT_FALSE(commands.OpenPath(Path("x.bcf")));
    EXPECT_EQ(prompts.BeepCount(), 4);
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(doc.channels.UsedCount(), used);
}

TEST_F(DocumentCommandsTest, ImportOfABadFileLeavesTheDocumentIntact) {
    testing::FillFixedChannels(doc);
    const int used = doc.channels.UsedCount();
    WriteText(Path("bad.csv"), "Channel Number\r\n001,\"unclosed,Apco 25");
    dialogs.answers.push_back(Path("bad.csv"));
    commands.Import();
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, "Import");
    EXPECT_EQ(dialogs.calls[0].filters,
              (std::vector<std::string>{"Text Files (*.csv)|*.csv", "All Files (*.*)|*.*"}));
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(doc.channels.UsedCount(), used);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentCommandsTest, ExportOfAnEmptyTableSaysSoWithoutAskingForAFile) {
    commands.Export();
    EXPECT_EQ(prompts.BoxTexts(),
              (std::vector<std::string>{"No entries in channel table to export."}));
    EXPECT_TRUE(dialogs.calls.empty());

    testing::FillFixedChannels(doc);
    dialogs.answers.push_back(Path("out.csv"));
    commands.Export();
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, "Export");
    EXPECT_EQ(dialogs.calls[0].extension, "csv");
    EXPECT_TRUE(fs::exists(Path("out.csv")));
}

// A file system with no room left at all.
class NoRoom : public model::SaveSystem {
  public:
    std::ptrdiff_t Write(int, const uint8_t*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

TEST_F(DocumentCommandsTest, ASaveIntoAFullDiskSaysSoAndKeepsTheFileAndTheDocumentUnsaved) {
    testing::FillFixedChannels(doc);
    doc.SetModified();
    dialogs.answers.push_back(Path("site.bcf"));
    ASSERT_TRUE(commands.Save());
    const std::string path = Path("site.bcf");
    std::ifstream in(path, std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    ASSERT_GT(before.size(), 1000u);

    doc.channels[0].SetNameBytes("CHANGED");
    doc.SetModified();
    NoRoom full;
    model::ScopedSaveSystem seam(full);
    EXPECT_FALSE(commands.Save());
    ASSERT_EQ(prompts.Boxes().size(), 1u);
    EXPECT_EQ(prompts.Boxes()[0].text, path +
                                           " could not be saved: No space left on device.\n"
                                           "The file on disk is unchanged.");
    EXPECT_EQ(prompts.Boxes()[0].icon, Icon::Exclamation);
    EXPECT_TRUE(doc.IsModified());
    std::ifstream again(path, std::ios::binary);
    EXPECT_EQ(
        std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()),
        before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(RecentFilesTest, KeepsFourNewestFirstWithoutRepeatsAcrossARestart) {
    MemorySettings settings;
    {
        RecentFiles r(settings);
        for (const char* p : {"a", "b", "c", "d", "e", "c"}) {
            r.Add(p);
        }
        EXPECT_EQ(r.List(), (std::vector<std::string>{"c", "e", "d", "b"}));
        r.Store();
    }
    RecentFiles again(settings);
    EXPECT_EQ(again.List(), (std::vector<std::string>{"c", "e", "d", "b"}));
    again.Remove("e");
    again.Store();
    EXPECT_EQ(settings.GetString("Recent File List", "File4", "x"), "");
}

}  // namespace
}  // namespace quillon::ui
