#pragma once
#include <functional>

namespace quillon::qt {

// Makes SIGINT and SIGTERM run handler from the event loop (never inside the
// signal handler itself), replacing the handler set before. Call after the
// application object exists.
void OnTerminationSignals(std::function<void()> handler);

// SIGINT and SIGTERM end the process again, as they do by default.
void DefaultTerminationSignals();

// Makes SIGINT and SIGTERM end the event loop like File > Exit, so the
// settings are saved and the port closed when the program is stopped from
// a terminal.
void QuitOnTerminationSignals();

}  // namespace quillon::qt
