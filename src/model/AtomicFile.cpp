#include "model/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "model/Messages.h"
#include "model/SaveMessages.h"

namespace quillon::model {

namespace {

SaveSystem& RealSystem() {
    static SaveSystem real;
    return real;
}

// Saves happen on the program's one main thread; the seam needs no lock.
SaveSystem* g_system = nullptr;

SaveSystem& CurrentSystem() {
    return g_system != nullptr ? *g_system : RealSystem();
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the error a deferred write may only show here.
    int Close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

  private:
    int fd_;
};

// The file a path finally names: links are followed, so that saving through
// a link replaces the file it leads to and leaves the link alone.
bool FollowLinks(const std::string& path, std::string& out) {
    std::string p = path;
    for (int hop = 0; hop < 40; ++hop) {
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf - 1);
        if (n < 0) {
            out = p;  // not a link, or not there yet: the file goes here
            return true;
        }
        std::string target(buf, static_cast<size_t>(n));
        if (target.empty()) {
            return false;
        }
        if (target[0] != '/') {
            const size_t slash = p.rfind('/');
            if (slash != std::string::npos) {
                target = p.substr(0, slash + 1) + target;
            }
        }
        p = target;
    }
    return false;  // a loop of links
}

SaveOutcome Fail(SaveOutcome::Step step, int error) {
    SaveOutcome o;
    o.failedAt = step;
    o.error = error != 0 ? error : EIO;
    return o;
}

bool WriteAll(SaveSystem& sys, int fd, const uint8_t* data, size_t size, int& error) {
    size_t done = 0;
    while (done < size) {
        const std::ptrdiff_t n = sys.Write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;  // a device that takes nothing more is full
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::ptrdiff_t SaveSystem::Write(int fd, const uint8_t* data, size_t size) {
    return ::write(fd, data, size);
}

int SaveSystem::Fsync(int fd) {
    return ::fsync(fd);
}

ScopedSaveSystem::ScopedSaveSystem(SaveSystem& system) : previous_(g_system) {
    g_system = &system;
}

ScopedSaveSystem::~ScopedSaveSystem() {
    g_system = previous_;
}

SaveOutcome SaveFileAtomically(const std::string& path, const uint8_t* data, size_t size) {
    using Step = SaveOutcome::Step;
    std::string real;
    if (path.empty() || !FollowLinks(path, real)) {
        return Fail(Step::Create, path.empty() ? ENOENT : ELOOP);
    }
    const size_t slash = real.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : (slash == 0 ? "/" : real.substr(0, slash));
    const std::string name = slash == std::string::npos ? real : real.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return Fail(Step::Create, EISDIR);
    }

    // Everything happens relative to the folder opened here, so the
    // temporary file, the rename and the clean-up all meet in one place.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        return Fail(Step::Folder, errno);
    }
    struct stat old {};
    const bool existed = ::fstatat(dir.get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        // Never rename over a folder, a device or a pipe.
        return Fail(Step::Create, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    }

    std::string tmp;
    int fdNumber = -1;
    for (int attempt = 0; attempt < 100 && fdNumber < 0; ++attempt) {
        tmp = name + ".tmp" + std::to_string(attempt);
        // O_EXCL: never write into a file that happens to have that name.
        fdNumber = ::openat(dir.get(), tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            existed ? 0600 : 0666);
        if (fdNumber < 0 && errno != EEXIST) {
            return Fail(Step::Create, errno);
        }
    }
    if (fdNumber < 0) {
        return Fail(Step::Create, EEXIST);
    }
    Fd file(fdNumber);
    SaveSystem& sys = CurrentSystem();
    auto abandon = [&](Step step, int error) {
        if (file.get() >= 0) {
            file.Close();
        }
        ::unlinkat(dir.get(), tmp.c_str(), 0);
        return Fail(step, error);
    };
    if (existed) {
        // The owner first: changing it clears set-id bits the mode restores.
        // Only root may give a file away; anyone else keeps their own file.
        if (::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
            (void)::fchown(file.get(), static_cast<uid_t>(-1), old.st_gid);
        }
        ::fchmod(file.get(), old.st_mode & 07777);
    }
    int error = 0;
    if (!WriteAll(sys, file.get(), data, size, error)) {
        return abandon(Step::Write, error);
    }
    if (sys.Fsync(file.get()) != 0) {
        return abandon(Step::Sync, errno);
    }
    if (file.Close() != 0) {
        return abandon(Step::Write, errno);
    }
    sys.BeforeRename();
    if (::renameat(dir.get(), tmp.c_str(), dir.get(), name.c_str()) != 0) {
        return abandon(Step::Rename, errno);
    }
    // The rename itself reaches the disk only with the folder. If this
    // fails the new content is in place all the same; nothing is undone.
    (void)sys.Fsync(dir.get());
    return SaveOutcome{};
}

std::string DescribeSaveFailure(const std::string& path, const SaveOutcome& outcome) {
    if (outcome.failedAt == SaveOutcome::Step::Folder ||
        outcome.failedAt == SaveOutcome::Step::Create) {
        return msg::kInvalidFilename;  // nothing was written, as with a name that cannot be
    }
    std::string text = savemsg::kSaveFailed;
    const std::string reason = std::strerror(outcome.error);
    auto put = [&text](const char* key, const std::string& value) {
        const size_t at = text.find(key);
        if (at != std::string::npos) {
            text.replace(at, 2, value);
        }
    };
    put("%2", reason);  // first, so a "%2" in the name stays as it is
    put("%1", path);
    return text;
}

}  // namespace quillon::model
