#pragma once
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>

#include "core/Version.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace quillon::ui {

// The main window: menu bar, toolbar, status bar and the view. Every
// command of the program has its entry; a command is enabled once it has a
// handler, so what is not built (or has no handler anywhere, like Cut, Copy
// and Paste) shows disabled.
class CTmpFrame : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kAppTitle = "Quillon Radio Programmer";
    static constexpr const char* kTitleSuffix =
        "Quillon Radio Programmer - Version " QUILLON_VERSION_TEXT;
    static constexpr const char* kIdleText = "For Help, press F1";

    explicit CTmpFrame(QWidget* parent = nullptr);

    // "<document> - Quillon Radio Programmer - Version <version>".
    void SetDocumentName(const QString& name);

    // Connects a command (by its id) to its handler and enables it. Every
    // command is followed by one more message to the procedure driver.
    void SetCommandHandler(int id, std::function<void()> fn);
    void SetAfterCommand(std::function<void()> fn) { afterCommand_ = std::move(fn); }
    // Asked before the window closes (Exit, the close box); false keeps it
    // open for now.
    void SetCloseQuery(std::function<bool()> fn) { closeQuery_ = std::move(fn); }
    // A file dropped on the window, or a recent document chosen.
    void SetOpenPathHandler(std::function<void(const QString&)> fn) { openPath_ = std::move(fn); }
    // The recent documents, newest first, as File > Recent File lists them.
    void SetRecentFiles(const QStringList& paths);
    QAction* Action(int id) const;
    // Undo and Redo follow the history: their text names the step, and they
    // are enabled only when there is one.
    void SetUndoRedo(const QString& undoName, bool canUndo, const QString& redoName, bool canRedo);
    QToolBar* ToolBar() const { return toolBar_; }
    // Runs a command by its id, as its menu entry would (also the commands
    // that have a handler but no menu entry).
    void Run(int id);

    static constexpr int kIdNew = 57600;
    static constexpr int kIdOpen = 57601;
    static constexpr int kIdSave = 57603;
    static constexpr int kIdSaveAs = 57604;
    static constexpr int kIdImport = 33001;
    static constexpr int kIdExport = 33002;
    static constexpr int kIdCompareWithFile = 33003;
    static constexpr int kIdOpenBackup = 33004;
    static constexpr int kIdPrint = 57607;
    static constexpr int kIdPrintPreview = 57609;
    static constexpr int kIdRecentFirst = 57616;
    static constexpr int kIdExit = 57665;
    static constexpr int kIdSerialComms = 32777;
    static constexpr int kIdModemCommands = 32789;
    static constexpr int kIdExitBinaryMode = 32784;
    static constexpr int kIdGet = 32774;
    static constexpr int kIdSend = 32775;
    static constexpr int kIdCompareWithTransceiver = 32792;
    static constexpr int kIdVerifyAfterSend = 32793;
    static constexpr int kIdBackupBeforeSend = 32794;
    static constexpr int kIdRadioWideSettings = 32778;
    static constexpr int kIdChannelTable = 32779;
    static constexpr int kIdToneRemote = 32780;
    static constexpr int kIdEncryption = 32771;
    static constexpr int kIdSquelchGroups = 32776;
    static constexpr int kIdChangePassword = 32783;
    static constexpr int kIdDial = 32790;
    static constexpr int kIdHangup = 32791;
    static constexpr int kIdHelpContents = 32772;
    static constexpr int kIdHelpSearch = 32773;
    static constexpr int kIdUsingHelp = 57668;
    static constexpr int kIdAbout = 57664;
    static constexpr int kIdUndo = 57643;
    static constexpr int kIdRedo = 57644;
    static constexpr int kIdCut = 57635;
    static constexpr int kIdCopy = 57634;
    static constexpr int kIdPaste = 57637;
    static constexpr int kIdNextPane = 57680;
    static constexpr int kIdPrevPane = 57681;
    static constexpr int kIdContextHelp = 57669;
    static constexpr int kIdHelp = 57670;
    // No menu entry: the serial debug window, and one table alone, from or
    // to the card.
    static constexpr int kIdSerialDebug = 32781;
    static constexpr int kIdGetSquelchGroups = 32785;
    static constexpr int kIdSendSquelchGroups = 32786;
    static constexpr int kIdGetToneRemote = 32787;
    static constexpr int kIdSendToneRemote = 32788;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt,
                        const QList<QKeySequence>& keys = {});
    // An action that is in no menu: a toolbar button or an accelerator.
    QAction* HiddenCommand(int id, const QList<QKeySequence>& keys);
    void BuildToolBar();

    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
    std::function<void()> afterCommand_;
    std::function<bool()> closeQuery_;
    std::function<void(const QString&)> openPath_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentAnchor_ = nullptr;  // the separator after the recent files
    QList<QAction*> recentActions_;
    QToolBar* toolBar_ = nullptr;
};

}  // namespace quillon::ui
