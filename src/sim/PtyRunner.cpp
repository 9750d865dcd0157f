#include "sim/PtyRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include "sim/CardRig.h"
#include "sim/VirtualClock.h"

namespace quillon::sim {

namespace {

constexpr std::streamoff kMaxStateFile = 4 * 1024 * 1024;
// What waits for the terminal's reader; a reader that stops reading loses
// the rest, as a real UART would overrun.
constexpr size_t kMaxPending = 65536;

std::string ByteName(uint8_t b) {
    switch (b) {
        case 0x01:
            return "SOH";
        case 0x04:
            return "EOT";
        case 0x06:
            return "ACK";
        case 0x0A:
            return "LF";
        case 0x0D:
            return "CR";
        case 0x15:
            return "NAK";
        case 0x1B:
            return "ESC";
        default:
            break;
    }
    if (b >= 0x20 && b < 0x7F) {
        return std::string("'") + static_cast<char>(b) + "'";
    }
    return "";
}

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

class Link {
  public:
    ~Link() { Remove(); }
    bool Make(const std::string& path, const std::string& target, std::string& error) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = path + " exists and is not a symbolic link; not replacing it";
                return false;
            }
            ::unlink(path.c_str());
        }
        if (::symlink(target.c_str(), path.c_str()) != 0) {
            error = "cannot create the link " + path + ": " + std::strerror(errno);
            return false;
        }
        path_ = path;
        target_ = target;
        return true;
    }
    void Remove() {
        if (path_.empty()) {
            return;
        }
        // Only our own link: someone may have put another one there since.
        std::array<char, 4096> buf{};
        const ssize_t n = ::readlink(path_.c_str(), buf.data(), buf.size() - 1);
        if (n > 0 && std::string(buf.data(), static_cast<size_t>(n)) == target_) {
            ::unlink(path_.c_str());
        }
        path_.clear();
    }

  private:
    std::string path_;
    std::string target_;
};

}  // namespace

bool LoadStateFile(const std::string& path, CardContent& out, bool& existed, std::string& error) {
    existed = false;
    out = CardContent::Factory();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
            return true;
        }
        error = "cannot read " + path;
        return false;
    }
    existed = true;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxStateFile) {
        error = path + " is too big to be a card state";
        return false;
    }
    in.seekg(0);
    std::string text(static_cast<size_t>(size), '\0');
    in.read(text.data(), size);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string why;
    if (!ContentFromJson(text, out, why)) {
        error = path + ": " + why;
        return false;
    }
    return true;
}

