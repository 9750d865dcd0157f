// Saving replaces a file whole or not at all: the previous content survives
// a full disk, a failing device and a vanished folder byte for byte, the
// file keeps its permissions, and a link keeps leading to it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FixedChannelDoc.h"
#include "model/AtomicFile.h"
#include "model/ChannelCsv.h"
#include "model/DocumentFile.h"
#include "model/Messages.h"

namespace {

namespace fs = std::filesystem;
using namespace quillon::model;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

SaveOutcome Save(const fs::path& p, const std::string& text) {
    return SaveFileAtomically(p.string(), reinterpret_cast<const uint8_t*>(text.data()),
                              text.size());
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file system that takes `room` bytes and then reports itself full.
class FullDisk : public SaveSystem {
  public:
    explicit FullDisk(size_t room) : room_(room) {}
    std::ptrdiff_t Write(int fd, const uint8_t* data, size_t size) override {
        if (room_ == 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t n = std::min(room_, size);
        room_ -= n;
        return SaveSystem::Write(fd, data, n);
    }

  private:
    size_t room_;
};

// Writes at most a few bytes per call, as a pipe-like device may.
class ShortWrites : public SaveSystem {
  public:
    std::ptrdiff_t Write(int fd, const uint8_t* data, size_t size) override {
        ++calls;
        return SaveSystem::Write(fd, data, std::min<size_t>(size, 7));
    }
    int calls = 0;
};

class FailingSync : public SaveSystem {
  public:
    int Fsync(int) override {
        errno = EIO;
        return -1;
    }
};

// Counts the syncs: the file's and, after the rename, the folder's.
class CountingSync : public SaveSystem {
  public:
    int Fsync(int fd) override {
        struct stat st {};
        fstat(fd, &st);
        (S_ISDIR(st.st_mode) ? folderSyncs : fileSyncs) += 1;
        renamedBeforeFolderSync = renamed;
        return SaveSystem::Fsync(fd);
    }
    void BeforeRename() override { renamed = true; }
    int fileSyncs = 0;
    int folderSyncs = 0;
    bool renamed = false;
    bool renamedBeforeFolderSync = false;
};

class RemovesFolder : public SaveSystem {
  public:
    explicit RemovesFolder(fs::path dir) : dir_(std::move(dir)) {}
    void BeforeRename() override { fs::remove_all(dir_); }

  private:
    fs::path dir_;
};

class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quillon-save-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        oldMask = umask(022);
    }
    void TearDown() override {
        umask(oldMask);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
    mode_t oldMask = 0;
};

TEST_F(AtomicFileTest, ReplacesTheContentAndLeavesNoTemporaryFile) {
    const fs::path f = dir / "plan.bcf";
    Put(f, "old content that is longer than the new one");
    CountingSync sync;
    {
        ScopedSaveSystem seam(sync);
        EXPECT_TRUE(Save(f, "new").ok());
    }
    EXPECT_EQ(Slurp(f), "new");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"plan.bcf"});
    // The file reaches the disk before the rename, the folder after it.
    EXPECT_EQ(sync.fileSyncs, 1);
    EXPECT_EQ(sync.folderSyncs, 1);
    EXPECT_TRUE(sync.renamedBeforeFolderSync);

    // A new file, and an empty one.
    EXPECT_TRUE(Save(dir / "fresh.csv", "a,b\r\n").ok());
    EXPECT_EQ(Slurp(dir / "fresh.csv"), "a,b\r\n");
    EXPECT_TRUE(Save(f, "").ok());
    EXPECT_EQ(fs::file_size(f), 0u);
}

TEST_F(AtomicFileTest, WritesEverythingWhenTheSystemTakesLittleAtATime) {
    const std::string text(1000, 'x');
    ShortWrites shortWrites;
    ScopedSaveSystem seam(shortWrites);
    ASSERT_TRUE(Save(dir / "f", text + "end").ok());
    EXPECT_EQ(Slurp(dir / "f"), text + "end");
    EXPECT_GE(shortWrites.calls, 143);
}

