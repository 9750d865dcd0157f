#include "ops/TextSession.h"

#include <cctype>
#include <charconv>
#include <string>

#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"

namespace quillon {

namespace {

// Replies that mean "no answer yet" in the mode detection are shorter.
constexpr size_t kMinDetectReply = 5;
constexpr int kDetectAttempts = 8;
constexpr int kPromptSearches = 16;
// Replies to the user name and to the password that are shorter are no
// answer from the card.
constexpr size_t kMinUserNameReply = 4;
constexpr size_t kMinPasswordReply = 3;

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

// One text exchange on the current link object. The wait dispatches
// messages, so the link object is looked up afresh for every exchange and
// never kept across one; without a link object the reply is empty.
std::string Exchange(CTmpApp& app, const std::string& command, int timeoutSeconds, bool keepEcho) {
    CBciLink* link = app.Link();
    if (link == nullptr) {
        return std::string();
    }
    return link->SendText(command, timeoutSeconds, keepEcho, "");
}

// The session is logged in: end the login and mark the prompt seen.
void LoggedIn(CTmpApp& app) {
    app.EndTextProcedure();
    app.SetSessionState(session::kConnected);
    app.promptReady = 1;
}

void CheckCompatibilityUnlessKnown(CTmpApp& app) {
    if (app.compatibility != compat::kCompatible) {
        CheckCompatibility(app);
    }
}

// The start of the login: detection, and leaving binary mode first when the
// card is in it. True when the card shows its login prompt and the login goes on.
bool DetectForLogin(CTmpApp& app) {
    app.sessionState = session::kUnknown;
    if (app.loginStep == loginstep::kLeavingBinary) {
        return false;  // binary mode is being left first
    }
    if (app.Link() == nullptr) {
        app.AbortProcedures();
        return false;
    }
    DetectMode(app);
    if (app.promptReady == 1) {
        app.EndTextProcedure();
        app.SetSessionState(session::kConnected);
        if (app.binaryMode == 0) {
            CheckCompatibilityUnlessKnown(app);
        }
        return false;
    }
    if (app.sessionState != session::kConnected) {
        app.AbortProcedures();
        return false;
    }
    if (app.binaryMode == 1) {
        app.SetBinaryMode();
        app.binaryTransaction = bintxn::kExitBinary;
        app.loginStep = loginstep::kLeavingBinary;
        return false;
    }
    return true;
}

// Carriage returns until the card shows "Login > ". True
// when it does; false when the session turned out to be logged in already
// or the card never showed it.
bool FindLoginPrompt(CTmpApp& app) {
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.ResetBar();
    progress.SetTitle(msg::kTitleLogin);
    progress.SetText(msg::kTextLookingLogin);

    std::string reply = Exchange(app, "\r", 3, true);
    if (Contains(reply, "\r\nVEL")) {
        LoggedIn(app);
        AfterSendStep(app, false);
        return false;
    }
    for (int i = 0; i < kPromptSearches; ++i) {
        reply = Exchange(app, "\r", 3, true);
        if (Contains(reply, "Login > ")) {
            return true;
        }
        if (Contains(reply, "VEL")) {
            LoggedIn(app);
            CheckCompatibilityUnlessKnown(app);
            AfterSendStep(app, false);
            return false;
        }
    }
    Warn(app, msg::kCommsErrorCheck);
    app.AbortProcedures();
    return false;
}

// The Password Entry dialog, unless the password of an earlier
// login is remembered. False when the user cancelled it.
bool AskPassword(CTmpApp& app, std::string& entered) {
    if (app.passwordKnown != 0) {
        return true;
    }
    app.inBlockingWait = 1;
    if (!app.GetPrompts().PasswordEntry(entered)) {
        app.AbortProcedures();
        app.inBlockingWait = 0;
        return false;
    }
    // The next reply collection clears the wait flag.
    return true;
}

// The user name. True when the card asks for the password.
bool SendUserName(CTmpApp& app) {
    const std::string reply = Exchange(app, "field\r", 3, false);
    if (reply.size() < kMinUserNameReply) {
        Warn(app, msg::kCommsErrorCheck);
        app.AbortProcedures();
        return false;
    }
    if (!Contains(reply, "Passwd > ")) {
        Warn(app, msg::kCommsErrorPass);
        app.AbortProcedures();
        return false;
    }
    return true;
}

// The password, and the end of the login either way.
void SendPassword(CTmpApp& app, const std::string& password) {
    app.Progress().SetText(msg::kTextLookingPassword);
    CBciLink* link = app.Link();
    const std::string reply =
        link == nullptr ? std::string() : link->SendSecretText(password + "\r", password, 3, false);
    if (reply.size() < kMinPasswordReply) {
        Warn(app, msg::kCommsErrorPass2);
        app.AbortProcedures();
        return;
    }
    if (Contains(reply, "\r\nVEL")) {
        LoggedIn(app);
        app.rememberedPassword = password;
        app.passwordKnown = 1;
        CheckCompatibilityUnlessKnown(app);
        AfterSendStep(app, true);
        return;
    }
    Warn(app, msg::kLoginFailed);
    app.AbortProcedures();
    ForgetPassword(app);
}

}  // namespace

void DetectMode(CTmpApp& app) {
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.SetTitle(msg::kTitleInitialising);
    progress.SetText(msg::kTextConnecting);
    progress.ResetBar();
    app.ResetSession();
    int timeout = 3;
    bool detected = false;
    for (int attempt = 0; attempt < kDetectAttempts && app.Link() != nullptr; ++attempt) {
        const std::string reply = Exchange(app, "\r", timeout, true);
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
        if (reply.size() < kMinDetectReply) {
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
    Exchange(app, kLogoutCommand, 3, true);
    app.lastCommandEnd = CommandEnd::TableWritten;
    app.GetPrompts().MessageBox(msg::kTableWrittenRebooted, Icon::Information);
    if (forgetPassword) {
        // The re-login after the reboot used the password; it is not kept.
        ForgetPassword(app);
    }
    app.AbortProcedures();
}

void StepLogin(CTmpApp& app) {
    if (!DetectForLogin(app) || !FindLoginPrompt(app)) {
        return;
    }
    std::string entered;
    if (!AskPassword(app, entered) || !SendUserName(app)) {
        return;
    }
    SendPassword(app, app.passwordKnown == 1 ? app.rememberedPassword : entered);
}

void StepEnterBinary(CTmpApp& app) {
    if (app.Link() == nullptr) {
        app.AbortProcedures();
        return;
    }
    const std::string reply = Exchange(app, "setp bin_mode on\r\n", 1, false);
    if (Contains(CCommPort::TextAfterPrompt(reply), "Entering binary")) {
        app.EndTextProcedure();
        app.SetSessionState(session::kConnected);
        app.SetBinaryMode();
        return;
    }
    // Not confirmed: the pending transaction is dropped without a message,
    // and dropped for good, or every later Send or Get would find it still
    // pending and only beep.
    app.EndTransaction();
    app.binaryPending = 0;
    app.pendingBinary = bintxn::kNone;
    app.chainState = chain::kWaitLogin;
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
    std::string reply = Exchange(app, "getp bcp_version\r", 3, false);
    if (!reply.empty() && (reply[0] == '\n' || reply[0] == '\r')) {
        reply.erase(0, 1);
    }
    if (Contains(reply, "Incorrect parameter") || reply.empty()) {
        app.compatibility = compat::kIncompatible;
        app.GetPrompts().Beep();
        Warn(app, msg::kIncompatibleNoVersion);
        app.AbortProcedures();
        return;
    }
    app.transceiverVersion = ParseVersionReply(reply);
    if (app.transceiverVersion == 1.2f) {
        app.compatibility = compat::kCompatible;
        progress.SetBar(100.0f);
        app.Pause();
        app.EndTextProcedure();
    } else if (app.transceiverVersion < 1.2f) {
        app.compatibility = compat::kIncompatible;
        app.GetPrompts().Beep();
        Warn(app, msg::kIncompatibleOlder);
        app.AbortProcedures();
    } else {
        app.compatibility = compat::kIncompatible;
        app.GetPrompts().Beep();
        Warn(app, msg::kIncompatibleNewer);
        app.AbortProcedures();
    }
}

}  // namespace quillon
