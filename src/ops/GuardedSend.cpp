#include "ops/GuardedSend.h"

#include <utility>

#include "ops/CTmpApp.h"
#include "ops/Format.h"
#include "ops/RadioParameters.h"
#include "ops/ReadBackForm.h"
#include "ops/SendGuardMessages.h"

namespace quillon {

namespace {

// A message box with hundreds of lines is no help; the rest is counted.
constexpr size_t kMaxListedDifferences = 30;

std::tm LocalNow() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

bool SameGroup(const model::SquGroup& a, const model::SquGroup& b, int g) {
    if (a.GetName(g) != b.GetName(g)) {
        return false;
    }
    for (int i = 0; i < model::SquGroup::kItems; ++i) {
        const model::SquelchItem x = a.GetItem(g, i);
        const model::SquelchItem y = b.GetItem(g, i);
        if (x.type != y.type || x.value != y.value) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> DifferingParts(const model::CTmpDoc& sent, const model::CTmpDoc& card) {
    std::vector<std::string> out;
    for (int c = 0; c < model::kChannelCount; ++c) {
        if (sent.channels[c].Image() != card.channels[c].Image()) {
            out.push_back(Format("Channel %03d", c));
        }
    }
    for (int g = 0; g < model::SquGroup::kGroups; ++g) {
        if (!SameGroup(sent.squelchGroups, card.squelchGroups, g)) {
            out.push_back(Format("Squelch group %d", g + 1));
        }
    }
    for (int s = 0; s < model::CToneRemote::kSlots; ++s) {
        const model::ToneEntry a = sent.toneRemote.RawEntry(s);
        const model::ToneEntry b = card.toneRemote.RawEntry(s);
        if (a.function != b.function || a.argument != b.argument) {
            out.push_back(Format("Tone remote F%d", s + 1));
        }
    }
    for (int i = 0; i < kRadioParameterCount; ++i) {
        const RadioParameter& p = RadioParameterAt(i);
        if (sent.*(p.field) != card.*(p.field)) {
            out.push_back(p.description);
        }
    }
    return out;
}

GuardedSend::GuardedSend(CTmpApp& app, model::CTmpDoc& doc, Options options)
    : app_(app), doc_(doc), options_(std::move(options)) {
    if (!options_.now) {
        options_.now = LocalNow;
    }
    if (!options_.compare) {
        options_.compare = DifferingParts;
    }
}

GuardedSend::~GuardedSend() {
    if (Done()) {
        return;
    }
    // Dropped halfway: a read still running would go on into the document
    // once the driver points at it again, so it is cancelled first.
    if ((phase_ == Phase::Backup || phase_ == Phase::Verify) && app_.TransceiverCommandBusy()) {
        app_.CancelProcedures();
    }
    Finish(Result::NotStarted);
}

void GuardedSend::NotePassword() {
    if (app_.passwordKnown != 0) {
        password_ = app_.rememberedPassword;
        passwordSeen_ = true;
    }
}

bool GuardedSend::Start() {
    announceBefore_ = app_.announceTableRead;
    NotePassword();
    if (!options_.backupFolder.empty()) {
        phase_ = Phase::Backup;
        if (!StartGet()) {
            Finish(Result::NotStarted);
            return false;
        }
        return true;
    }
    if (!StartSend()) {
        Finish(Result::NotStarted);
        return false;
    }
    return true;
}

bool GuardedSend::StartGet() {
    // A fresh scratch document is never modified, so the Get asks nothing
    // before it empties it.
    scratch_ = std::make_unique<model::CTmpDoc>();
    app_.SetDocument(scratch_.get());
    app_.announceTableRead = false;
    return app_.OnGet();
}

bool GuardedSend::StartSend() {
    phase_ = Phase::Send;
    app_.SetDocument(&doc_);
    app_.announceTableRead = announceBefore_;
    app_.OnSend();
    // Refused before it started (no port, busy, a value the card would not
    // take): the user has been told.
    return app_.TransceiverCommandBusy();
}

bool GuardedSend::Step() {
    if (Done()) {
        return true;
    }
    NotePassword();
    if (app_.TransceiverCommandBusy()) {
        return false;
    }
    switch (phase_) {
        case Phase::Backup:
            EndBackup();
            break;
        case Phase::Send:
            EndSend();
            break;
        case Phase::Verify:
            EndVerify();
            break;
        default:
            break;
    }
    return Done();
}

void GuardedSend::EndBackup() {
    Prompts& prompts = app_.GetPrompts();
    if (app_.lastCommandEnd != CommandEnd::TableRead) {
        prompts.MessageBox(msg::kBackupReadFailed, Icon::Exclamation);
        Finish(Result::BackupFailed);
        return;
    }
    BackupFolder folder(options_.backupFolder);
    const model::FileResult saved = folder.Save(*scratch_, options_.now(), backupPath_);
    if (!saved.ok()) {
        prompts.MessageBox(std::string(msg::kBackupSaveFailed) + "\n" + saved.message,
                           Icon::Exclamation);
        Finish(Result::BackupFailed);
        return;
    }
    app_.Log().Write(Format(msg::kBackupSaved, backupPath_.c_str()));
    if (!StartSend()) {
        Finish(Result::SendFailed);
    }
}

void GuardedSend::EndSend() {
    if (app_.lastCommandEnd != CommandEnd::TableWritten) {
        Finish(Result::SendFailed);
        return;
    }
    if (!options_.verify) {
        Finish(Result::Sent);
        return;
    }
    phase_ = Phase::Verify;
    if (app_.passwordKnown == 0 && passwordSeen_) {
        app_.RememberPassword(password_);
        passwordLent_ = true;
    }
    if (!StartGet()) {
        app_.GetPrompts().MessageBox(msg::kVerifyReadFailed, Icon::Exclamation);
        Finish(Result::VerifyReadFailed);
    }
}

void GuardedSend::EndVerify() {
    Prompts& prompts = app_.GetPrompts();
    if (app_.lastCommandEnd != CommandEnd::TableRead) {
        Finish(Result::VerifyReadFailed);
        prompts.MessageBox(msg::kVerifyReadFailed, Icon::Exclamation);
        return;
    }
    differences_ = options_.compare(ReadBackForm(doc_), ReadBackForm(*scratch_));
    Finish(differences_.empty() ? Result::Verified : Result::Differs);
    if (differences_.empty()) {
        prompts.MessageBox(msg::kConfigurationVerified, Icon::Information);
        return;
    }
    std::string text = msg::kConfigurationDiffers;
    for (size_t i = 0; i < differences_.size() && i < kMaxListedDifferences; ++i) {
        text += "\n" + differences_[i];
    }
    if (differences_.size() > kMaxListedDifferences) {
        text += Format("\n... and %zu more", differences_.size() - kMaxListedDifferences);
    }
    prompts.MessageBox(text, Icon::Exclamation);
}

void GuardedSend::Finish(Result r) {
    result_ = r;
    phase_ = Phase::Done;
    app_.SetDocument(&doc_);
    app_.announceTableRead = announceBefore_;
    if (passwordLent_) {
        // Forgotten again, as the Send left it.
        app_.passwordKnown = 0;
        app_.rememberedPassword.clear();
        passwordLent_ = false;
    }
    password_.clear();
    passwordSeen_ = false;
}

}  // namespace quillon
