#pragma once

// Every text the simulated card and modem put on the line, in one place so
// that the tests can name them. The prompts and the words the programmer
// looks for ("Login > ", "Passwd > ", "VEL", "Incorrect parameter",
// "Entering binary", "has changed", "table") are the ones real cards use;
// the rest is this simulator's own wording.
namespace quillon::sim::msg {

// The card's command line.
inline constexpr const char* kLoginPrompt = "Login > ";
inline constexpr const char* kPasswordPrompt = "Passwd > ";
inline constexpr const char* kShellPrompt = "VEL> ";
inline constexpr const char* kLoginIncorrect = "Login incorrect";
inline constexpr const char* kUnknownCommand = "Unknown command";
inline constexpr const char* kLineTooLong = "Line too long";
inline constexpr const char* kIncorrectParameter = "Incorrect parameter";
inline constexpr const char* kInvalidValue = "Invalid value";
inline constexpr const char* kReadOnly = "Parameter is read-only";
inline constexpr const char* kEnteringBinary = "Entering binary mode";
inline constexpr const char* kKeysErased = "Encryption keys erased";
inline constexpr const char* kKeyAdded = "Encryption key added";
inline constexpr const char* kKeyRefused = "Encryption key refused";
inline constexpr const char* kKeyStoreFull = "Encryption key store full";
inline constexpr const char* kUsersHeader = "Users:";
inline constexpr const char* kUserAdded = "User added";
inline constexpr const char* kUserRefused = "Usage: user NAME adm|usr";
inline constexpr const char* kUserTableFull = "User table full";
inline constexpr const char* kUnknownUser = "Unknown user";
inline constexpr const char* kOldPasswordPrompt = "Old password: ";
inline constexpr const char* kNewPasswordPrompt = "New password: ";
inline constexpr const char* kRetypePasswordPrompt = "Retype new password: ";
inline constexpr const char* kPasswordChanged = "Password has changed";
inline constexpr const char* kPasswordWrong = "Password not changed: old password wrong";
inline constexpr const char* kPasswordMismatch = "Password not changed: new passwords differ";
inline constexpr const char* kPasswordEmpty = "Password not changed: new password empty";
inline constexpr const char* kWritingTable = "Writing channel table, rebooting";
inline constexpr const char* kHelp =
    "Commands: getp NAME, setp NAME VALUE, getu, user NAME LEVEL, chpwd NAME, wct, logout";

// The modem's result words, verbose and numeric.
inline constexpr const char* kModemOk = "OK";
inline constexpr const char* kModemConnect = "CONNECT 9600";
inline constexpr const char* kModemNoCarrier = "NO CARRIER";
inline constexpr const char* kModemError = "ERROR";
inline constexpr const char* kModemNoDialtone = "NO DIALTONE";
inline constexpr const char* kModemBusy = "BUSY";
inline constexpr const char* kModemIdentity = "Simulated 9600 modem";

}  // namespace quillon::sim::msg
