#include "cli/CmdChangePassword.h"

#include <cstdio>
#include <string>

#include "cli/CardCommand.h"
#include "cli/CliSession.h"
#include "ops/ChangePasswordLogic.h"
#include "ops/Messages.h"

namespace quillon::cli {

int RunChangePassword(const CliCall& call) {
    const std::string& oldPassword = *call.Value("old");
    const std::string& newPassword = *call.Value("new");
    // The dialog's own checks, before the card is touched. The command line
    // gives the new password once, so it is its own confirmation.
    const ChangePasswordCheck check = CheckChangePassword(oldPassword, newPassword, newPassword);
    if (!check.ok) {
        std::fprintf(call.err, "%s\n", check.message.c_str());
        return kExitFailure;
    }
    CliSession s(*call.Value("device"));
    if (!OpenDevice(call, s)) {
        return kExitFailure;
    }
    CTmpApp& app = s.App();
    s.Prompts().SetPasswordChange(oldPassword, newPassword);
    // The login needs the password the card has now.
    app.RememberPassword(oldPassword);
    app.OnChangePassword();
    const bool changed = RunToCompletion(call, s, msg::kPasswordChanged);
    // The session this command opened does not outlive it. After Ctrl+C the
    // card may still be asking for a password, which "logout" must not become.
    if (!s.Interrupted()) {
        app.LogOut();
    }
    return changed ? kExitOk : kExitFailure;
}

}  // namespace quillon::cli
