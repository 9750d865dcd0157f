#pragma once
// The one way this program replaces a file: the new content goes to a
// temporary file in the same folder, reaches the disk, and is then renamed
// over the old file, so that at every moment the name holds either the whole
// old content or the whole new one, even across a crash or a full disk.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon::model {

struct SaveOutcome {
    enum class Step { None, Folder, Create, Write, Sync, Rename };
    Step failedAt = Step::None;
    int error = 0;  // the system's error number of the failed step

    bool ok() const { return failedAt == Step::None; }
};

// Saves size bytes at path. A symbolic link is followed (the file it leads
// to is replaced, the link stays); an existing file keeps its permissions
// and, where allowed, its owner. On failure the old file is untouched and
// no temporary file is left behind.
SaveOutcome SaveFileAtomically(const std::string& path, const uint8_t* data, size_t size);

// The user's message about a failed save of path: "Invalid filename." when
// the file could not even be created, else what went wrong later and that
// the file on disk is unchanged.
std::string DescribeSaveFailure(const std::string& path, const SaveOutcome& outcome);

// The system calls a save depends on. Tests put their own in place to play
// a full disk or a failing device; everyone else gets the real ones.
class SaveSystem {
  public:
    virtual ~SaveSystem() = default;
    // As write(2): bytes written, or -1 with errno set.
    virtual std::ptrdiff_t Write(int fd, const uint8_t* data, size_t size);
    virtual int Fsync(int fd);
    // Called once the temporary file is complete and synced, just before
    // the rename; a test may disturb the folder here.
    virtual void BeforeRename() {}
};

// Makes every save in this process use system while it lives.
class ScopedSaveSystem {
  public:
    explicit ScopedSaveSystem(SaveSystem& system);
    ~ScopedSaveSystem();
    ScopedSaveSystem(const ScopedSaveSystem&) = delete;
    ScopedSaveSystem& operator=(const ScopedSaveSystem&) = delete;

  private:
    SaveSystem* previous_;
};

}  // namespace quillon::model
