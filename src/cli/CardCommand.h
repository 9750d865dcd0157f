#pragma once
// What every quillon-cli command that talks to a card does around its
// procedures: open the device, hand over the password, and let the
// procedures run to their end.
#include <string>

#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "ops/GuardedSend.h"

namespace quillon::cli {

// A whole Send or Get is a few minutes at the most; the procedures bound
// every wait of their own, this only keeps a stuck program from hanging on.
inline constexpr int kMaxProcedureSeconds = 1800;

// --log or --log=FILE: the communication log of this run.
void StartLogIfAsked(const CliCall& call, CliSession& s);

// Starts the log if asked, then opens --device; false (with the message on stderr) when it does not
// open.
bool OpenDevice(const CliCall& call, CliSession& s);

// --password, when given, is the one the login uses; otherwise the prompts
// take it from $QUILLON_PASSWORD or the terminal.
void UsePassword(const CliCall& call, CTmpApp& app);

// Lets the command's procedures run to their end; false (saying why) when
// they were cancelled or did not end.
bool RunProcedures(const CliCall& call, CliSession& s);

// --dial NUMBER: the card's modem is called before the command's
// procedures (through the same dial procedure as the GUI's Phone > Dial)
// and hung up when the command ends, whatever its result. Without --dial
// nothing happens.
class ModemCall {
  public:
    ModemCall(const CliCall& call, CliSession& s);
    ~ModemCall();
    ModemCall(const ModemCall&) = delete;
    ModemCall& operator=(const ModemCall&) = delete;
    // No call was asked for, or the modems are connected.
    bool Ok() const { return ok_; }

  private:
    CliSession& s_;
    bool ok_ = true;
    bool connected_ = false;
};

// A Send with its backup and verification: runs until all of it is done;
// false (saying why) when it was cancelled or did not end.
bool RunGuarded(const CliCall& call, CliSession& s, GuardedSend& guarded);

// RunProcedures, and true only when the last message shown was the
// procedure's completion message.
bool RunToCompletion(const CliCall& call, CliSession& s, const std::string& completion);

}  // namespace quillon::cli
