#include "ops/TextSession.h"

#include <cctype>
#include <charconv>
#include <string>

#include "ops/CTmpApp.h"
#include "ops/CheckedText.h"
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
constexpr int kLoginTries = 2;

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

std::string WithoutLeadingLineEnd(std::string reply) {
    if (!reply.empty() && (reply[0] == '\n' || reply[0] == '\r')) {
        reply.erase(0, 1);
    }
    return reply;
}

bool IsCompatibleVersionReply(const std::string& reply) {
    const std::string r = WithoutLeadingLineEnd(reply);
    return !r.empty() && !Contains(r, "Incorrect parameter") && ParseVersionReply(r) == 1.2f;
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

// What the card answered to the user name.
enum class NameReply { PasswordAsked, TooShort, Other };

// The user name. `intact` tells whether its echo showed the name as sent:
// a card that got a spoilt name asks for a password all the same, and then
// refuses a right one.
NameReply SendUserName(CTmpApp& app, bool& intact) {
    static const std::string kCommand = "field\r";
    CBciLink* link = app.Link();
    const std::string withEcho =
        link == nullptr ? std::string() : link->SendText(kCommand, 3, true, "");
    intact = EchoIntact(withEcho, kCommand);
    const std::string reply = AfterEcho(withEcho, kCommand);
    if (reply.size() < kMinUserNameReply) {
        return NameReply::TooShort;
    }
    return Contains(reply, "Passwd > ") ? NameReply::PasswordAsked : NameReply::Other;
}

// What the card answered to the password.
enum class PasswordReply { LoggedIn, TooShort, Refused, Spoilt };

PasswordReply SendPassword(CTmpApp& app, const std::string& password) {
    app.Progress().SetText(msg::kTextLookingPassword);
    const std::string command = password + "\r";
    CBciLink* link = app.Link();
    const std::string withEcho =
        link == nullptr ? std::string() : link->SendSecretText(command, password, 3, true);
    const std::string reply = AfterEcho(withEcho, command);
    if (reply.size() < kMinPasswordReply) {
        return PasswordReply::TooShort;
    }
    if (Contains(reply, "\r\nVEL")) {
        return PasswordReply::LoggedIn;
    }
    // Only a card that got the password whole and answered with its login
    // prompt again has refused it; anything else was spoilt on the line.
    if (EchoIntact(withEcho, command) && Contains(reply, "Login")) {
        return PasswordReply::Refused;
    }
    return PasswordReply::Spoilt;
}

void LoginFailed(CTmpApp& app, const char* text, bool wrongPassword) {
    Warn(app, text);
    app.AbortProcedures();
    if (wrongPassword) {
        ForgetPassword(app);
    }
}

// Whether the card answers a carriage return as it does in binary mode:
// its confirmation may have been spoilt on the line after it switched.
bool CardInBinaryMode(CTmpApp& app) {
    app.Log().Write(msg::kLogBinaryProbe);
    return Exchange(app, "\r", 1, true).find('\x15') != std::string::npos;
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
        // A card in binary mode answers with NAKs; a NAK inside a prompt
        // is a character of it spoilt on the line, and the next try asks
        // again rather than take a card at its prompt for one in binary mode.
        if (reply.find('\x15') != std::string::npos && !Contains(reply, "> ")) {
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
    if (!AskPassword(app, entered)) {
        return;
    }
    const std::string password = app.passwordKnown == 1 ? app.rememberedPassword : entered;
    // A login that a fault on the line spoilt goes once more from the
    // prompt search; a password the card clearly refused is not tried again.
    for (int attempt = 1; attempt <= kLoginTries; ++attempt) {
        const bool last = attempt == kLoginTries;
        if (attempt > 1 && (app.textProcedure != textproc::kLogin || !FindLoginPrompt(app))) {
            return;
        }
        bool nameIntact = false;
        const NameReply name = SendUserName(app, nameIntact);
        if (name != NameReply::PasswordAsked) {
            if (last) {
                LoginFailed(
                    app, name == NameReply::TooShort ? msg::kCommsErrorCheck : msg::kCommsErrorPass,
                    false);
                return;
            }
            continue;
        }
        switch (SendPassword(app, password)) {
            case PasswordReply::LoggedIn:
                LoggedIn(app);
                app.rememberedPassword = password;
                app.passwordKnown = 1;
                CheckCompatibilityUnlessKnown(app);
                AfterSendStep(app, true);
                return;
            case PasswordReply::Refused:
                if (nameIntact || last) {
                    LoginFailed(app, msg::kLoginFailed, true);
                    return;
                }
                break;
            case PasswordReply::TooShort:
                if (last) {
                    LoginFailed(app, msg::kCommsErrorPass2, false);
                    return;
                }
                break;
            case PasswordReply::Spoilt:
                if (last) {
                    LoginFailed(app, msg::kLoginFailed, true);
                    return;
                }
                break;
        }
    }
}

void StepEnterBinary(CTmpApp& app) {
    for (int i = 0; i < kCheckedTextTries; ++i) {
        if (app.Link() == nullptr) {
            app.AbortProcedures();
            return;
        }
        const std::string reply = Exchange(app, "setp bin_mode on\r\n", 1, false);
        if (app.textProcedure != textproc::kEnterBinary) {
            return;  // Cancel, or a command during the wait, ended it
        }
        if (Contains(CCommPort::TextAfterPrompt(reply), "Entering binary") ||
            CardInBinaryMode(app)) {
            app.EndTextProcedure();
            app.SetSessionState(session::kConnected);
            app.SetBinaryMode();
            return;
        }
        if (app.textProcedure != textproc::kEnterBinary) {
            return;
        }
    }
    // The card would not enter binary mode: the pending transaction is
    // dropped for good (or every later Send or Get would find it still
    // pending and only beep), and the user is told that it did not run.
    Warn(app, msg::kCommsError);
    app.AbortProcedures();
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
    // Anything but the version this program speaks is asked for again
    // before it is believed: a digit spoilt on the line must not send the
    // technician off to upgrade a card that is fine.
    std::string reply = CheckedExchange(app, "getp bcp_version\r", 3, [](const std::string& r) {
                            return IsCompatibleVersionReply(r);
                        }).text;
    reply = WithoutLeadingLineEnd(reply);
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