TEST_F(AtomicFileTest, KeepsTheFilesPermissionsAndGivesNewFilesTheUsualOnes) {
    const fs::path f = dir / "plan.bcf";
    Put(f, "old");
    ASSERT_EQ(chmod(f.c_str(), 0640), 0);
    ASSERT_TRUE(Save(f, "new").ok());
    struct stat st {};
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    ASSERT_EQ(chmod(f.c_str(), 0604), 0);
    ASSERT_TRUE(Save(f, "newer").ok());
    ASSERT_EQ(stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);

    const fs::path n = dir / "new.bcf";
    ASSERT_TRUE(Save(n, "x").ok());
    ASSERT_EQ(stat(n.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);  // 0666 less the umask
}

TEST_F(AtomicFileTest, FollowsSymbolicLinksInsteadOfReplacingThem) {
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    Put(dir / "real" / "plan.bcf", "old");
    // A relative link, resolved from the link's own folder, through a
    // second link.
    fs::create_symlink("../real/plan.bcf", dir / "links" / "first");
    fs::create_symlink(dir / "links" / "first", dir / "second");
    ASSERT_TRUE(Save(dir / "second", "new").ok());
    EXPECT_TRUE(fs::is_symlink(dir / "second"));
    EXPECT_TRUE(fs::is_symlink(dir / "links" / "first"));
    EXPECT_EQ(Slurp(dir / "real" / "plan.bcf"), "new");
    EXPECT_EQ(Names(dir / "real"), std::vector<std::string>{"plan.bcf"});

    // A link to a file not there yet creates it where the link leads.
    fs::create_symlink("real/later.bcf", dir / "later");
    ASSERT_TRUE(Save(dir / "later", "made").ok());
    EXPECT_EQ(Slurp(dir / "real" / "later.bcf"), "made");
    EXPECT_TRUE(fs::is_symlink(dir / "later"));

    // A loop of links is refused and changes nothing.
    fs::create_symlink(dir / "loop2", dir / "loop1");
    fs::create_symlink(dir / "loop1", dir / "loop2");
    const SaveOutcome loop = Save(dir / "loop1", "x");
    EXPECT_FALSE(loop.ok());
    EXPECT_EQ(loop.error, ELOOP);
    EXPECT_TRUE(fs::is_symlink(dir / "loop1"));
}

TEST_F(AtomicFileTest, AFullDiskLeavesThePreviousFileIntact) {
    const fs::path f = dir / "plan.bcf";
    const std::string before("\x00\x01previous\xff content\r\n", 21);
    Put(f, before);
    for (size_t room : {0u, 1u, 20u, 4095u}) {
        FullDisk full(room);
        ScopedSaveSystem seam(full);
        const SaveOutcome r = Save(f, std::string(5000, 'n'));
        EXPECT_FALSE(r.ok()) << room;
        EXPECT_EQ(r.failedAt, SaveOutcome::Step::Write) << room;
        EXPECT_EQ(r.error, ENOSPC) << room;
        EXPECT_EQ(Slurp(f), before) << room;
        EXPECT_EQ(Names(dir), std::vector<std::string>{"plan.bcf"}) << room;
        EXPECT_EQ(DescribeSaveFailure(f.string(), r),
                  f.string() +
                      " could not be saved: No space left on device.\n"
                      "The file on disk is unchanged.");
    }
}

TEST_F(AtomicFileTest, AFailingSyncLeavesThePreviousFileIntact) {
    const fs::path f = dir / "plan.bcf";
    Put(f, "previous");
    FailingSync failing;
    ScopedSaveSystem seam(failing);
    const SaveOutcome r = Save(f, "new");
    EXPECT_EQ(r.failedAt, SaveOutcome::Step::Sync);
    EXPECT_EQ(r.error, EIO);
    EXPECT_EQ(Slurp(f), "previous");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"plan.bcf"});
}

TEST_F(AtomicFileTest, AFolderThatVanishesIsAFailureNotACrash) {
    const fs::path sub = dir / "sub";
    fs::create_directories(sub);
    Put(sub / "plan.bcf", "previous");
    {
        RemovesFolder remover(sub);
        ScopedSaveSystem seam(remover);
        const SaveOutcome r = Save(sub / "plan.bcf", "new");
        EXPECT_EQ(r.failedAt, SaveOutcome::Step::Rename);
        EXPECT_NE(r.error, 0);
    }
    EXPECT_FALSE(fs::exists(sub));

    // A folder that is not there at all: nothing can be created.
    const SaveOutcome gone = Save(sub / "plan.bcf", "new");
    EXPECT_EQ(gone.failedAt, SaveOutcome::Step::Folder);
    EXPECT_EQ(DescribeSaveFailure("x", gone), "Invalid filename.");
}

TEST_F(AtomicFileTest, NeverRenamesOverAFolderOrAPipe) {
    fs::create_directories(dir / "folder");
    EXPECT_EQ(Save(dir / "folder", "x").error, EISDIR);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
    EXPECT_FALSE(Save(dir / "pipe", "x").ok());
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_FALSE(Save(dir / "folder" / "", "x").ok());
    EXPECT_FALSE(Save("", "x").ok());
}

TEST_F(AtomicFileTest, DocumentAndCsvSavesThatFailKeepTheOldFileAndSaySo) {
    CTmpDoc doc;
    quillon::testing::FillFixedChannels(doc);
    doc.SetModified(true);
    const fs::path bcf = dir / "plan.bcf";
    const fs::path csv = dir / "plan.csv";
    Put(bcf, "old document");
    Put(csv, "old,table\r\n");
    {
        FullDisk full(100);
        ScopedSaveSystem seam(full);
        const FileResult saved = SaveDocumentFile(bcf.string(), doc);
        EXPECT_EQ(saved.status, FileResult::Status::Failed);
        EXPECT_EQ(saved.message, bcf.string() +
                                     " could not be saved: No space left on device.\n"
                                     "The file on disk is unchanged.");
        EXPECT_TRUE(doc.IsModified());  // still unsaved
        const FileResult exported = ExportCsvFile(csv.string(), doc);
        EXPECT_EQ(exported.status, FileResult::Status::Failed);
        EXPECT_NE(exported.message.find("No space left on device"), std::string::npos);
    }
    EXPECT_EQ(Slurp(bcf), "old document");
    EXPECT_EQ(Slurp(csv), "old,table\r\n");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"plan.bcf", "plan.csv"}));

    // With room the same saves go through.
    ASSERT_TRUE(SaveDocumentFile(bcf.string(), doc).ok());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_GT(fs::file_size(bcf), 1000u);
    ASSERT_TRUE(ExportCsvFile(csv.string(), doc).ok());
    EXPECT_NE(Slurp(csv).find("CH511"), std::string::npos);
}

}  // namespace
