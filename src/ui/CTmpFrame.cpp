#include "ui/CTmpFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "ui/CTmpView.h"

namespace quillon::ui {

namespace {

QString Text(const char* s) {
    return QString::fromLatin1(s);
}

}  // namespace

CTmpFrame::CTmpFrame(QWidget* parent) : QMainWindow(parent) {
    using QKS = QKeySequence;
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* file = fileMenu_;
    AddCommand(file, kIdNew, QStringLiteral("&New\tCtrl+N"),
               QStringLiteral("Create a new document"), {QKS(Qt::CTRL | Qt::Key_N)});
    AddCommand(file, kIdOpen, QStringLiteral("&Open...\tCtrl+O"),
               QStringLiteral("Open an existing document"), {QKS(Qt::CTRL | Qt::Key_O)});
    AddCommand(file, kIdSave, QStringLiteral("&Save\tCtrl+S"),
               QStringLiteral("Save the active document"), {QKS(Qt::CTRL | Qt::Key_S)});
    AddCommand(file, kIdSaveAs, QStringLiteral("Save &As..."),
               QStringLiteral("Save the active document with a new name"));
    file->addSeparator();
    AddCommand(file, kIdImport, QStringLiteral("&Import..."),
               QStringLiteral("Import channel table from CSV file"));
    AddCommand(file, kIdExport, QStringLiteral("&Export..."),
               QStringLiteral("Export channel table in CSV file"));
    AddCommand(file, kIdCompareWithFile, QStringLiteral("Compare with &File..."),
               QStringLiteral("Show how another document differs from this one"));
    AddCommand(file, kIdOpenBackup, QStringLiteral("Open &Backup..."),
               QStringLiteral("Open a transceiver configuration kept before a Send"));
    file->addSeparator();
    AddCommand(file, kIdPrint, QStringLiteral("&Print...\tCtrl+P"), QString(),
               {QKS(Qt::CTRL | Qt::Key_P)});
    AddCommand(file, kIdPrintPreview, QStringLiteral("Print Pre&view"), QString());
    file->addSeparator();
    recentAnchor_ = file->addSeparator();
    AddCommand(file, kIdExit, QStringLiteral("E&xit"),
               QStringLiteral("Quit the application; prompts to save documents"));
    SetRecentFiles({});

    auto* editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    AddCommand(editMenu, kIdUndo, QStringLiteral("&Undo\tCtrl+Z"),
               QStringLiteral("Undo the last change to the document"),
               {QKS(Qt::CTRL | Qt::Key_Z), QKS(Qt::ALT | Qt::Key_Backspace)});
    AddCommand(editMenu, kIdRedo, QStringLiteral("&Redo\tCtrl+Y"),
               QStringLiteral("Redo the change undone last"),
               {QKS(Qt::CTRL | Qt::Key_Y), QKS(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    auto* configure = menuBar()->addMenu(QStringLiteral("&Configure"));
    AddCommand(configure, kIdSerialComms, QStringLiteral("Serial &Comms"), QString());
    AddCommand(configure, kIdModemCommands, QStringLiteral("&Modem Commands"), QString());
    AddCommand(configure, kIdExitBinaryMode, QStringLiteral("Exit Binary Mode"), QString());

    auto* program = menuBar()->addMenu(QStringLiteral("&Program"));
    AddCommand(program, kIdGet, QStringLiteral("&Get"),
               QStringLiteral("Get channel table and other settings from radio"));
    AddCommand(program, kIdSend, QStringLiteral("S&end"),
               QStringLiteral("Send radio channel and other settings to radio"));
    AddCommand(program, kIdCompareWithTransceiver, QStringLiteral("Compare with &Transceiver..."),
               QStringLiteral("Show what a Send would change in the transceiver"));
    AddCommand(program, kIdVerifyAfterSend, QStringLiteral("&Verify after Send"),
               QStringLiteral("Read the configuration back after a Send and compare it"))
        ->setCheckable(true);
    AddCommand(program, kIdBackupBeforeSend, QStringLiteral("&Back up Transceiver before Send"),
               QStringLiteral("Keep the transceiver's configuration before a Send changes it"))
        ->setCheckable(true);
    program->addSeparator();
    AddCommand(program, kIdRadioWideSettings, QStringLiteral("&Radio Wide Settings"), QString());
    AddCommand(program, kIdChannelTable, QStringLiteral("&Channel Table"), QString());
    AddCommand(program, kIdToneRemote, QStringLiteral("&Tone Remote Settings"), QString());
    AddCommand(program, kIdEncryption, QStringLiteral("&Encryption Settings"),
               QStringLiteral("Edit Encryption Keys"));
    AddCommand(program, kIdSquelchGroups, QStringLiteral("&Squelch Groups"),
               QStringLiteral("Add, edit or delete squelch groups and items"));
    program->addSeparator();
    AddCommand(program, kIdChangePassword, QStringLiteral("Change &Password"), QString());

    auto* phone = menuBar()->addMenu(QStringLiteral("Ph&one"));
    AddCommand(phone, kIdDial, QStringLiteral("&Dial"), QString());
    AddCommand(phone, kIdHangup, QStringLiteral("&Hangup"), QString());

    auto* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, kIdHelpContents, QStringLiteral("&Contents"), QString());
    AddCommand(help, kIdHelpSearch, QStringLiteral("&Search"), QString());
    AddCommand(help, kIdUsingHelp, QStringLiteral("&Using Help"),
               QStringLiteral("Display instructions about how to use help"));
    help->addSeparator();
    AddCommand(help, kIdAbout, QStringLiteral("&About Quillon Radio Programmer..."), QString());

    // Commands reached only by a key or a toolbar button. Nothing in the
    // program handles the editing ones, so they stay disabled.
    HiddenCommand(kIdCut, {QKS(Qt::CTRL | Qt::Key_X), QKS(Qt::SHIFT | Qt::Key_Delete)});
    HiddenCommand(kIdCopy, {QKS(Qt::CTRL | Qt::Key_C), QKS(Qt::CTRL | Qt::Key_Insert)});
    HiddenCommand(kIdPaste, {QKS(Qt::CTRL | Qt::Key_V), QKS(Qt::SHIFT | Qt::Key_Insert)});
    HiddenCommand(kIdNextPane, {QKS(Qt::Key_F6)});
    HiddenCommand(kIdPrevPane, {QKS(Qt::SHIFT | Qt::Key_F6)});
    HiddenCommand(kIdContextHelp, {QKS(Qt::SHIFT | Qt::Key_F1)});
    HiddenCommand(kIdHelp, {QKS(Qt::Key_F1)});
    BuildToolBar();

    setCentralWidget(new CTmpView(this));
    resize(640, 480);
    setAcceptDrops(true);

    // The message pane falls back to the idle text whenever a prompt goes.
    statusBar()->showMessage(Text(kIdleText));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& m) {
        if (m.isEmpty()) {
            statusBar()->showMessage(Text(kIdleText));
        }
    });
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(Text(indicator), this);
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
    }
    SetDocumentName(QStringLiteral("Untitled"));
}

