#pragma once
// Running the real executables for the end-to-end tests: a command with its
// output captured, and quillon-sim on a pseudo-terminal for the length of a
// test.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace quillon::testing {

inline std::string BinaryPath(const std::string& name) {
    return std::string(QUILLON_BINARY_DIR) + "/" + name;
}

struct RunResult {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
    bool timedOut = false;
    double seconds = 0;     // from the start to the end, by the wall clock
    double cpuSeconds = 0;  // user and system time the program used
};

inline pid_t Spawn(const std::vector<std::string>& argv, int outFd, int errFd,
                   const std::vector<std::string>& extraEnv = {}) {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) {
        posix_spawn_file_actions_adddup2(&fa, outFd, 1);
    }
    if (errFd >= 0) {
        posix_spawn_file_actions_adddup2(&fa, errFd, 2);
    }
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        envStore.emplace_back(*e);
    }
    for (const auto& e : extraEnv) {
        envStore.push_back(e);
    }
    std::vector<char*> env;
    for (auto& e : envStore) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0].c_str(), &fa, nullptr, args.data(), env.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&fa);
    return pid;
}

// Runs a program to its end (killed after timeoutSeconds); with
// interruptAfterMs it gets a SIGINT that many milliseconds after its start,
// as a user pressing Ctrl+C.
// duringRun, when given, is called about every 50 ms while the program runs.
inline RunResult Run(const std::vector<std::string>& argv, int timeoutSeconds = 120,
                     const std::vector<std::string>& extraEnv = {}, int interruptAfterMs = -1,
                     const std::function<void()>& duringRun = {}) {
    RunResult r;
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) {
        return r;
    }
    const pid_t pid = Spawn(argv, out[1], err[1], extraEnv);
    close(out[1]);
    close(err[1]);
    if (pid < 0) {
        close(out[0]);
        close(err[0]);
        return r;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(timeoutSeconds);
    bool interrupted = false;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            r.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (interruptAfterMs >= 0 && !interrupted &&
            std::chrono::steady_clock::now() >
                start + std::chrono::milliseconds(interruptAfterMs)) {
            kill(pid, SIGINT);
            interrupted = true;
        }
        if (duringRun) {
            duringRun();
        }
        if (poll(fds, 2, 50) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP)) != 0) {
                char buf[4096];
                const ssize_t n = read(fds[i].fd, buf, sizeof buf);
                if (n <= 0) {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                } else {
                    (i == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
                }
            }
        }
    }
    for (auto& f : fds) {
        if (f.fd >= 0) {
            close(f.fd);
        }
    }
    int st = 0;
    rusage usage{};
    wait4(pid, &st, 0, &usage);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return r;
}

// quillon-sim on a pseudo-terminal reached through a link in a fresh folder.
class SimCard {
  public:
    explicit SimCard(const std::vector<std::string>& options = {}) {
        char tmpl[] = "/tmp/quillon-e2e-XXXXXX";
        dir_ = mkdtemp(tmpl) != nullptr ? tmpl : "/tmp";
        link_ = dir_ + "/card";
        std::vector<std::string> argv = {BinaryPath("quillon-sim"), "--link", link_};
        argv.insert(argv.end(), options.begin(), options.end());
        logFd_ = open((dir_ + "/sim.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_ = Spawn(argv, logFd_, logFd_);
        for (int i = 0; i < 100 && !std::filesystem::exists(link_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~SimCard() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int st = 0;
            waitpid(pid_, &st, 0);
        }
        if (logFd_ >= 0) {
            close(logFd_);
        }
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    SimCard(const SimCard&) = delete;
    SimCard& operator=(const SimCard&) = delete;
    bool Ready() const { return pid_ > 0 && std::filesystem::exists(link_); }
    // The card dies at once, as a simulator killed or a cable cut: the far
    // end of its terminal closes.
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            int st = 0;
            waitpid(pid_, &st, 0);
            pid_ = -1;
        }
    }
    // What the simulator has printed so far (its trace, with --trace).
    std::string Log() const {
        std::ifstream in(dir_ + "/sim.log", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    const std::string& Link() const { return link_; }
    const std::string& Dir() const { return dir_; }

  private:
    std::string dir_;
    std::string link_;
    pid_t pid_ = -1;
    int logFd_ = -1;
};

}  // namespace quillon::testing
