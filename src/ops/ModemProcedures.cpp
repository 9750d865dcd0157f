#include "ops/ModemProcedures.h"

#include <string>

#include "bci/CBciLink.h"
#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"

namespace quillon {

namespace {

constexpr int kInitSeconds = 10;
constexpr int kDialSeconds = 40;
constexpr int kWakeSeconds = 1;
constexpr int kEscapeSeconds = 5;
constexpr int kHangupSeconds = 20;
// The silence a modem needs before "+++" to take it as its escape.
constexpr uint32_t kGuardMs = 2000;

bool Contains(const std::string& s, const char* what) {
    return s.find(what) != std::string::npos;
}

// One exchange on the current link object, looked up afresh because the
// wait dispatches messages. A modem told not to echo ("E0" in the init
// string) answers without the command in front, so the echo is taken off
// only where the reply really starts with it; cutting by length would eat
// the start of "CONNECT" or "OK".
std::string Exchange(CTmpApp& app, const std::string& command, int seconds, const char* expected) {
    CBciLink* link = app.Link();
    if (link == nullptr) {
        return std::string();
    }
    std::string reply = link->SendText(command, seconds, true, expected);
    if (reply.compare(0, command.size(), command) == 0) {
        reply.erase(0, command.size());
    }
    return reply;
}

void ShowProgress(CTmpApp& app, const char* title, const char* text) {
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.SetTitle(title);
    progress.SetText(text);
    progress.ResetBar();
}

// The procedure was cancelled or replaced during a wait.
bool Stopped(const CTmpApp& app, int code) {
    return app.textProcedure != code || app.Link() == nullptr;
}

}  // namespace

void StepModemDial(CTmpApp& app) {
    constexpr int code = textproc::kModemDial;
    ShowProgress(app, msg::kTitleDial, msg::kTextDialing);
    const std::string init = Exchange(app, app.modemInit + "\r\n", kInitSeconds, "OK");
    if (Stopped(app, code)) {
        return;
    }
    if (!Contains(init, "OK")) {
        app.GetPrompts().MessageBox(msg::kModemNotResponding, Icon::Exclamation);
        app.EndTextProcedure();
        return;
    }
    const std::string reply =
        Exchange(app, app.modemDial + app.modemPhone + "\r\n", kDialSeconds, "CONNECT");
    if (app.sessionState == session::kCancelled) {
        // Cancel already interrupted the call; nothing to report.
        app.SetSessionState(session::kDialCancelled);
        app.EndTextProcedure();
        return;
    }
    if (Stopped(app, code)) {
        return;
    }
    app.Progress().SetBar(100.0f);
    app.GetPrompts().MessageBox(reply, Icon::None);
    // CONNECT first: a reply that carries an earlier BUSY and then a
    // connection is a connection.
    if (Contains(reply, "CONNECT")) {
        app.GetPrompts().MessageBox(msg::kModemConnected, Icon::Information);
    } else if (Contains(reply, "BUSY")) {
        app.GetPrompts().MessageBox(msg::kModemBusy, Icon::Exclamation);
    } else if (Contains(reply, "NO CARRIER")) {
        app.GetPrompts().MessageBox(msg::kModemNoCarrier, Icon::Exclamation);
    } else if (Contains(reply, "NO DIALTONE")) {
        app.GetPrompts().MessageBox(msg::kModemNoDialtone, Icon::Exclamation);
    } else {
        app.GetPrompts().MessageBox(msg::kModemFailed, Icon::Exclamation);
    }
    app.EndTextProcedure();
}

void StepModemHangup(CTmpApp& app) {
    constexpr int code = textproc::kModemHangup;
    ShowProgress(app, msg::kTitleDisconnecting, msg::kTextHangingUp);
    Exchange(app, "\r\n", kWakeSeconds, "OK");
    if (Stopped(app, code)) {
        return;
    }
    // Silence on purpose: nothing may reach the modem during its guard
    // time, so no message is handled either.
    Clock& clock = app.GetClock();
    const uint32_t start = clock.TickCountMs();
    for (uint32_t waited = 0; waited < kGuardMs; waited = clock.TickCountMs() - start) {
        clock.SleepMs(kGuardMs - waited);
    }
    Exchange(app, "+++", kEscapeSeconds, "OK");
    if (Stopped(app, code)) {
        return;
    }
    const std::string reply = Exchange(app, app.modemHangup + "\r\n", kHangupSeconds, "OK");
    if (Stopped(app, code)) {
        return;
    }
    app.GetPrompts().MessageBox(Contains(reply, "OK") ? msg::kHangupDone : msg::kHangupFailed,
                                Icon::Exclamation);
    app.EndTextProcedure();
}

}  // namespace quillon