void CTmpFrame::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Standard"));
    toolBar_->setObjectName(QStringLiteral("Standard"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setMovable(false);
    QStyle* st = style();
    auto button = [this](int id, const QIcon& icon, const QString& tip) {
        QAction* a = Action(id);
        a->setIcon(icon);
        if (!tip.isEmpty()) {
            a->setToolTip(tip);
        }
        toolBar_->addAction(a);
    };
    auto themed = [](const char* name, QStyle::StandardPixmap fallback, QStyle* s) {
        return QIcon::fromTheme(QString::fromLatin1(name), s->standardIcon(fallback));
    };
    button(kIdNew, themed("document-new", QStyle::SP_FileIcon, st), QStringLiteral("New"));
    button(kIdOpen, themed("document-open", QStyle::SP_DialogOpenButton, st),
           QStringLiteral("Open"));
    button(kIdSave, themed("document-save", QStyle::SP_DialogSaveButton, st),
           QStringLiteral("Save"));
    toolBar_->addSeparator();
    button(kIdPrint, themed("document-print", QStyle::SP_FileDialogDetailedView, st),
           QStringLiteral("Print"));
    toolBar_->addSeparator();
    button(kIdCut, themed("edit-cut", QStyle::SP_DialogDiscardButton, st), QStringLiteral("Cut"));
    button(kIdCopy, themed("edit-copy", QStyle::SP_FileLinkIcon, st), QStringLiteral("Copy"));
    button(kIdPaste, themed("edit-paste", QStyle::SP_DialogApplyButton, st),
           QStringLiteral("Paste"));
    button(kIdUndo, themed("edit-undo", QStyle::SP_ArrowBack, st), QStringLiteral("Undo"));
    toolBar_->addSeparator();
    button(kIdGet, st->standardIcon(QStyle::SP_ArrowDown), QStringLiteral("Get"));
    button(kIdSend, st->standardIcon(QStyle::SP_ArrowUp), QStringLiteral("Send"));
    toolBar_->addSeparator();
    button(kIdAbout, st->standardIcon(QStyle::SP_MessageBoxInformation), QStringLiteral("About"));
    button(kIdContextHelp, st->standardIcon(QStyle::SP_TitleBarContextHelpButton),
           QStringLiteral("Help"));
}

void CTmpFrame::SetDocumentName(const QString& name) {
    setWindowTitle(name + QStringLiteral(" - ") + Text(kTitleSuffix));
}

void CTmpFrame::SetRecentFiles(const QStringList& paths) {
    for (QAction* a : recentActions_) {
        actions_.erase(a->data().toInt());
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    if (paths.isEmpty()) {
        // An empty list still shows its place, disabled.
        QAction* a = new QAction(QStringLiteral("Recent File"), fileMenu_);
        a->setEnabled(false);
        a->setData(kIdRecentFirst);
        fileMenu_->insertAction(recentAnchor_, a);
        recentActions_.push_back(a);
        return;
    }
    for (int i = 0; i < paths.size() && i < 4; ++i) {
        const int id = kIdRecentFirst + i;
        const QString path = paths[i];
        QAction* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), fileMenu_);
        a->setData(id);
        a->setStatusTip(QStringLiteral("Open this document"));
        connect(a, &QAction::triggered, this, [this, path] {
            if (openPath_) {
                openPath_(path);
            }
            if (afterCommand_) {
                afterCommand_();
            }
        });
        fileMenu_->insertAction(recentAnchor_, a);
        recentActions_.push_back(a);
        actions_[id] = a;
    }
}

