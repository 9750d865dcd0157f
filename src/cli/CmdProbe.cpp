// quillon-cli probe: finds the card's mode, logs in and checks its version.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "ops/ProcedureCodes.h"
#include "ops/TextSession.h"

namespace quillon::cli {
namespace {

int RunProbe(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    std::string device;
    std::string password;
    const bool haveDevice = TakeOption(args, "--device", device);
    const bool havePassword = TakeOption(args, "--password", password);
    if (!haveDevice || !args.empty()) {
        std::fprintf(stderr, "Usage: quillon-cli probe --device PATH [--password PW]\n");
        return kExitUsage;
    }
    CliSession s(device);
    if (havePassword) {
        s.Prompts().SetPassword(password);
    }
    if (!s.Open()) {
        std::fprintf(stderr, "You must select a serial port first!\n(%s could not be opened)\n",
                     device.c_str());
        return kExitFailure;
    }
    CTmpApp& app = s.App();

    DetectMode(app);
    s.Progress().Hide();
    if (app.sessionState != session::kConnected) {
        return kExitFailure;  // the message is on stderr already
    }
    const char* mode = app.binaryMode == 1    ? "binary"
                       : app.promptReady == 1 ? "text, logged in"
                                              : "text, at the login prompt";
    if (app.binaryMode == 1) {
        std::printf("Mode: %s\n", mode);
        std::printf("BCP version: not available while the card is in binary mode\n");
        return kExitOk;
    }
    app.textProcedure = textproc::kLogin;
    s.RunUntil([&] { return app.textProcedure == textproc::kNone; }, 600);
    s.Progress().Hide();
    if (app.promptReady != 1 || app.compatibility != 2) {
        return kExitFailure;
    }
    std::printf("Mode: %s\n", mode);
    std::printf("BCP version: %g\n", static_cast<double>(app.transceiverVersion));
    return kExitOk;
}

CliCommandRegistrar reg({"probe", "probe --device PATH [--password PW]",
                         "find the card's mode, log in, check its protocol version", &RunProbe});

}  // namespace
}  // namespace quillon::cli
