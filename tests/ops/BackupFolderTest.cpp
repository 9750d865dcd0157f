// The backup folder: names after the time, no file overwritten, the newest
// fifty kept and nothing else in the folder touched.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "ops/BackupFolder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

std::tm At(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

class BackupFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("quillon-backups-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<std::string> Names(const BackupFolder& f) const {
        std::vector<std::string> names;
        for (const auto& p : f.List()) {
            names.push_back(fs::path(p).filename().string());
        }
        return names;
    }
    fs::path dir;
};

TEST_F(BackupFolderTest, NamesFollowTheLocalTime) {
    EXPECT_EQ(BackupFolder::NameFor(At(2026, 12, 8, 14, 2)), "2026-12-08_1402.bcf");
    EXPECT_EQ(BackupFolder::NameFor(At(2027, 1, 31, 0, 0)), "2027-01-31_0000.bcf");
    EXPECT_EQ(BackupFolder::NameFor(At(2026, 6, 5, 23, 59)), "2026-06-05_2359.bcf");
}

TEST_F(BackupFolderTest, SaveCreatesTheFolderAndNeverOverwrites) {
    BackupFolder f((dir / "deeper" / "backups").string());
    model::CTmpDoc doc;
    doc.channels[3].SetKind(model::ChannelKind::Fixed);
    doc.channels[3].SetNameBytes("THREE");
    std::string path;
    ASSERT_TRUE(f.Save(doc, At(2026, 12, 8, 14, 2), path).ok());
    EXPECT_EQ(path, (dir / "deeper" / "backups" / "2026-12-08_1402.bcf").string());
    model::CTmpDoc back;
    ASSERT_TRUE(model::OpenDocumentFile(path, back).ok());
    EXPECT_EQ(back.channels[3].NameText(), "THREE");

    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(f.Save(doc, At(2026, 12, 8, 14, 2), path).ok());
        paths.push_back(fs::path(path).filename().string());
    }
    EXPECT_EQ(paths.front(), "2026-12-08_1402_2.bcf");
    EXPECT_EQ(paths.back(), "2026-12-08_1402_11.bcf");
    // Oldest first, "_10" after "_9".
    const auto names = Names(f);
    ASSERT_EQ(names.size(), 11u);
    EXPECT_EQ(names[0], "2026-12-08_1402.bcf");
    EXPECT_EQ(names[8], "2026-12-08_1402_9.bcf");
    EXPECT_EQ(names[9], "2026-12-08_1402_10.bcf");
}

TEST_F(BackupFolderTest, TheNewestFiftyAreKeptAndNothingElseIsTouched) {
    BackupFolder f(dir.string());
    fs::create_directories(dir);
    // The user's own files, some almost named like a backup.
    for (const char* other : {"mine.bcf", "2026-12-08_1402.txt", "2026-12-08_14020.bcf",
                              "2020-01-01_0000_1.bcf", "2020-01-01_0000_02.bcf", "notes"}) {
        std::FILE* file = std::fopen((dir / other).c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    model::CTmpDoc doc;
    std::string path;
    // 55 backups an hour apart, saved out of order across a year's end.
    for (int i = 54; i >= 0; --i) {
        const int day = 1 + i / 24;
        ASSERT_TRUE(f.Save(doc, At(2027, 1, day, i % 24, 30), path).ok()) << i;
    }
    // Another year's end: older than all of them.
    ASSERT_TRUE(f.Save(doc, At(2026, 12, 31, 23, 59), path).ok());
    const auto names = Names(f);
    ASSERT_EQ(names.size(), BackupFolder::kKeep);
    EXPECT_EQ(names.front(), "2027-01-01_0530.bcf");  // the five oldest and the older one gone
    EXPECT_EQ(names.back(), "2027-01-03_0630.bcf");
    EXPECT_FALSE(fs::exists(dir / "2026-12-31_2359.bcf"));
    EXPECT_FALSE(fs::exists(dir / "2027-01-01_0000.bcf"));
    for (const char* other : {"mine.bcf", "2026-12-08_1402.txt", "2026-12-08_14020.bcf",
                              "2020-01-01_0000_1.bcf", "2020-01-01_0000_02.bcf", "notes"}) {
        EXPECT_TRUE(fs::exists(dir / other)) << other;
    }
}

TEST_F(BackupFolderTest, AFolderThatCannotBeMadeIsSaid) {
    fs::create_directories(dir);
    std::FILE* file = std::fopen((dir / "taken").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    BackupFolder f((dir / "taken" / "backups").string());
    model::CTmpDoc doc;
    std::string path = "stale";
    const model::FileResult r = f.Save(doc, At(2026, 12, 8, 14, 2), path);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "The backup folder " + (dir / "taken" / "backups").string() +
                             " could not be created.");
    EXPECT_TRUE(path.empty());
    EXPECT_TRUE(BackupFolder(std::string()).List().empty());
}

TEST_F(BackupFolderTest, TheDefaultFolderIsInTheUsersDataFolder) {
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string keepData = savedData != nullptr ? savedData : "";
    const char* savedHome = std::getenv("HOME");
    const std::string keepHome = savedHome != nullptr ? savedHome : "";
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/tech", 1);
    EXPECT_EQ(BackupFolder::DefaultPath(), "/home/tech/.local/share/Quillon/backups");
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(BackupFolder::DefaultPath(), "/data/Quillon/backups");
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(BackupFolder::DefaultPath(), "/home/tech/.local/share/Quillon/backups");
    if (savedData != nullptr) {
        ::setenv("XDG_DATA_HOME", keepData.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
    if (savedHome != nullptr) {
        ::setenv("HOME", keepHome.c_str(), 1);
    }
}

}  // namespace
}  // namespace quillon
