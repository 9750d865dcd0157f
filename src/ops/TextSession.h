#pragma once
#include <string>

namespace quillon {

class CTmpApp;

// Ends the session on the card's command line; the card answers with its
// login prompt. Sent after a Send's re-login and when a command-line run
// that logged in is done.
inline constexpr const char* kLogoutCommand = "\rlogout\r";

// The text-mode procedures that every transfer starts with. They run on
// the application's session values and report failures themselves.

// Finds out whether the card is in binary mode, logged in or at its login
// prompt (DETECT_MODE).
void DetectMode(CTmpApp& app);

// Text procedure 2: detect, leave binary mode if needed, log in with the
// user name and the password, check the protocol version.
void StepLogin(CTmpApp& app);

// Text procedure 3: put the card into binary mode.
void StepEnterBinary(CTmpApp& app);

// Compares the card's protocol version with the one this program speaks.
void CheckCompatibility(CTmpApp& app);

// After the re-login that ends a Send: log out and report the reboot.
void AfterSendStep(CTmpApp& app, bool forgetPassword);

// The protocol version in a "getp bcp_version" reply, as the card's
// version is compared: the text up to its first character that is neither
// a digit nor a point (the last character is not looked at), converted as a
// decimal number regardless of the user's locale; 0 when there is none.
float ParseVersionReply(const std::string& reply);

}  // namespace quillon
