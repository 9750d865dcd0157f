#pragma once
#include <QPointer>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QTextBrowser;
class QToolBar;

namespace quillon::ui {

// The user manual in a window of its own, beside the program: the pages
// built into the program, shown by Qt's text browser, with Contents, Index,
// Back and Forward and a find box.
//
// A modal dialog blocks every other window, the help too; so while a modal
// dialog is in front, the viewer makes itself a window of that dialog, and
// returns to being on its own when the dialog closes.
class HelpViewer : public QWidget {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Help > Contents, Help > Search (the keyword index), Help > Using Help.
    void ShowContents();
    void ShowIndex();
    void ShowUsingHelp();
    // F1: the page for that window or dialog (the contents for one the
    // manual does not know).
    void ShowPageFor(const QWidget* window);
    // The entry of a menu command in the command reference (the contents
    // for an unknown id).
    void ShowCommand(int commandId);
    // Any page of the manual, "page.html#anchor".
    void ShowTopic(const QString& topic);

    QUrl CurrentPage() const;
    QTextBrowser* Browser() const { return browser_; }
    QLineEdit* FindBox() const { return find_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FindNext(bool fromStart);
    void FollowModalDialog();
    void LeaveModalDialog();

    QTextBrowser* browser_ = nullptr;
    QToolBar* bar_ = nullptr;
    QLineEdit* find_ = nullptr;
    QPointer<QWidget> home_;
    QPointer<QWidget> modalParent_;
};

}  // namespace quillon::ui
