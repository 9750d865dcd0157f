// The two switches around a Send are kept in the settings and give the
// options of the guarded Send.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/MemorySettings.h"
#include "ops/SendGuardSettings.h"

namespace quillon {
namespace {

TEST(SendGuardSettings, SwitchesAreOffUntilStoredAndThenKept) {
    MemorySettings store;
    SendGuardSwitches s = LoadSendGuardSwitches(store);
    EXPECT_FALSE(s.verify);
    EXPECT_FALSE(s.backup);
    StoreSendGuardSwitches(store, SendGuardSwitches{true, false});
    s = LoadSendGuardSwitches(store);
    EXPECT_TRUE(s.verify);
    EXPECT_FALSE(s.backup);
    EXPECT_EQ(store.GetInt("Send", "Verify", -1), 1);
    EXPECT_EQ(store.GetInt("Send", "Backup", -1), 0);
    StoreSendGuardSwitches(store, SendGuardSwitches{false, true});
    s = LoadSendGuardSwitches(store);
    EXPECT_FALSE(s.verify);
    EXPECT_TRUE(s.backup);
}

TEST(SendGuardSettings, TheBackupGoesToTheUsersDataFolder) {
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("XDG_DATA_HOME", "/data", 1);
    GuardedSend::Options o = SendGuardOptions(SendGuardSwitches{true, true});
    EXPECT_TRUE(o.verify);
    EXPECT_EQ(o.backupFolder, "/data/Quillon/backups");
    o = SendGuardOptions(SendGuardSwitches{false, false});
    EXPECT_FALSE(o.verify);
    EXPECT_TRUE(o.backupFolder.empty());
    if (saved != nullptr) {
        ::setenv("XDG_DATA_HOME", keep.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

}  // namespace
}  // namespace quillon
