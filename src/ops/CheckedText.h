#pragma once
#include <functional>
#include <string>

namespace quillon {

class CTmpApp;

// Text commands that change nothing when the card gets them twice (reading
// a parameter, setting one to a value, storing a key under its id) are sent
// again when the line has spoilt them. The card echoes every command as it
// received it, so an echo that differs from the command shows a fault on
// the line, one way or the other; a reply that cannot be used (a value that
// is no value) is asked for again too.
inline constexpr int kCheckedTextTries = 3;

// Whether `withEcho` begins with the echo of `command`: the command's text
// up to its first line end, followed by a line end. How the card echoes the
// line end itself ("\n\r" against "\r\n") is not judged.
bool EchoIntact(const std::string& withEcho, const std::string& command);

// The reply after the echo of `command`, as a text exchange with the echo
// stripped gives it: empty when the reply is shorter than the command.
std::string AfterEcho(const std::string& withEcho, const std::string& command);

struct CheckedReply {
    std::string text;     // the last reply, after the echo
    bool intact = false;  // its echo was intact and `usable` accepted it
};

// Sends `command` until its echo comes back intact and `usable` (when
// given) accepts the reply after it, at most kCheckedTextTries times. Stops
// sending as soon as the procedure that sent it no longer runs (Cancel, a
// command during a wait) or the port is gone. `secret`, when not empty, is
// masked in the communication log.
CheckedReply CheckedExchange(CTmpApp& app, const std::string& command, int timeoutSeconds,
                             const std::function<bool(const std::string&)>& usable = {},
                             const std::string& secret = std::string());

}  // namespace quillon
