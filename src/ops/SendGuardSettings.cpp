#include "ops/SendGuardSettings.h"

#include "ops/BackupFolder.h"

namespace quillon {

SendGuardSwitches LoadSendGuardSwitches(SettingsStore& settings) {
    SendGuardSwitches s;
    s.verify = settings.GetInt(settings::kSendGuards, settings::kVerifyAfterSend, 0) != 0;
    s.backup = settings.GetInt(settings::kSendGuards, settings::kBackupBeforeSend, 0) != 0;
    return s;
}

void StoreSendGuardSwitches(SettingsStore& settings, const SendGuardSwitches& switches) {
    settings.SetInt(settings::kSendGuards, settings::kVerifyAfterSend, switches.verify ? 1 : 0);
    settings.SetInt(settings::kSendGuards, settings::kBackupBeforeSend, switches.backup ? 1 : 0);
}

GuardedSend::Options SendGuardOptions(const SendGuardSwitches& switches) {
    GuardedSend::Options o;
    o.verify = switches.verify;
    if (switches.backup) {
        o.backupFolder = BackupFolder::DefaultPath();
    }
    return o;
}

}  // namespace quillon
