#pragma once
#include <QMainWindow>
#include <functional>
#include <map>

#include "core/Version.h"

class QAction;
class QLabel;

namespace quillon::ui {

// The main window: menu bar, status bar and the view. Menu entries exist
// only for commands that do something.
class CTmpFrame : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kTitleSuffix =
        "Quillon Radio Programmer - Version " QUILLON_VERSION_TEXT;

    explicit CTmpFrame(QWidget* parent = nullptr);

    // "<document> - Quillon Radio Programmer - Version <version>".
    void SetDocumentName(const QString& name);

    // Connects a menu command (by its command id) to its handler. Every
    // command is followed by one more message to the procedure driver.
    void SetCommandHandler(int id, std::function<void()> fn);
    void SetAfterCommand(std::function<void()> fn) { afterCommand_ = std::move(fn); }
    // Asked before the window closes (Exit, the close box); false keeps it
    // open for now.
    void SetCloseQuery(std::function<bool()> fn) { closeQuery_ = std::move(fn); }
    QAction* Action(int id) const;
    // Runs a command by its id, as its menu entry would (also the commands
    // that have a handler but no menu entry).
    void Run(int id);

    static constexpr int kIdExit = 57665;
    static constexpr int kIdSerialComms = 32777;
    static constexpr int kIdExitBinaryMode = 32784;
    static constexpr int kIdGet = 32774;
    static constexpr int kIdSend = 32775;
    static constexpr int kIdRadioWideSettings = 32778;
    static constexpr int kIdChangePassword = 32783;
    // No menu entry: one table alone, from or to the card.
    static constexpr int kIdGetSquelchGroups = 32785;
    static constexpr int kIdSendSquelchGroups = 32786;
    static constexpr int kIdGetToneRemote = 32787;
    static constexpr int kIdSendToneRemote = 32788;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt);

    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
    std::function<void()> afterCommand_;
    std::function<bool()> closeQuery_;
};

}  // namespace quillon::ui
