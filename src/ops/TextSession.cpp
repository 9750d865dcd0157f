#include "ops/TextSession.h"

#include <cctype>
#include <charconv>
#include <string>

#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"

namespace quillon {

namespace {

bool Contains(const std::string& s, const char* what) {
    return s.find(what) != std::string::npos;
}

void Warn(CTmpApp& app, const char* text) {
    app.GetPrompts().MessageBox(text, Icon::Exclamation);
}

void ForgetPassword(CTmpApp& app) {
    app.passwordKnown = 0;
    app.rememberedPassword.clear();
}

// The session is logged in: end the login and mark the prompt seen.
void LoggedIn(CTmpApp& app) {
    app.EndTextProcedure();
    app.SetSessionState(session::kConnected);
    app.promptReady = 1;
}

}  // namespace

void DetectMode(CTmpApp& app) {
    CBciLink* link = app.Link();
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.SetTitle(msg::kTitleInitialising);
    progress.SetText(msg::kTextConnecting);
    progress.ResetBar();
    app.ResetSession();
    int timeout = 3;
    bool detected = false;
    for (int attempt = 0; attempt < 8 && link != nullptr; ++attempt) {
        const std::string reply = link->SendText("\r", timeout, true, "");
        if (app.cancelPressed == 1) {
            app.SetSessionState(session::kCancelled);
            app.Log().Write(msg::kLogDetectCancel);
            break;
        }
        progress.AdvanceBar(12.5f);
        if (reply.find('\x15') != std::string::npos) {
            app.SetBinaryMode();
            app.promptReady = 1;
            app.SetSessionState(session::kConnected);
            detected = true;
            break;
        }
        // A silent card gets longer to answer the next time.
        timeout = reply.empty() ? 5 : 3;
        if (reply.size() < 5) {
            continue;
        }
        if (Contains(reply, "VEL")) {
            app.promptReady = 1;
            app.SetTextMode();
            app.SetSessionState(session::kConnected);
            detected = true;
            break;
        }
        if (Contains(reply, "Login")) {
            app.SetTextMode();
            app.promptReady = 0;
            app.SetSessionState(session::kConnected);
            detected = true;
            break;
        }
    }
    if (!detected) {
        if (app.sessionState == session::kCancelled) {
            app.Log().Write(msg::kLogDetectCancelNoConnection);
        } else {
            Warn(app, msg::kCommsError);
        }
    }
}

void AfterSendStep(CTmpApp& app, bool forgetPassword) {
    if (app.tableWritten != 1) {
        return;
    }
    app.tableWritten = 0;
    if (app.Link() != nullptr) {
        app.Link()->SendText("\rlogout\r", 3, true, "");
    }
    app.GetPrompts().MessageBox(msg::kTableWrittenRebooted, Icon::Information);
    if (forgetPassword) {
        // The re-login after the reboot used the password; it is not kept.
        ForgetPassword(app);
    }
    app.AbortProcedures();
}

void StepLogin(CTmpApp& app) {
    app.sessionState = session::kUnknown;
    if (app.loginStep == 2) {
        return;  // binary mode is being left first
    }
    if (app.Link() == nullptr) {
        app.AbortProcedures();
        return;
    }
    DetectMode(app);
    if (app.promptReady == 1) {
        app.EndTextProcedure();
        app.SetSessionState(session::kConnected);
        if (app.binaryMode == 0 && app.compatibility != 2) {
            CheckCompatibility(app);
        }
        return;
    }
    if (app.sessionState != session::kConnected) {
        app.AbortProcedures();
        return;
    }
    if (app.binaryMode == 1) {
        app.SetBinaryMode();
        app.binaryTransaction = bintxn::kExitBinary;
        app.loginStep = 2;
        return;
    }

    CBciLink* link = app.Link();
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.ResetBar();
    progress.SetTitle(msg::kTitleLogin);
    progress.SetText(msg::kTextLookingLogin);

    std::string reply = link->SendText("\r", 3, true, "");
    if (Contains(reply, "\r\nVEL")) {
        LoggedIn(app);
        AfterSendStep(app, false);
        return;
    }
    bool atLogin = false;
    for (int i = 0; i < 16; ++i) {
        reply = link->SendText("\r", 3, true, "");
        if (Contains(reply, "Login > ")) {
            atLogin = true;
            break;
        }
        if (Contains(reply, "VEL")) {
            LoggedIn(app);
            if (app.compatibility != 2) {
                CheckCompatibility(app);
            }
            AfterSendStep(app, false);
            return;
        }
    }
    if (!atLogin) {
        Warn(app, msg::kCommsErrorCheck);
        app.AbortProcedures();
        return;
    }

    std::string entered;
    if (app.passwordKnown == 0) {
        app.inBlockingWait = 1;
        if (!app.GetPrompts().PasswordEntry(entered)) {
            app.AbortProcedures();
            app.inBlockingWait = 0;
            return;
        }
        // The next reply collection clears the wait flag.
    }
    reply = link->SendText("field\r", 3, false, "");
    if (reply.size() < 4) {
        Warn(app, msg::kCommsErrorCheck);
        app.AbortProcedures();
        return;
    }
    if (!Contains(reply, "Passwd > ")) {
        Warn(app, msg::kCommsErrorPass);
        app.AbortProcedures();
        return;
    }
    progress.SetText(msg::kTextLookingPassword);
    const std::string password = app.passwordKnown == 1 ? app.rememberedPassword : entered;
    reply = link->SendText(password + "\r", 3, false, "");
    if (reply.size() < 3) {
        Warn(app, msg::kCommsErrorPass2);
        app.AbortProcedures();
        return;
    }
    if (Contains(reply, "\r\nVEL")) {
        LoggedIn(app);
        app.rememberedPassword = password;
        app.passwordKnown = 1;
        if (app.compatibility != 2) {
            CheckCompatibility(app);
        }
        AfterSendStep(app, true);
        return;
    }
    Warn(app, msg::kLoginFailed);
    app.AbortProcedures();
    ForgetPassword(app);
}

void StepEnterBinary(CTmpApp& app) {
    if (app.Link() == nullptr) {
        app.AbortProcedures();
        return;
    }
    const std::string reply = app.Link()->SendText("setp bin_mode on\r\n", 1, false, "");
    if (Contains(CCommPort::TextAfterPrompt(reply), "Entering binary")) {
        app.EndTextProcedure();
        app.SetSessionState(session::kConnected);
        app.SetBinaryMode();
        return;
    }
    // Not confirmed: the pending transaction is dropped without a message.
    app.EndTransaction();
    app.binaryPending = 0;
    app.chainState = 2;
    app.EndTextProcedure();
}

float ParseVersionReply(const std::string& reply) {
    std::string text = reply;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isdigit(c) && c != '.') {
            text.resize(i);
            break;
        }
    }
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto r = std::from_chars(first, last, value, std::chars_format::fixed);
    if (r.ec != std::errc()) {
        value = 0.0;
    }
    return static_cast<float>(value);
}