namespace {

// Noise written before anyone opens the terminal waits in its input queue,
// as bytes a card sent while no one listened wait in a serial adapter.
// Returns how many the terminal took.
size_t QueueStaleBytes(int master, uint32_t count, uint32_t seed) {
    std::vector<uint8_t> noise(count);
    uint32_t x = seed * 2654435761u + 1u;
    for (uint8_t& b : noise) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
    size_t done = 0;
    for (int tries = 0; tries < 50 && done < noise.size(); ++tries) {
        const ssize_t w = ::write(master, noise.data() + done, noise.size() - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        pollfd pfd{master, POLLOUT, 0};
        ::poll(&pfd, 1, 10);
    }
    return done;
}

}  // namespace

bool SaveStateFile(const std::string& path, const CardContent& content, std::string& error) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream outFile(tmp, std::ios::binary | std::ios::trunc);
        outFile << ContentToJson(content);
        outFile.flush();
        if (!outFile) {
            error = "cannot write " + tmp;
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

int RunOnPty(const SimOptions& options, const volatile std::sig_atomic_t& stop, std::FILE* out,
             std::FILE* err) {
    CardContent content;
    if (!options.statePath.empty()) {
        bool existed = false;
        std::string error;
        if (!LoadStateFile(options.statePath, content, existed, error)) {
            std::fprintf(err, "quillon-sim: %s\n", error.c_str());
            return 2;
        }
    } else {
        content = CardContent::Factory();
    }

    Fd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (master.get() < 0 || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        std::fprintf(err, "quillon-sim: cannot create a pseudo-terminal: %s\n",
                     std::strerror(errno));
        return 1;
    }
    std::array<char, 256> nameBuf{};
    if (::ptsname_r(master.get(), nameBuf.data(), nameBuf.size()) != 0) {
        std::fprintf(err, "quillon-sim: cannot name the pseudo-terminal\n");
        return 1;
    }
    const std::string device(nameBuf.data());
    // Holding the terminal open ourselves keeps the master from hanging up
    // between clients, and lets us leave it raw at 9600 baud for clients
    // that do not set the line up themselves.
    Fd slave(::open(device.c_str(), O_RDWR | O_NOCTTY));
    if (slave.get() < 0) {
        std::fprintf(err, "quillon-sim: cannot open %s: %s\n", device.c_str(),
                     std::strerror(errno));
        return 1;
    }
    termios tio{};
    if (::tcgetattr(slave.get(), &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(slave.get(), TCSANOW, &tio);
    }
    if (options.staleBytes > 0) {
        const size_t queued = QueueStaleBytes(master.get(), options.staleBytes, options.seed);
        std::fprintf(err, "quillon-sim: %zu stale bytes wait on the line\n", queued);
    }
    Link link;
    if (!options.linkPath.empty()) {
        std::string error;
        if (!link.Make(options.linkPath, device, error)) {
            std::fprintf(err, "quillon-sim: %s\n", error.c_str());
            return 1;
        }
    }

    VirtualClock clock(0);
    const auto start = std::chrono::steady_clock::now();
    auto elapsedNs = [&start] {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count());
    };
    ByteTrace trace;
    if (options.trace) {
        trace = [&clock, out](bool toCard, uint8_t b) {
            std::fprintf(out, "%12.6f %s %02x %s\n", static_cast<double>(clock.NowNs()) / 1e9,
                         toCard ? "PC->card" : "card->PC", b, ByteName(b).c_str());
        };
    }
    CardRig rig(clock, options, content, trace);
    bool dirty = !options.statePath.empty();  // a new state file is written at once
    rig.Card().SetOnChange([&dirty] { dirty = true; });
    auto save = [&] {
        std::string error;
        if (!SaveStateFile(options.statePath, rig.Card().Content(), error)) {
            std::fprintf(err, "quillon-sim: %s\n", error.c_str());
        }
    };

    std::fprintf(out, "%s\n", device.c_str());
    std::fflush(out);
    std::fprintf(err, "quillon-sim: card on %s%s%s%s; log in as \"field\"%s\n", device.c_str(),
                 options.linkPath.empty() ? "" : " (link ", options.linkPath.c_str(),
                 options.linkPath.empty() ? "" : ")", options.modem ? ", behind a modem" : "");
    std::fflush(err);

    std::vector<uint8_t> pending;
    std::array<uint8_t, 4096> buf{};
    while (stop == 0) {
        clock.AdvanceTo(elapsedNs());
        for (;;) {
            const int n = rig.Host().Read(buf.data(), static_cast<int>(buf.size()));
            if (n <= 0) {
                break;
            }
            const size_t room = kMaxPending - std::min(kMaxPending, pending.size());
            pending.insert(
                pending.end(), buf.begin(),
                buf.begin() + static_cast<std::ptrdiff_t>(std::min(room, static_cast<size_t>(n))));
        }
        if (!pending.empty()) {
            const ssize_t w = ::write(master.get(), pending.data(), pending.size());
            if (w > 0) {
                pending.erase(pending.begin(), pending.begin() + w);
            }
        }
        if (dirty && !options.statePath.empty()) {
            dirty = false;
            save();
        }
        if (options.trace) {
            std::fflush(out);
        }

        const uint64_t now = elapsedNs();
        const uint64_t next = clock.NextEventNs();
        int timeoutMs = 1000;
        if (next != std::numeric_limits<uint64_t>::max()) {
            const uint64_t wait = next > now ? next - now : 0;
            timeoutMs = static_cast<int>(std::min<uint64_t>(
                1000, (wait + VirtualClock::kNsPerMs - 1) / VirtualClock::kNsPerMs));
        }
        pollfd pfd{master.get(), static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
        const int r = ::poll(&pfd, 1, timeoutMs);
        if (r < 0) {
            continue;  // a signal: the loop condition decides
        }
        if ((pfd.revents & POLLIN) != 0) {
            const ssize_t n = ::read(master.get(), buf.data(), buf.size());
            if (n > 0) {
                clock.AdvanceTo(elapsedNs());
                rig.Host().Write(buf.data(), static_cast<int>(n));
            }
        } else if ((pfd.revents & (POLLHUP | POLLERR)) != 0) {
            ::usleep(20000);  // cannot happen while we hold the terminal; never spin
        }
    }
    if (!options.statePath.empty()) {
        save();
    }
    std::fprintf(err, "quillon-sim: stopped\n");
    return 0;
}

}  // namespace quillon::sim
