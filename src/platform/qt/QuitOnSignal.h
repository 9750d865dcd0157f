#pragma once

namespace quillon::qt {

// Makes SIGINT and SIGTERM end the event loop like File > Exit, so the
// settings are saved and the port closed when the program is stopped from
// a terminal. Call once, after the application object exists.
void QuitOnTerminationSignals();

}  // namespace quillon::qt
