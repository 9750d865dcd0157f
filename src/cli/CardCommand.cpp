#include "cli/CardCommand.h"

#include <cstdio>

#include "ops/CommLog.h"
#include "ops/Messages.h"

namespace quillon::cli {

void StartLogIfAsked(const CliCall& call, CliSession& s) {
    if (const std::string* file = call.Value("log")) {
        s.StartLog(file->empty() ? CommLog::kDefaultFile : *file);
    }
}

bool OpenDevice(const CliCall& call, CliSession& s) {
    StartLogIfAsked(call, s);
    if (s.Open()) {
        return true;
    }
    std::fprintf(call.err, "%s\n(%s could not be opened)\n", msg::kSelectPortFirst,
                 call.Value("device")->c_str());
    return false;
}

void UsePassword(const CliCall& call, CTmpApp& app) {
    if (const std::string* password = call.Value("password")) {
        app.RememberPassword(*password);
    }
}

bool RunProcedures(const CliCall& call, CliSession& s) {
    CTmpApp& app = s.App();
    const bool ended =
        s.RunUntil([&] { return !app.TransceiverCommandBusy(); }, kMaxProcedureSeconds);
    s.Progress().Hide();
    if (s.Interrupted()) {
        std::fprintf(call.err, "Cancelled.\n");
        return false;
    }
    if (!ended) {
        std::fprintf(call.err, "The transceiver procedure did not end.\n");
        return false;
    }
    return true;
}

ModemCall::ModemCall(const CliCall& call, CliSession& s) : s_(s) {
    const std::string* number = call.Value("dial");
    if (number == nullptr) {
        return;
    }
    CTmpApp& app = s.App();
    ok_ = false;
    if (!app.OnDial(*number)) {
        return;
    }
    s.RunUntil([&] { return !app.ProcedureRunning(); }, kMaxProcedureSeconds);
    s.Progress().Hide();
    connected_ = s.Prompts().LastMessage() == msg::kModemConnected;
    ok_ = connected_;
    if (s.Interrupted()) {
        std::fprintf(call.err, "Cancelled.\n");
    }
}

ModemCall::~ModemCall() {
    if (!connected_) {
        return;  // a failed or cancelled call left the modem on hook
    }
    CTmpApp& app = s_.App();
    // After a Ctrl+C too: the telephone line is not left open.
    app.OnHangup();
    s_.RunUntil([&] { return !app.ProcedureRunning(); }, kMaxProcedureSeconds);
    s_.Progress().Hide();
}

bool RunGuarded(const CliCall& call, CliSession& s, GuardedSend& guarded) {
    const bool ended = s.RunUntil([&] { return guarded.Step(); }, 3 * kMaxProcedureSeconds);
    s.Progress().Hide();
    if (s.Interrupted()) {
        std::fprintf(call.err, "Cancelled.\n");
        return false;
    }
    if (!ended || !guarded.Done()) {
        std::fprintf(call.err, "The transceiver procedure did not end.\n");
        return false;
    }
    return true;
}

bool RunToCompletion(const CliCall& call, CliSession& s, const std::string& completion) {
    return RunProcedures(call, s) && s.Prompts().LastMessage() == completion;
}

}  // namespace quillon::cli
