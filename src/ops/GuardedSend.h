#pragma once
// A Send with its guards: the card's configuration read and kept as a
// backup before anything is written, and read back and compared with the
// document once the card has stored it and rebooted. Each read is the
// ordinary Get, into a scratch document, so the document being sent is
// never touched by it. Runs from the message loop like the procedures it
// chains: Start, then Step whenever messages have been handled, until Step
// says it is done.
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "ops/BackupFolder.h"

namespace quillon {

class CTmpApp;

// The fields in which the configuration read back differs from the one
// sent, one line each as the user knows them; empty when they agree. Both
// documents come in their read-back form (ReadBackForm).
using ConfigurationCompare =
    std::function<std::vector<std::string>(const model::CTmpDoc& sent, const model::CTmpDoc& card)>;

// A compare that names the parts that differ without their fields: the
// channel, the squelch group, the tone, the radio-wide parameter.
std::vector<std::string> DifferingParts(const model::CTmpDoc& sent, const model::CTmpDoc& card);

class GuardedSend {
  public:
    struct Options {
        bool verify = false;
        // Empty: no backup.
        std::string backupFolder;
        // Local time of the backup's name.
        std::function<std::tm()> now;
        ConfigurationCompare compare = DifferingParts;
    };
    enum class Result {
        Running,
        NotStarted,    // the first command did not start (the user has been told)
        BackupFailed,  // nothing was sent
        SendFailed,    // the Send said why
        Sent,          // stored, nothing more asked
        Verified,      // stored and read back equal
        Differs,       // stored, but read back different
        VerifyReadFailed,
    };

    GuardedSend(CTmpApp& app, model::CTmpDoc& doc, Options options);
    ~GuardedSend();
    GuardedSend(const GuardedSend&) = delete;
    GuardedSend& operator=(const GuardedSend&) = delete;

    // Starts the backup read or, without one, the Send; false (Result
    // NotStarted or SendFailed) when it did not start.
    bool Start();
    // Goes on once the running command has ended; true when all is done.
    bool Step();

    Result GetResult() const { return result_; }
    bool Done() const { return result_ != Result::Running; }
    // The fields that differ (Result Differs).
    const std::vector<std::string>& Differences() const { return differences_; }
    // The backup written (empty without one).
    const std::string& BackupPath() const { return backupPath_; }

  private:
    enum class Phase { Idle, Backup, Send, Verify, Done };
    bool StartGet();
    bool StartSend();
    void Finish(Result r);
    void EndBackup();
    void EndSend();
    void EndVerify();

    CTmpApp& app_;
    model::CTmpDoc& doc_;
    Options options_;
    std::unique_ptr<model::CTmpDoc> scratch_;
    Phase phase_ = Phase::Idle;
    Result result_ = Result::Running;
    std::vector<std::string> differences_;
    std::string backupPath_;
    bool announceBefore_ = true;
    // The password this command logged in with: the Send forgets it at its
    // re-login after the reboot, but its verifying read belongs to the same
    // command and is not to ask again.
    std::string password_;
    bool passwordSeen_ = false;
    bool passwordLent_ = false;
    void NotePassword();
};

}  // namespace quillon
