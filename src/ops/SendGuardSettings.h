#pragma once
// The two Program menu switches around a Send, kept in the user's settings:
// "Verify after Send" and "Back up Transceiver before Send".
#include "core/SettingsStore.h"
#include "ops/GuardedSend.h"

namespace quillon {

namespace settings {
inline constexpr const char* kSendGuards = "Send";
inline constexpr const char* kVerifyAfterSend = "Verify";
inline constexpr const char* kBackupBeforeSend = "Backup";
}  // namespace settings

struct SendGuardSwitches {
    bool verify = false;
    bool backup = false;
};

SendGuardSwitches LoadSendGuardSwitches(SettingsStore& settings);
void StoreSendGuardSwitches(SettingsStore& settings, const SendGuardSwitches& switches);

// The options of a guarded Send from the switches: the backup goes to the
// user's data folder (BackupFolder::DefaultPath). The compare is left to the
// caller.
GuardedSend::Options SendGuardOptions(const SendGuardSwitches& switches);

}  // namespace quillon
