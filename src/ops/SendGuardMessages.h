#pragma once

// Texts of the backup before and the verification after a Send.
namespace quillon::msg {

inline constexpr const char* kConfigurationVerified =
    "Configuration verified: the transceiver holds exactly this document.";
// Followed by one line per differing field.
inline constexpr const char* kConfigurationDiffers =
    "The configuration read back from the transceiver differs from this document:";
inline constexpr const char* kVerifyReadFailed =
    "The configuration has been sent, but it could not be read back to verify it.";
inline constexpr const char* kBackupReadFailed =
    "The transceiver's configuration could not be read for the backup, so nothing has "
    "been sent.";
// Followed by why the file could not be written.
inline constexpr const char* kBackupSaveFailed =
    "The backup of the transceiver's configuration could not be saved, so nothing has "
    "been sent.";
inline constexpr const char* kBackupSaved = "The transceiver's configuration was backed up to %s";

}  // namespace quillon::msg