void CheckCompatibility(CTmpApp& app) {
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.SetTitle(msg::kTitleInitialising);
    progress.SetText(msg::kTextCompatibility);
    progress.ResetBar();
    std::string reply;
    if (app.Link() != nullptr) {
        reply = app.Link()->SendText("getp bcp_version\r", 3, false, "");
    }
    if (!reply.empty() && (reply[0] == '\n' || reply[0] == '\r')) {
        reply.erase(0, 1);
    }
    if (Contains(reply, "Incorrect parameter") || reply.empty()) {
        app.compatibility = 1;
        app.GetPrompts().Beep();
        Warn(app, msg::kIncompatibleNoVersion);
        app.AbortProcedures();
        return;
    }
    app.transceiverVersion = ParseVersionReply(reply);
    if (app.transceiverVersion == 1.2f) {
        app.compatibility = 2;
        progress.SetBar(100.0f);
        app.Pause();
        app.EndTextProcedure();
    } else if (app.transceiverVersion < 1.2f) {
        app.compatibility = 1;
        app.GetPrompts().Beep();
        Warn(app, msg::kIncompatibleOlder);
        app.AbortProcedures();
    } else {
        app.compatibility = 1;
        app.GetPrompts().Beep();
        Warn(app, msg::kIncompatibleNewer);
        app.AbortProcedures();
    }
}

}  // namespace quillon
