#include "platform/qt/DeviceLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <set>

namespace quillon::qt {

namespace {

// The names lock files for a device are found under: its last component
// ("LCK..ttyUSB0"), the path below /dev with slashes as underscores
// ("LCK..pts_3"), and the whole path so ("LCK.._dev_ttyUSB0"), for the
// device as named and for the file a link leads to.
std::set<std::string> LockNames(const std::string& device) {
    std::vector<std::string> paths = {device};
    char real[4096];
    if (::realpath(device.c_str(), real) != nullptr && device != real) {
        paths.emplace_back(real);
    }
    std::set<std::string> names;
    for (const std::string& p : paths) {
        const size_t slash = p.rfind('/');
        names.insert(slash == std::string::npos ? p : p.substr(slash + 1));
        std::string flat = p;
        for (char& c : flat) {
            if (c == '/') {
                c = '_';
            }
        }
        names.insert(flat);
        if (p.rfind("/dev/", 0) == 0) {
            names.insert(flat.substr(5));
        }
    }
    names.erase("");
    return names;
}

bool ReadSmallFile(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    char buf[128];  // a lock file's process number is at its start
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n < 0) {
        return false;
    }
    out.assign(buf, static_cast<size_t>(n));
    return true;
}

bool Alive(int pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

std::vector<std::string> DefaultLockFolders() {
    return {"/var/lock", "/run/lock", "/var/spool/lock", "/var/spool/uucp"};
}

int PidInLockFile(const std::string& content) {
    size_t i = 0;
    while (i < content.size() && (content[i] == ' ' || content[i] == '\t')) {
        ++i;
    }
    long value = 0;
    size_t digits = 0;
    while (i < content.size() && content[i] >= '0' && content[i] <= '9' && digits < 10) {
        value = value * 10 + (content[i] - '0');
        ++i;
        ++digits;
    }
    if (digits > 0) {
        const bool ended = i == content.size() || content[i] == '\n' || content[i] == '\r' ||
                           content[i] == ' ' || content[i] == '\0';
        return ended && value > 0 && value <= 0x7fffffff ? static_cast<int>(value) : 0;
    }
    if (content.size() == 4 && content.find('\0') != std::string::npos) {
        // Older programs write the number in binary, in the machine's order;
        // a process number's high byte is zero, which no text lock has.
        int32_t binary = 0;
        std::memcpy(&binary, content.data(), sizeof binary);
        return binary > 0 ? binary : 0;
    }
    return 0;
}

int LiveLockOwner(const std::string& device, const std::vector<std::string>& folders) {
    const int self = static_cast<int>(::getpid());
    for (const std::string& folder : folders) {
        for (const std::string& name : LockNames(device)) {
            std::string content;
            if (!ReadSmallFile(folder + "/LCK.." + name, content)) {
                continue;
            }
            const int pid = PidInLockFile(content);
            if (pid > 0 && pid != self && Alive(pid)) {
                return pid;
            }
        }
    }
    return 0;
}

bool LockDeviceExclusively(int fd) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EINTR) {
            // Only a lock held elsewhere refuses the device; a file system
            // without flock support cannot lock it, and does not stop us.
            return errno != EWOULDBLOCK;
        }
    }
}

}  // namespace quillon::qt
