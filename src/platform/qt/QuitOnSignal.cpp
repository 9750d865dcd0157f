#include "platform/qt/QuitOnSignal.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace quillon::qt {

namespace {
int g_fds[2] = {-1, -1};

void OnSignal(int) {
    // Only async-signal-safe work here: the event loop does the rest.
    const char b = 1;
    [[maybe_unused]] const ssize_t r = ::write(g_fds[0], &b, 1);
}
}  // namespace

void QuitOnTerminationSignals() {
    if (g_fds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0) {
        return;
    }
    auto* notifier =
        new QSocketNotifier(g_fds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char b;
        [[maybe_unused]] const ssize_t r = ::read(g_fds[1], &b, 1);
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

}  // namespace quillon::qt
