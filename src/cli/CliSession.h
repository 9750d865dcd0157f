#pragma once
#include <QCoreApplication>
#include <functional>
#include <memory>
#include <string>

#include "cli/CliPrompts.h"
#include "core/LogSink.h"
#include "core/MemorySettings.h"
#include "ops/CTmpApp.h"
#include "ops/CommLog.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtMessagePump.h"
#include "platform/qt/QtSerialDevice.h"

namespace quillon::cli {

// The application object on a real serial device, for the commands that
// talk to a card. The user's settings are neither read nor written: the
// device comes from the command line and is COM1 for this run. The
// program's QCoreApplication runs the message loop.
class CliSession {
  public:
    explicit CliSession(const std::string& devicePath);
    ~CliSession();

    // Opens the port; false when the device does not open.
    bool Open();
    // Writes the communication log to this file from now on; a file that
    // cannot be created is said on stderr and the command goes on without.
    void StartLog(const std::string& path);
    // Lets the message loop run until done() holds or maxSeconds passed.
    bool RunUntil(const std::function<bool()>& done, int maxSeconds);

    // Ctrl+C (or SIGTERM) was pressed: it cancels the procedures exactly as
    // the progress window's Cancel does, so the card is not left in the
    // middle of a message. A second one ends the program at once.
    bool Interrupted() const { return interrupted_; }

    CTmpApp& App() { return *app_; }
    CliPrompts& Prompts() { return prompts_; }
    CliProgress& Progress() { return progress_; }

  private:
    std::string device_;
    qt::QtClock clock_;
    qt::QtMessagePump pump_;
    MemorySettings settings_;
    std::unique_ptr<qt::QtSerialFactory> devices_;
    CliPrompts prompts_;
    CliProgress progress_;
    CommLog log_{clock_};
    std::unique_ptr<CTmpApp> app_;
    bool interrupted_ = false;
};

}  // namespace quillon::cli
