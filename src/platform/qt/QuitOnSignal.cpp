#include "platform/qt/QuitOnSignal.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <utility>

namespace quillon::qt {

namespace {
int g_fds[2] = {-1, -1};
std::function<void()> g_handler;

void OnSignal(int) {
    // Only async-signal-safe work here: the event loop does the rest.
    const char b = 1;
    [[maybe_unused]] const ssize_t r = ::write(g_fds[0], &b, 1);
}

bool MakeNotifier() {
    if (g_fds[0] >= 0) {
        return true;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0) {
        return false;
    }
    auto* notifier =
        new QSocketNotifier(g_fds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char b;
        [[maybe_unused]] const ssize_t r = ::read(g_fds[1], &b, 1);
        if (g_handler) {
            // A copy: the handler may replace itself.
            const std::function<void()> handler = g_handler;
            handler();
        }
    });
    return true;
}

void Install(void (*action)(int)) {
    struct sigaction sa {};
    sa.sa_handler = action;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}
}  // namespace

void OnTerminationSignals(std::function<void()> handler) {
    if (!MakeNotifier()) {
        return;
    }
    g_handler = std::move(handler);
    Install(OnSignal);
}

void DefaultTerminationSignals() {
    Install(SIG_DFL);
    g_handler = nullptr;
}

void QuitOnTerminationSignals() {
    OnTerminationSignals([] { QCoreApplication::quit(); });
}

}  // namespace quillon::qt
