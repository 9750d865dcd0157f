#include "ops/CheckedText.h"

#include "ops/CTmpApp.h"
#include "ops/Messages.h"
#include "ops/ProcedureCodes.h"

namespace quillon {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

bool EchoIntact(const std::string& withEcho, const std::string& command) {
    size_t line = 0;
    while (line < command.size() && !IsLineEnd(command[line])) {
        ++line;
    }
    return withEcho.size() > line && withEcho.compare(0, line, command, 0, line) == 0 &&
           IsLineEnd(withEcho[line]);
}

std::string AfterEcho(const std::string& withEcho, const std::string& command) {
    return withEcho.size() < command.size() ? std::string() : withEcho.substr(command.size());
}

CheckedReply CheckedExchange(CTmpApp& app, const std::string& command, int timeoutSeconds,
                             const std::function<bool(const std::string&)>& usable,
                             const std::string& secret) {
    const int procedure = app.textProcedure;
    CheckedReply reply;
    for (int i = 0; i < kCheckedTextTries; ++i) {
        // Looked up afresh: the wait dispatches messages, and a command run
        // inside it may replace or remove the link object.
        CBciLink* link = app.Link();
        if (link == nullptr || app.textProcedure != procedure) {
            break;
        }
        const std::string withEcho =
            secret.empty() ? link->SendText(command, timeoutSeconds, true, "")
                           : link->SendSecretText(command, secret, timeoutSeconds, true);
        reply.text = AfterEcho(withEcho, command);
        reply.intact = EchoIntact(withEcho, command) && (!usable || usable(reply.text));
        if (reply.intact || app.sessionState == session::kCancelled) {
            break;
        }
        if (i + 1 < kCheckedTextTries) {
            app.Log().Write(msg::kLogTextRepeated);
        }
    }
    return reply;
}

}  // namespace quillon
