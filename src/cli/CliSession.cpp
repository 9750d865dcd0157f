#include "cli/CliSession.h"

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "platform/qt/QuitOnSignal.h"

namespace quillon::cli {

CliSession::CliSession(const std::string& devicePath) : device_(devicePath) {
    devices_ = std::make_unique<qt::QtSerialFactory>(
        [this](const std::string& com) { return com == "COM1" ? device_ : std::string(); });
    app_ = std::make_unique<CTmpApp>(
        CTmpApp::Deps{*devices_, clock_, pump_, prompts_, progress_, settings_, log_});
    pump_.SetTarget(app_.get());
    qt::OnTerminationSignals([this] {
        interrupted_ = true;
        qt::DefaultTerminationSignals();
        progress_.Hide();
        std::fputs("Cancelling...\n", stderr);
        app_->CancelProcedures();
    });
}

CliSession::~CliSession() {
    qt::DefaultTerminationSignals();
    progress_.Hide();
    app_.reset();
}

void CliSession::StartLog(const std::string& path) {
    if (!log_.Open(path)) {
        std::fprintf(stderr, "The communication log %s could not be created.\n", path.c_str());
        return;
    }
    log_.Start();
}

bool CliSession::Open() {
    // The device from the command line stands for COM1.
    return app_->OpenPort(0);
}

bool CliSession::RunUntil(const std::function<bool()>& done, int maxSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(maxSeconds);
    // Wakes the loop now and then even when nothing else happens, so the
    // deadline is seen; the program's own 50 ms tick usually comes first.
    QTimer wake;
    wake.start(100);
    while (!done() && !(interrupted_ && !app_->ProcedureRunning())) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        // Blocks until an event comes. (The overload with a time limit never
        // blocks: it drops WaitForMoreEvents, and the loop would spin a core
        // while the card sends a table.)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace quillon::cli