QAction* CTmpFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt,
                               const QList<QKeySequence>& keys) {
    QAction* a = menu->addAction(text);
    if (!prompt.isEmpty()) {
        a->setStatusTip(prompt);
    }
    a->setData(id);
    if (!keys.isEmpty()) {
        a->setShortcuts(keys);
    }
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id] = a;
    return a;
}

QAction* CTmpFrame::HiddenCommand(int id, const QList<QKeySequence>& keys) {
    auto* a = new QAction(this);
    a->setData(id);
    a->setShortcuts(keys);
    a->setEnabled(false);
    addAction(a);
    connect(a, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id] = a;
    return a;
}

void CTmpFrame::SetUndoRedo(const QString& undoName, bool canUndo, const QString& redoName,
                            bool canRedo) {
    auto name = [](const QString& verb, const QString& step, const char* keys) {
        return (step.isEmpty() ? verb : verb + ' ' + step) + QString::fromLatin1(keys);
    };
    QAction* undo = Action(kIdUndo);
    undo->setText(name(QStringLiteral("&Undo"), undoName, "\tCtrl+Z"));
    undo->setToolTip(undoName.isEmpty() ? QStringLiteral("Undo")
                                        : QStringLiteral("Undo ") + undoName);
    undo->setEnabled(canUndo);
    QAction* redo = Action(kIdRedo);
    redo->setText(name(QStringLiteral("&Redo"), redoName, "\tCtrl+Y"));
    redo->setEnabled(canRedo);
}

QAction* CTmpFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CTmpFrame::SetCommandHandler(int id, std::function<void()> fn) {
    const bool handled = static_cast<bool>(fn);
    handlers_[id] = std::move(fn);
    if (QAction* a = Action(id)) {
        a->setEnabled(handled);
    }
}

void CTmpFrame::closeEvent(QCloseEvent* event) {
    if (closeQuery_ && !closeQuery_()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CTmpFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data != nullptr && data->hasUrls() && !data->urls().isEmpty() &&
        data->urls().front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void CTmpFrame::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) {
        return;
    }
    // One document at a time: the first file dropped is the one opened.
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // Opening may ask questions; they come after the drop has ended, so the
    // dragging program is not left waiting on our dialogs.
    const QString path = url.toLocalFile();
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            if (openPath_) {
                openPath_(path);
            }
            if (afterCommand_) {
                afterCommand_();
            }
        },
        Qt::QueuedConnection);
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
