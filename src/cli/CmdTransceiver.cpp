#include "cli/CmdTransceiver.h"

#include <cstdio>
#include <string>

#include "cli/CardCommand.h"
#include "cli/CliSession.h"
#include "edit/VerifyCompare.h"
#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"
#include "ops/GuardedSend.h"
#include "ops/Messages.h"

namespace quillon::cli {

namespace {

// Exit Binary Mode ends well with this message (the other commands with
// their procedures' completion messages). Anything else the user was shown
// (on stderr, as it came) means the command failed.
constexpr const char* kExitBinaryDone = "Transceiver now in text mode.";

}  // namespace

int RunGet(const CliCall& call) {
    const std::string& out = call.arguments.at(0);
    CliSession s(*call.Value("device"));
    if (!OpenDevice(call, s)) {
        return kExitFailure;
    }
    ModemCall modem(call, s);
    if (!modem.Ok()) {
        return kExitFailure;
    }
    model::CTmpDoc doc;
    s.App().SetDocument(&doc);
    UsePassword(call, s.App());
    if (!s.App().OnGet() || !RunToCompletion(call, s, msg::kTableRead)) {
        return kExitFailure;  // nothing is written: a partial table is no copy of the card
    }
    const model::FileResult saved = model::SaveDocumentFile(out, doc);
    if (!saved.ok()) {
        std::fprintf(call.err, "%s\n", saved.message.c_str());
        return kExitRefused;
    }
    return kExitOk;
}

int RunSend(const CliCall& call) {
    if (const std::string* backup = call.Value("backup"); backup != nullptr && backup->empty()) {
        std::fprintf(call.err, "--backup wants a folder.\n");
        return kExitUsage;
    }
    model::CTmpDoc doc;
    const model::FileResult opened = model::OpenDocumentFile(call.arguments.at(0), doc);
    if (!opened.ok()) {
        std::fprintf(call.err, "%s\n", opened.message.c_str());
        return kExitRefused;
    }
    CliSession s(*call.Value("device"));
    if (!OpenDevice(call, s)) {
        return kExitFailure;
    }
    ModemCall modem(call, s);
    if (!modem.Ok()) {
        return kExitFailure;
    }
    s.App().SetDocument(&doc);
    UsePassword(call, s.App());
    // A document made by a Get holds no keys (the card never gives them
    // back); a script must say so before the card's keys are erased.
    s.App().emptyKeyList =
        call.Value("erase-keys") != nullptr ? EmptyKeyList::Erase : EmptyKeyList::Keep;
    const std::string* backup = call.Value("backup");
    const bool verify = call.Value("verify") != nullptr;
    if (backup == nullptr && !verify) {
        s.App().OnSend();
        return RunToCompletion(call, s, msg::kTableWrittenRebooted) ? kExitOk : kExitFailure;
    }
    GuardedSend::Options options;
    options.verify = verify;
    options.backupFolder = backup != nullptr ? *backup : std::string();
    options.compare = edit::VerifyDifferences;
    GuardedSend guarded(s.App(), doc, options);
    if (!guarded.Start()) {
        return kExitFailure;
    }
    if (!RunGuarded(call, s, guarded)) {
        return kExitFailure;
    }
    if (!guarded.BackupPath().empty()) {
        std::fprintf(call.out, "Backup: %s\n", guarded.BackupPath().c_str());
    }
    // The whole list, for scripts; the warning on stderr shows the first ones.
    for (const std::string& field : guarded.Differences()) {
        std::fprintf(call.out, "%s\n", field.c_str());
    }
    switch (guarded.GetResult()) {
        case GuardedSend::Result::Sent:
        case GuardedSend::Result::Verified:
            return kExitOk;
        default:
            return kExitFailure;  // the messages said why
    }
}

int RunExitBinary(const CliCall& call) {
    CliSession s(*call.Value("device"));
    if (!OpenDevice(call, s)) {
        return kExitFailure;
    }
    s.App().OnExitBinaryMode();
    return RunToCompletion(call, s, kExitBinaryDone) ? kExitOk : kExitFailure;
}

}  // namespace quillon::cli
