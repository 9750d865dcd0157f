#include "ops/TextProcedures.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/CheckedText.h"
#include "ops/Format.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"
#include "ops/RadioParameters.h"
#include "ops/TextSession.h"

namespace quillon {

namespace {

constexpr int kPromptSearches = 5;
constexpr int kWctTries = 3;
constexpr int kRebootWaits = 21;
constexpr int kRebootWaitSeconds = 5;
constexpr int kReplySeconds = 3;
// DES-OFB, the only algorithm the channels use.
constexpr const char* kKeyCommand = "setp crypt_key 129 ";

bool Contains(const std::string& s, const char* what) {
    return s.find(what) != std::string::npos;
}

void Warn(CTmpApp& app, const std::string& text) {
    app.GetPrompts().MessageBox(text, Icon::Exclamation);
}

// One exchange on the current link object, looked up afresh because the
// wait dispatches messages; no link object gives an empty reply.
std::string Exchange(CTmpApp& app, const std::string& command, int timeoutSeconds,
                     bool keepEcho = false) {
    CBciLink* link = app.Link();
    if (link == nullptr) {
        return std::string();
    }
    return link->SendText(command, timeoutSeconds, keepEcho, "");
}

// An exchange whose command carries a password or a key: the log masks it.
std::string SecretExchange(CTmpApp& app, const std::string& command, const std::string& secret,
                           int timeoutSeconds) {
    CBciLink* link = app.Link();
    if (link == nullptr) {
        return std::string();
    }
    return link->SendSecretText(command, secret, timeoutSeconds, false);
}

// The procedure `code` no longer runs: Cancel aborted it (or a command
// started another one during a wait), or the port went away. Checked before
// every command that changes the card, so that nothing changes after Cancel.
bool Stopped(const CTmpApp& app, int code) {
    return app.textProcedure != code || app.Link() == nullptr;
}

void ShowProgress(CTmpApp& app, const char* title, const char* text) {
    ProgressSink& progress = app.Progress();
    progress.Show();
    progress.SetTitle(title);
    progress.SetText(text);
    progress.ResetBar();
}

// The key upload is over: the Send goes on with the parameters.
void AfterKeys(CTmpApp& app) {
    if (app.tableWritten == 1) {
        app.textProcedure = textproc::kParameterWrite;
    } else {
        app.EndTextProcedure();
    }
}

// Whether the card's keys go when the document has none to replace them.
bool EraseWithoutKeys(CTmpApp& app) {
    switch (app.emptyKeyList) {
        case EmptyKeyList::Erase:
            return true;
        case EmptyKeyList::Keep:
            return false;
        case EmptyKeyList::Ask:
            break;
    }
    // Anything but Yes keeps the keys: a closed box must not erase them.
    return app.GetPrompts().MessageBox(msg::kEraseCardKeys, Icon::Question, Buttons::YesNo) ==
           Answer::Yes;
}

// A command that changes the card never came through whole, however often
// it went: the Send stops before the card stores anything, so the card keeps
// what it had rather than take a spoilt key or value.
bool WrittenWhole(CTmpApp& app, int code, const CheckedReply& reply) {
    if (Stopped(app, code)) {
        return false;
    }
    if (!reply.intact) {
        Warn(app, msg::kCommsError);
        app.AbortProcedures();
        return false;
    }
    return true;
}

// A value read from the card carries no checksum: a byte lost from "10"
// leaves "1", a value all the same. A reply that is no value is asked for
// again; a value is taken once two readings agree. The reply returned is the
// agreed one, or the last one when none agree (whose value then fails).
std::string ReadAgreedValue(CTmpApp& app, const RadioParameter& p, int code) {
    constexpr int kReadings = 4;
    const auto valueOf = [&p](const std::string& reply) -> std::optional<std::string> {
        const auto raw = GetpReplyValue(reply);
        return raw ? DocumentValueFromCard(p, *raw) : std::nullopt;
    };
    const std::string command = std::string("getp ") + p.cardName + "\r\n";
    std::vector<std::string> values;
    std::string reply;
    for (int i = 0; i < kReadings && !Stopped(app, code); ++i) {
        const CheckedReply read =
            CheckedExchange(app, command, kReplySeconds,
                            [&](const std::string& r) { return valueOf(r).has_value(); });
        reply = read.text;
        const auto value = valueOf(reply);
        if (!read.intact || !value) {
            return reply;
        }
        if (std::find(values.begin(), values.end(), *value) != values.end()) {
            return reply;
        }
        values.push_back(*value);
    }
    return std::string();  // no two readings agreed
}

void LogOutAfterGet(CTmpApp& app) {
    // The reply does not matter; the card goes back to its login prompt.
    Exchange(app, kLogoutCommand, kReplySeconds, true);
}

// The card answers with its login prompt once it is up again: first it must
// have fallen silent (a card still finishing its command line answers with
// its shell prompt, and is given a second between such tries), then show
// anything, or its login prompt at once when it came back between two
// tries. False when Cancel ended the wait.
bool WaitForReboot(CTmpApp& app, int code) {
    bool silent = false;
    for (int i = 0; i < kRebootWaits; ++i) {
        const std::string reply = Exchange(app, "\n\r", kRebootWaitSeconds);
        if (Stopped(app, code)) {
            return false;
        }
        if (reply.empty()) {
            silent = true;
        } else if (silent || Contains(reply, "Login")) {
            return true;
        } else {
            // Still up: its answers come at once, so without a pause the
            // tries would be spent before the card goes down.
            app.Pause();
            if (Stopped(app, code)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

void StepWriteChannelTable(CTmpApp& app) {
    constexpr int code = textproc::kWriteChannelTable;
    for (int i = 0; i < kPromptSearches; ++i) {
        if (Stopped(app, code)) {
            return;
        }
        if (Contains(Exchange(app, "\n\r", kReplySeconds), "VEL")) {
            break;
        }
    }
    ShowProgress(app, msg::kTitleWritingTable, msg::kTextWritingTable);

    bool confirmed = false;
    for (int i = 0; i < kWctTries; ++i) {
        if (Stopped(app, code)) {
            return;
        }
        // The echo is kept: once the card has echoed "wct" whole it has the
        // command, and a second one would store and reboot again. An echo
        // spoilt on the line proves nothing, so the command goes again; a
        // card that falls silent after such a try got it and is going down.
        const std::string reply = Exchange(app, "wct\r\n", kReplySeconds, true);
        if (Contains(reply, "table")) {
            confirmed = true;
            break;
        }
        if (Contains(reply, "wct") && EchoIntact(reply, "wct\r\n")) {
            break;
        }
        if (i > 0 && reply.empty()) {
            confirmed = true;
            break;
        }
    }
    if (Stopped(app, code)) {
        return;
    }
    if (!confirmed) {
        Warn(app, msg::kNotResetting);
        app.AbortProcedures();
        // The Send is over, but the session is put right with a quiet
        // login; until then this procedure still runs, so Cancel reaches it.
        app.textProcedure = code;
    }
    app.promptReady = 0;  // the card restarts at its login prompt
    if (!WaitForReboot(app, code)) {
        return;
    }
    app.Progress().SetBar(100.0f);
    app.Pause();
    if (Stopped(app, code)) {
        return;
    }
    app.textProcedure = textproc::kLogin;
}

void StepKeyUpload(CTmpApp& app) {
    constexpr int code = textproc::kKeyUpload;
    const model::CTmpDoc* doc = app.Document();
    if (doc != nullptr) {
        // The document can be edited while a Send runs.
        const std::string problem = CheckSendable(*doc);
        if (!problem.empty()) {
            Warn(app, problem);
            app.AbortProcedures();
            return;
        }
    }
    std::vector<model::KeyEntry> keys;
    for (int i = 0; doc != nullptr && i < doc->keys.Count(); ++i) {
        keys.push_back(doc->keys.Get(i));
    }
    if (keys.empty() && !EraseWithoutKeys(app)) {
        if (!Stopped(app, code)) {
            AfterKeys(app);
        }
        return;
    }

    ShowProgress(app, msg::kTitleEncryptionKeys, msg::kTextErasingKeys);
    if (Stopped(app, code)) {
        return;
    }
    if (!WrittenWhole(app, code, CheckedExchange(app, "setp crypt_key erase\n\r", kReplySeconds))) {
        return;
    }
    app.Progress().SetBar(100.0f);
    app.Pause();
    if (keys.empty()) {
        if (!Stopped(app, code)) {
            AfterKeys(app);
        }
        return;
    }

    app.Progress().SetText(msg::kTextWritingKeys);
    app.Progress().ResetBar();
    const float step = 100.0f / static_cast<float>(keys.size());
    for (const model::KeyEntry& k : keys) {
        if (Stopped(app, code)) {
            return;
        }
        app.Progress().AdvanceBar(step);
        const std::string command =
            kKeyCommand + Format("%5i ", static_cast<int>(k.kid)) + k.key + "\n\r";
        if (!WrittenWhole(app, code, CheckedExchange(app, command, kReplySeconds, {}, k.key))) {
            return;
        }
    }
    app.Pause();
    if (!Stopped(app, code)) {
        AfterKeys(app);
    }
}

void StepParameterWrite(CTmpApp& app) {
    constexpr int code = textproc::kParameterWrite;
    const model::CTmpDoc* doc = app.Document();
    if (doc == nullptr) {
        app.AbortProcedures();
        return;
    }
    const std::string problem = CheckSendable(*doc);
    if (!problem.empty()) {
        Warn(app, problem);
        app.AbortProcedures();
        return;
    }
    // Taken now: the waits below let the dialogs change the document.
    std::string values[kRadioParameterCount];
    for (int i = 0; i < kRadioParameterCount; ++i) {
        values[i] = doc->*(RadioParameterAt(i).field);
    }

    // On its own the exchange sets only the parameters it was given and
    // reads them all back instead of storing the table and rebooting.
    const bool alone = app.parameterExchange.alone;
    const unsigned mask =
        alone ? app.parameterExchange.writeMask : (1u << kRadioParameterCount) - 1u;

    ShowProgress(app, msg::kTitleGeneralParameters, msg::kTextWriting);
    for (int i = 0; i < kRadioParameterCount; ++i) {
        if (Stopped(app, code)) {
            return;
        }
        const RadioParameter& p = RadioParameterAt(i);
        if ((mask & (1u << i)) != 0) {
            const std::string command =
                std::string("setp ") + p.cardName + " " + values[i] + "\r\n";
            if (!WrittenWhole(app, code, CheckedExchange(app, command, kReplySeconds))) {
                return;
            }
        }
        app.Progress().SetBar(25.0f * static_cast<float>(i + 1));
    }
    if (Stopped(app, code)) {
        return;
    }
    app.Pause();
    if (!Stopped(app, code)) {
        app.textProcedure = alone ? textproc::kParameterRead : textproc::kWriteChannelTable;
    }
}

void StepParameterRead(CTmpApp& app) {
    constexpr int code = textproc::kParameterRead;
    ShowProgress(app, msg::kTitleGeneralParameters, msg::kTextReading);
    for (int i = 0; i < kRadioParameterCount; ++i) {
        if (Stopped(app, code)) {
            return;
        }
        const RadioParameter& p = RadioParameterAt(i);
        const std::string reply = ReadAgreedValue(app, p, code);
        if (Stopped(app, code)) {
            return;  // a cut reply after Cancel is no reading
        }
        const auto raw = GetpReplyValue(reply);
        const auto value = raw ? DocumentValueFromCard(p, *raw) : std::nullopt;
        model::CTmpDoc* doc = app.Document();
        if (!value) {
            // What was read stays, and the document stays marked modified so
            // that it is not dropped unasked; its other settings keep their
            // defaults rather than take a broken value to the next Send.
            app.AbortProcedures();
            LogOutAfterGet(app);
            if (doc != nullptr) {
                doc->SetModified(true);
            }
            Warn(app, Format(msg::kParameterNotRead, p.description,
                             ShownValue(raw ? *raw : reply).c_str()));
            return;
        }
        if (doc != nullptr) {
            doc->*(p.field) = *value;
        }
    }
    app.Pause();
    const bool alone = app.parameterExchange.alone;
    app.AbortProcedures();
    LogOutAfterGet(app);
    if (alone) {
        // No table was read: the Get's message would say otherwise.
        app.parameterExchange.readBack = true;
        return;
    }
    app.lastCommandEnd = CommandEnd::TableRead;
    if (app.announceTableRead) {
        app.GetPrompts().MessageBox(msg::kTableRead, Icon::Information);
    }
    if (model::CTmpDoc* doc = app.Document()) {
        doc->SetModified(true);
    }
}

void StepChangePassword(CTmpApp& app) {
    constexpr int code = textproc::kChangePassword;
    std::string oldPassword;
    std::string newPassword;
    app.inBlockingWait = 1;
    const bool ok = app.GetPrompts().ChangePassword(oldPassword, newPassword);
    app.inBlockingWait = 0;
    if (!ok || Stopped(app, code)) {
        if (app.textProcedure == code) {
            app.EndTextProcedure();
        }
        return;
    }

    ProgressSink& progress = app.Progress();
    ShowProgress(app, msg::kTitleChangePassword, msg::kTextPleaseWait);
    const std::string users = Exchange(app, "getu\r\n", kReplySeconds);
    if (Stopped(app, code)) {
        return;
    }
    if (!Contains(users, "field")) {
        Exchange(app, "user field adm\r\n", kReplySeconds);
    }
    progress.SetBar(20.0f);
    if (Stopped(app, code)) {
        return;
    }
    Exchange(app, "chpwd field\r\n", kReplySeconds);
    // The card asks for the old password, then twice for the new one.
    const std::string answers[] = {oldPassword, newPassword, newPassword};
    std::string reply;
    float bar = 40.0f;
    for (const std::string& answer : answers) {
        progress.SetBar(bar);
        bar += 20.0f;
        if (Stopped(app, code)) {
            return;
        }
        reply = SecretExchange(app, answer + "\r\n", answer, kReplySeconds);
    }
    progress.SetBar(100.0f);
    if (Stopped(app, code)) {
        return;
    }
    if (Contains(reply, "has changed")) {
        app.GetPrompts().MessageBox(msg::kPasswordChanged, Icon::Information);
        app.rememberedPassword = newPassword;
        app.passwordKnown = 1;
    } else {
        app.GetPrompts().Beep();
        Warn(app, msg::kPasswordNotChanged);
    }
    app.EndTextProcedure();
}

void StepLoginOrConfirm(CTmpApp& app) {
    const bool confirming = app.tableWritten == 1 && app.loginStep == loginstep::kDetect;
    StepLogin(app);
    if (!confirming || app.tableWritten != 1) {
        return;  // confirmed (which clears the mark), failed, or cancelled
    }
    // Still marked: the login found the card logged in or in binary mode
    // instead of freshly restarted, so the reboot was never seen.
    if (app.textProcedure != textproc::kLogin || app.loginStep == loginstep::kLeavingBinary) {
        Warn(app, msg::kNotResetting);
        app.AbortProcedures();
    }
}

bool CheckBeforeSend(CTmpApp& app) {
    const model::CTmpDoc* doc = app.Document();
    if (doc == nullptr) {
        return true;
    }
    const std::string problem = CheckSendable(*doc);
    if (problem.empty()) {
        return true;
    }
    app.GetPrompts().Beep();
    Warn(app, problem);
    return false;
}

}  // namespace quillon
