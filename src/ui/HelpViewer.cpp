#include "ui/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/HelpTopics.h"

// The manual is compiled into the user-interface library; a static
// library's resources are registered by hand.
static void InitManualResources() {
    Q_INIT_RESOURCE(manual);
}

namespace quillon::ui {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), home_(parent) {
    InitManualResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Quillon Radio Programmer Help"));

    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(true);
    // Nothing in the manual leaves it; a link out would open in the
    // desktop's browser rather than here.
    browser_->setOpenExternalLinks(true);

    bar_ = new QToolBar(this);
    QAction* contents =
        bar_->addAction(QStringLiteral("&Contents"), this, [this] { ShowContents(); });
    QAction* index = bar_->addAction(QStringLiteral("&Index"), this, [this] { ShowIndex(); });
    QAction* back = bar_->addAction(QStringLiteral("&Back"), browser_, &QTextBrowser::backward);
    QAction* forward =
        bar_->addAction(QStringLiteral("&Forward"), browser_, &QTextBrowser::forward);
    contents->setObjectName(QStringLiteral("contents"));
    index->setObjectName(QStringLiteral("index"));
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    bar_->addSeparator();
    auto* findLabel = new QLabel(QStringLiteral("&Find:"), bar_);
    find_ = new QLineEdit(bar_);
    find_->setClearButtonEnabled(true);
    findLabel->setBuddy(find_);
    bar_->addWidget(findLabel);
    bar_->addWidget(find_);
    // Typing searches from the top of the page; Enter and F3 go on.
    connect(find_, &QLineEdit::textEdited, this, [this] { FindNext(true); });
    connect(find_, &QLineEdit::returnPressed, this, [this] { FindNext(false); });
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        find_->setFocus();
        find_->selectAll();
    });
    auto* nextKey = new QShortcut(QKeySequence::FindNext, this);
    connect(nextKey, &QShortcut::activated, this, [this] { FindNext(false); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [this] { ShowUsingHelp(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(browser_);
    resize(720, 600);
}

void HelpViewer::ShowContents() {
    ShowTopic(QStringLiteral("index.html"));
}

void HelpViewer::ShowIndex() {
    ShowTopic(QStringLiteral("keywords.html"));
    find_->setFocus();
}

void HelpViewer::ShowUsingHelp() {
    ShowTopic(QStringLiteral("using-help.html"));
}

void HelpViewer::ShowPageFor(const QWidget* window) {
    ShowTopic(HelpTopicFor(window != nullptr ? window->window() : nullptr));
}

void HelpViewer::ShowCommand(int commandId) {
    const QString topic = HelpTopicForCommand(commandId);
    ShowTopic(topic.isEmpty() ? QStringLiteral("index.html") : topic);
}

void HelpViewer::ShowTopic(const QString& topic) {
    FollowModalDialog();
    browser_->setSource(ManualUrl(topic));
    show();
    raise();
    activateWindow();
}

QUrl HelpViewer::CurrentPage() const {
    return browser_->source();
}

void HelpViewer::FindNext(bool fromStart) {
    const QString text = find_->text();
    if (text.isEmpty()) {
        return;
    }
    if (fromStart) {
        browser_->moveCursor(QTextCursor::Start);
    }
    if (!browser_->find(text)) {
        // Wrap round once.
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(text);
    }
}

void HelpViewer::FollowModalDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == this || modal == modalParent_) {
        return;
    }
    if (modal == nullptr) {
        return;
    }
    LeaveModalDialog();
    const QByteArray where = saveGeometry();
    setParent(modal, Qt::Window);
    restoreGeometry(where);
    modalParent_ = modal;
    modal->installEventFilter(this);
}

void HelpViewer::LeaveModalDialog() {
    if (modalParent_ == nullptr) {
        return;
    }
    modalParent_->removeEventFilter(this);
    modalParent_ = nullptr;
    const bool shown = isVisible();
    const QByteArray where = saveGeometry();
    setParent(home_, Qt::Window);
    restoreGeometry(where);
    if (shown) {
        show();
    }
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event) {
    // The dialog is going away: stay, on our own, before it takes us along.
    if (watched == modalParent_ &&
        (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        LeaveModalDialog();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillon::ui
