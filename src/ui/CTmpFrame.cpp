#include "ui/CTmpFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace quillon::ui {

CTmpFrame::CTmpFrame(QWidget* parent) : QMainWindow(parent) {
    auto* file = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommand(file, kIdExit, QStringLiteral("E&xit"),
               QStringLiteral("Quit the application; prompts to save documents"));
    auto* configure = menuBar()->addMenu(QStringLiteral("&Configure"));
    AddCommand(configure, kIdSerialComms, QStringLiteral("Serial &Comms"), QString());
    AddCommand(configure, kIdExitBinaryMode, QStringLiteral("Exit Binary Mode"), QString());
    auto* program = menuBar()->addMenu(QStringLiteral("&Program"));
    AddCommand(program, kIdGet, QStringLiteral("&Get"),
               QStringLiteral("Get channel table and other settings from radio"));
    AddCommand(program, kIdSend, QStringLiteral("S&end"),
               QStringLiteral("Send radio channel and other settings to radio"));
    program->addSeparator();
    AddCommand(program, kIdRadioWideSettings, QStringLiteral("&Radio Wide Settings"), QString());
    program->addSeparator();
    AddCommand(program, kIdChangePassword, QStringLiteral("Change &Password"), QString());

    // The view shows a white area until the picture comes.
    auto* view = new QWidget(this);
    view->setAutoFillBackground(true);
    QPalette pal = view->palette();
    pal.setColor(QPalette::Window, Qt::white);
    view->setPalette(pal);
    setCentralWidget(view);
    resize(640, 480);

    statusBar()->showMessage(QStringLiteral("For Help, press F1"));
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), this);
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
    }
    SetDocumentName(QStringLiteral("Untitled"));
}

void CTmpFrame::SetDocumentName(const QString& name) {
    setWindowTitle(name + QStringLiteral(" - ") + QString::fromLatin1(kTitleSuffix));
}

QAction* CTmpFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt) {
    QAction* a = menu->addAction(text);
    if (!prompt.isEmpty()) {
        a->setStatusTip(prompt);
    }
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id] = a;
    return a;
}

QAction* CTmpFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CTmpFrame::SetCommandHandler(int id, std::function<void()> fn) {
    handlers_[id] = std::move(fn);
}

void CTmpFrame::closeEvent(QCloseEvent* event) {
    if (closeQuery_ && !closeQuery_()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CTmpFrame::Run(int id) {
    auto it = handlers_.find(id);
    if (it != handlers_.end() && it->second) {
        it->second();
    }
    if (afterCommand_) {
        afterCommand_();
    }
}

}  // namespace quillon::ui
