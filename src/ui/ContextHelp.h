#pragma once
#include <QObject>
#include <QPointer>

class QWidget;

namespace quillon::ui {

class HelpViewer;

// The help keys and the context help mode, for the whole application.
//
// F1 in any window but the main one (which has its own F1 command) opens
// the manual at that window's page; Shift+F1 there starts the context help
// mode too. In the mode the pointer is a question mark, and the next click
// on a menu command or a toolbar button opens that command's entry; a
// click anywhere else opens the page of the window clicked; Esc leaves the
// mode without help.
class ContextHelp : public QObject {
    Q_OBJECT
  public:
    ContextHelp(HelpViewer& viewer, QWidget* mainWindow, QObject* parent = nullptr);
    ~ContextHelp() override;

    // Shift+F1 and the toolbar's help button.
    void Enter();
    bool Active() const { return active_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Leave();
    bool HandleClick(QWidget* target, QEvent* event);

    HelpViewer& viewer_;
    QPointer<QWidget> mainWindow_;
    bool active_ = false;
};

}  // namespace quillon::ui
