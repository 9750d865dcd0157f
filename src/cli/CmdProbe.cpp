// quillon-cli probe: finds the card's mode, logs in, checks its version and
// logs out again.
#include "cli/CmdProbe.h"

#include <cstdio>
#include <string>

#include "cli/CardCommand.h"
#include "cli/CliSession.h"

namespace quillon::cli {

namespace {

// The procedure's own message is on stderr already; a cancelled one shows
// none in the program, so the command says it was cancelled.
int Failed(const CliCall& call, const CliSession& s) {
    if (s.Interrupted()) {
        std::fprintf(call.err, "Cancelled.\n");
    }
    return kExitFailure;
}

}  // namespace

int RunProbe(const CliCall& call) {
    const std::string& device = *call.Value("device");
    CliSession s(device);
    StartLogIfAsked(call, s);
    if (!s.Open()) {
        std::fprintf(call.err, "You must select a serial port first!\n(%s could not be opened)\n",
                     device.c_str());
        return kExitFailure;
    }
    CTmpApp& app = s.App();
    ModemCall modem(call, s);
    if (!modem.Ok()) {
        return kExitFailure;  // the dial said why
    }

    const bool found = app.DetectCardMode();
    s.Progress().Hide();
    if (!found) {
        return Failed(call, s);
    }
    if (app.CardInBinaryMode()) {
        std::fprintf(call.out, "Mode: binary\n");
        std::fprintf(call.out, "BCP version: not available while the card is in binary mode\n");
        return kExitOk;
    }
    const bool wasLoggedIn = app.CardLoggedIn();
    const char* mode = wasLoggedIn ? "text, logged in" : "text, at the login prompt";
    if (const std::string* password = call.Value("password")) {
        app.StartLogin(*password);
    } else {
        app.StartLogin();
    }
    s.RunUntil([&] { return !app.ProcedureRunning(); }, 600);
    s.Progress().Hide();
    const bool ok = app.CardLoggedIn() && app.IsCardCompatible();
    // A session this command opened does not outlive it; one that was open
    // before is left as it was found.
    if (!wasLoggedIn) {
        app.LogOut();
    }
    if (!ok) {
        return Failed(call, s);
    }
    std::fprintf(call.out, "Mode: %s\n", mode);
    std::fprintf(call.out, "BCP version: %g\n", static_cast<double>(app.CardVersion()));
    return kExitOk;
}

}  // namespace quillon::cli
