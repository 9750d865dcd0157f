#pragma once
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/CTmpDoc.h"
#include "ops/CTmpApp.h"
#include "ops/CommLog.h"
#include "ops/GuardedSend.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtMessagePump.h"
#include "platform/qt/QtSerialDevice.h"
#include "platform/qt/QtSettingsStore.h"
#include "ui/CTmpFrame.h"
#include "ui/ContextHelp.h"
#include "ui/DocumentCommands.h"
#include "ui/DocumentHistory.h"
#include "ui/FileDialogs.h"
#include "ui/HelpViewer.h"
#include "ui/ProgressWindow.h"
#include "ui/QtPrompts.h"
#include "ui/RecentFiles.h"

namespace quillon::ui {

// Options of the GUI's command line.
struct GuiOptions {
    std::string devicePath;    // --device PATH: the stored COM port is this device for this run
    QString settingsFile;      // --settings FILE: an INI file instead of the user's one
    QString documentPath;      // a document named on the command line
    std::string logPath;       // --log or --log=FILE: write the communication log (Tarvek.dat)
    bool showHelp = false;     // -h, --help: print GuiHelpText() and exit
    bool serialDebug = false;  // --serial-debug: the Serial Debug window once a port exists
};

// The GUI wired together: the real seams, the application object and the
// main window, with the start-up and exit order of the program.
class GuiProgram {
  public:
    explicit GuiProgram(const GuiOptions& options);
    ~GuiProgram();

    // Start-up: settings, port, main window shown.
    void Start();
    // After the event loop has ended: settings saved, main window gone,
    // then the left-in-binary warning and the port closed.
    void Finish();

    CTmpApp& App() { return *app_; }
    model::CTmpDoc& Document() { return document_; }
    CTmpFrame& Frame() { return *frame_; }
    ProgressWindow& Progress() { return *progress_; }
    qt::QtSettingsStore& Settings() { return *settings_; }
    qt::QtMessagePump& Pump() { return pump_; }
    DocumentCommands& Documents() { return *documents_; }
    // Tests answer the file dialogs from a script.
    void SetFileDialogs(FileDialogs* dialogs) { fileDialogs_ = dialogs; }

  private:
    void OpenSerialComms();
    void ShowAbout();
    // Command 32781: the Serial Debug window attached to the port object,
    // or the attached one let go (it stays on the screen, no longer fed).
    void ToggleSerialDebug();
    // Title and recent list after New, Open, Save.
    void DocumentChanged();
    // A dialog that edits the document runs only while no Get or Send
    // reads or writes it.
    bool EditorMayOpen();
    // Runs an editing command as one undo step named `name`.
    void Edit(const std::string& name, const std::function<void()>& command);
    // A transceiver command that fills the document (a Get): its undo step
    // is recorded once the driver is idle again.
    void FillFromTransceiver(const std::string& name, const std::function<void()>& command);
    void UndoRedo(bool undo);
    void OpenChannelTable();
    // Send with the backup and verify reads the Program menu switches on.
    void Send();
    void StoreSendSwitches();
    // A Get into a scratch document, then the differences to the document.
    void CompareWithTransceiver();
    // Puts the driver back on the program's document after a scratch read.
    void EndCompareRead();
    // Exit and the close box while a transfer runs: the procedures are
    // cancelled first and the window closes once the driver is idle, so the
    // card is not left in the middle of a message. Asked again while that
    // is under way, the window closes at once.
    bool MayClose();

    GuiOptions options_;
    qt::QtClock clock_;
    qt::QtMessagePump pump_;
    std::unique_ptr<qt::QtSettingsStore> settings_;
    int overridePort_ = 0;
    std::unique_ptr<qt::QtSerialFactory> devices_;
    QtPrompts prompts_;
    std::unique_ptr<ProgressWindow> progress_;
    CommLog log_{clock_};
    // The one document of the program; Get fills it, Send reads it.
    model::CTmpDoc document_;
    std::unique_ptr<CTmpApp> app_;
    std::unique_ptr<RecentFiles> recent_;
    QtFileDialogs qtFileDialogs_;
    FileDialogs* fileDialogs_ = &qtFileDialogs_;
    // Forwards to fileDialogs_, so tests may swap the dialogs after start-up.
    struct DialogsProxy : FileDialogs {
        GuiProgram* owner = nullptr;
        std::optional<std::string> OpenFile(const std::string& title,
                                            const std::vector<Filter>& filters) override {
            return owner->fileDialogs_->OpenFile(title, filters);
        }
        std::optional<std::string> SaveFile(const std::string& title,
                                            const std::vector<Filter>& filters,
                                            const std::string& suggested,
                                            const std::string& extension) override {
            return owner->fileDialogs_->SaveFile(title, filters, suggested, extension);
        }
    } dialogsProxy_;
    std::unique_ptr<DocumentCommands> documents_;
    DocumentHistory history_{document_};
    std::optional<std::pair<std::string, DocumentHistory::Before>> pendingFill_;
    QTimer fillWatch_;
    std::unique_ptr<GuardedSend> guard_;
    QTimer guardWatch_;
    std::unique_ptr<model::CTmpDoc> compareScratch_;
    QTimer compareWatch_;
    std::unique_ptr<CTmpFrame> frame_;
    // The help goes before the main window; its key filter before the help.
    std::unique_ptr<HelpViewer> help_;
    std::unique_ptr<ContextHelp> contextHelp_;
    class SerialDebugWindow* serialDebug_ = nullptr;  // the attached one
    QTimer serialDebugWatch_;
    bool finished_ = false;
    bool closeAfterCancel_ = false;
    QTimer closeWatch_;
};

// Reads the GUI's options (argv after QApplication took its own); false
// (with a message in `error`) on a bad one.
bool ParseGuiOptions(int argc, char** argv, GuiOptions& out, std::string& error);

// "Usage: quillon [--device PATH] ...", the first line of GuiHelpText().
extern const char* const kGuiUsage;
// What --help prints.
std::string GuiHelpText();

}  // namespace quillon::ui
