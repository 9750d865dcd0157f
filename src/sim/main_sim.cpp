// quillon-sim: the simulated transceiver card on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/PtyRunner.h"
#include "sim/SimOptions.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void OnSignal(int) {
    g_stop = 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    quillon::sim::SimOptions options;
    std::string error;
    if (!quillon::sim::ParseSimArgs(args, options, error)) {
        std::fprintf(stderr, "quillon-sim: %s\n", error.c_str());
        return 64;
    }
    if (options.help) {
        std::fputs(quillon::sim::SimUsage().c_str(), stdout);
        return 0;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: poll returns and the loop sees the flag
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return quillon::sim::RunOnPty(options, g_stop, stdout, stderr);
}
