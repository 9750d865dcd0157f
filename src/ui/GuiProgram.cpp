#include "ui/GuiProgram.h"

#include <QCommandLineParser>
#include <QFile>
#include <QMessageBox>
#include <cstdio>

#include "edit/VerifyCompare.h"
#include "link/PortNames.h"
#include "ops/BackupFolder.h"
#include "ops/SendGuardSettings.h"
#include "ops/Settings.h"
#include "ui/ChannelSettingsDialog.h"
#include "ui/ChannelTableDialog.h"
#include "ui/CompareWindow.h"
#include "ui/KeyDialogs.h"
#include "ui/ModemDialogs.h"
#include "ui/PrintCommands.h"
#include "ui/RadioWideSettingsDialog.h"
#include "ui/SerialCommsDialog.h"
#include "ui/SerialDebugWindow.h"
#include "ui/SquelchGroupsDialog.h"
#include "ui/ToneRemoteDialogs.h"

namespace quillon::ui {

GuiProgram::GuiProgram(const GuiOptions& options) : options_(options) {
    settings_ = options_.settingsFile.isEmpty()
                    ? std::make_unique<qt::QtSettingsStore>()
                    : std::make_unique<qt::QtSettingsStore>(options_.settingsFile);
    devices_ = std::make_unique<qt::QtSerialFactory>([this](const std::string& com) {
        return DeviceForComName(com, *settings_, options_.devicePath, overridePort_);
    });
    progress_ = std::make_unique<ProgressWindow>();
    app_ = std::make_unique<CTmpApp>(
        CTmpApp::Deps{*devices_, clock_, pump_, prompts_, *progress_, *settings_, log_});
    pump_.SetTarget(app_.get());
    app_->SetDocument(&document_);
    recent_ = std::make_unique<RecentFiles>(*settings_);
    dialogsProxy_.owner = this;
    documents_ = std::make_unique<DocumentCommands>(
        document_, prompts_, dialogsProxy_, *recent_,
        DocumentCommands::Hooks{[this] { return app_->TransceiverCommandBusy(); },
                                [this] { DocumentChanged(); }, [this] { history_.MarkSaved(); },
                                [this] { history_.Reset(); }});
    progress_->SetCancelHandler([this] { app_->CancelProcedures(); });
}

GuiProgram::~GuiProgram() {
    Finish();
}

void GuiProgram::Start() {
    // Nothing in the program starts the communication log; --log does, for
    // diagnosing a link on site.
    if (!options_.logPath.empty() && log_.Open(options_.logPath)) {
        log_.Start();
    }
    // The device given with --device stands for the stored COM port (COM1
    // when none is stored yet), so the program attaches to it at once.
    if (!options_.devicePath.empty()) {
        const int stored =
            settings_->GetInt(settings::kGeneral, settings::kComPort, settings::kDefaultComPort);
        overridePort_ = stored >= 0 ? stored + 1 : 1;
    }
    app_->InitInstance();
    if (!options_.devicePath.empty() && app_->comPortIndex == -1) {
        app_->comPortIndex = 0;
        if (settings_->GetInt(settings::kGeneral, settings::kRelease, 0) == 0) {
            app_->EnsurePort();
        }
    }
    frame_ = std::make_unique<CTmpFrame>();
    prompts_.SetOwner(frame_.get());
    qtFileDialogs_.SetOwner(frame_.get());
    frame_->SetAfterCommand([this] { pump_.AfterCommand(); });
    frame_->SetCommandHandler(CTmpFrame::kIdNew, [this] { documents_->New(); });
    frame_->SetCommandHandler(CTmpFrame::kIdOpen, [this] { documents_->Open(); });
    frame_->SetCommandHandler(CTmpFrame::kIdSave, [this] { documents_->Save(); });
    frame_->SetCommandHandler(CTmpFrame::kIdSaveAs, [this] { documents_->SaveAs(); });
    frame_->SetCommandHandler(CTmpFrame::kIdImport,
                              [this] { Edit("Import CSV", [this] { documents_->Import(); }); });
    frame_->SetCommandHandler(CTmpFrame::kIdUndo, [this] { UndoRedo(true); });
    frame_->SetCommandHandler(CTmpFrame::kIdRedo, [this] { UndoRedo(false); });
    frame_->SetCommandHandler(CTmpFrame::kIdExport, [this] { documents_->Export(); });
    frame_->SetOpenPathHandler([this](const QString& path) {
        documents_->OpenPath(QFile::encodeName(path).toStdString());
    });
    // Printing only reads the document, but a Get rewrites it as it goes.
    frame_->SetCommandHandler(CTmpFrame::kIdPrint, [this] {
        if (EditorMayOpen()) {
            Print(frame_.get(), document_, prompts_);
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdPrintPreview, [this] {
        if (EditorMayOpen()) {
            Preview(frame_.get(), document_, prompts_);
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdExit, [this] { frame_->close(); });
    frame_->SetCloseQuery([this] { return MayClose(); });
    frame_->SetCommandHandler(CTmpFrame::kIdSerialComms, [this] { OpenSerialComms(); });
    frame_->SetCommandHandler(CTmpFrame::kIdExitBinaryMode, [this] { app_->OnExitBinaryMode(); });
    frame_->SetCommandHandler(CTmpFrame::kIdGet,
                              [this] { FillFromTransceiver("Get", [this] { app_->OnGet(); }); });
    frame_->SetCommandHandler(CTmpFrame::kIdSend, [this] { Send(); });
    frame_->SetCommandHandler(CTmpFrame::kIdCompareWithTransceiver,
                              [this] { CompareWithTransceiver(); });
    frame_->SetCommandHandler(CTmpFrame::kIdVerifyAfterSend, [this] { StoreSendSwitches(); });
    frame_->SetCommandHandler(CTmpFrame::kIdBackupBeforeSend, [this] { StoreSendSwitches(); });
    {
        const SendGuardSwitches switches = LoadSendGuardSwitches(*settings_);
        frame_->Action(CTmpFrame::kIdVerifyAfterSend)->setChecked(switches.verify);
        frame_->Action(CTmpFrame::kIdBackupBeforeSend)->setChecked(switches.backup);
    }
    frame_->SetCommandHandler(CTmpFrame::kIdCompareWithFile, [this] {
        ShowCompareWithFile(frame_.get(), document_, prompts_, dialogsProxy_);
    });
    frame_->SetCommandHandler(CTmpFrame::kIdOpenBackup,
                              [this] { documents_->OpenBackup(BackupFolder::DefaultPath()); });
    QObject::connect(&guardWatch_, &QTimer::timeout, frame_.get(), [this] {
        if (guard_ && guard_->Step()) {
            guardWatch_.stop();
            guard_.reset();
        }
    });
    QObject::connect(&compareWatch_, &QTimer::timeout, frame_.get(), [this] {
        if (compareScratch_ && !app_->TransceiverCommandBusy()) {
            compareWatch_.stop();
            const bool read = app_->lastCommandEnd == CommandEnd::TableRead;
            std::unique_ptr<model::CTmpDoc> card = std::move(compareScratch_);
            EndCompareRead();
            if (read) {
                ShowCompareWithTransceiver(frame_.get(), document_, *card, prompts_);
            }
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdRadioWideSettings, [this] {
        if (!EditorMayOpen()) {
            return;
        }
        Edit("Radio Wide Settings", [this] {
            RadioWideSettingsDialog dlg(document_, frame_.get());
            dlg.exec();
        });
    });
    frame_->SetCommandHandler(CTmpFrame::kIdChannelTable, [this] {
        if (EditorMayOpen()) {
            OpenChannelTable();
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdToneRemote, [this] {
        if (EditorMayOpen()) {
            Edit("Tone Remote Settings",
                 [this] { RunToneRemoteDialog(frame_.get(), document_, prompts_); });
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdEncryption, [this] {
        if (EditorMayOpen()) {
            Edit("Encryption Settings",
                 [this] { RunEncryptionDialog(frame_.get(), document_, prompts_); });
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdSquelchGroups, [this] {
        if (EditorMayOpen()) {
            Edit("Squelch Groups",
                 [this] { RunSquelchGroupsDialog(frame_.get(), document_, prompts_); });
        }
    });
    frame_->SetCommandHandler(CTmpFrame::kIdChangePassword, [this] { app_->OnChangePassword(); });
    frame_->SetCommandHandler(CTmpFrame::kIdGetSquelchGroups, [this] {
        FillFromTransceiver("Get Squelch Groups", [this] { app_->OnGetSquelchGroups(); });
    });
    frame_->SetCommandHandler(CTmpFrame::kIdSendSquelchGroups,
                              [this] { app_->OnSendSquelchGroups(); });
    frame_->SetCommandHandler(CTmpFrame::kIdGetToneRemote, [this] {
        FillFromTransceiver("Get Tone Remote", [this] { app_->OnGetToneRemote(); });
    });
    frame_->SetCommandHandler(CTmpFrame::kIdSendToneRemote, [this] { app_->OnSendToneRemote(); });
    frame_->SetCommandHandler(CTmpFrame::kIdAbout, [this] { ShowAbout(); });
    frame_->SetCommandHandler(CTmpFrame::kIdSerialDebug, [this] { ToggleSerialDebug(); });
    help_ = std::make_unique<HelpViewer>();
    contextHelp_ = std::make_unique<ContextHelp>(*help_, frame_.get());
    frame_->SetCommandHandler(CTmpFrame::kIdHelpContents, [this] { help_->ShowContents(); });
    frame_->SetCommandHandler(CTmpFrame::kIdHelpSearch, [this] { help_->ShowIndex(); });
    frame_->SetCommandHandler(CTmpFrame::kIdUsingHelp, [this] { help_->ShowUsingHelp(); });
    frame_->SetCommandHandler(CTmpFrame::kIdHelp, [this] { help_->ShowPageFor(frame_.get()); });
    frame_->SetCommandHandler(CTmpFrame::kIdContextHelp, [this] { contextHelp_->Enter(); });
    if (options_.serialDebug) {
        // As soon as a port object exists, now or once one is opened.
        QObject::connect(&serialDebugWatch_, &QTimer::timeout, frame_.get(), [this] {
            if (app_->HasLink()) {
                serialDebugWatch_.stop();
                frame_->Run(CTmpFrame::kIdSerialDebug);
            }
        });
        serialDebugWatch_.start(0);
    }
    frame_->SetCommandHandler(CTmpFrame::kIdModemCommands, [this] {
        ModemCommandsDialog dlg(*app_, frame_.get());
        dlg.exec();
    });
    frame_->SetCommandHandler(CTmpFrame::kIdDial, [this] {
        DialDialog dlg(*app_, frame_.get());
        dlg.exec();
    });
    frame_->SetCommandHandler(CTmpFrame::kIdHangup, [this] { app_->OnHangup(); });
    QObject::connect(&history_.Stack(), &QUndoStack::indexChanged, frame_.get(), [this] {
        frame_->SetUndoRedo(history_.Stack().undoText(), history_.CanUndo(),
                            history_.Stack().redoText(), history_.CanRedo());
    });
    frame_->SetUndoRedo({}, false, {}, false);
    QObject::connect(&fillWatch_, &QTimer::timeout, frame_.get(), [this] {
        if (pendingFill_ && !app_->TransceiverCommandBusy()) {
            fillWatch_.stop();
            history_.Record(pendingFill_->first, pendingFill_->second);
            pendingFill_.reset();
        }
    });
    DocumentChanged();
    if (!options_.documentPath.isEmpty()) {
        documents_->OpenPath(QFile::encodeName(options_.documentPath).toStdString());
    }
    frame_->show();
}

bool GuiProgram::EditorMayOpen() {
    // A Send reads these values and a Get writes them while it runs.
    if (app_->TransceiverCommandBusy()) {
        prompts_.Beep();
        return false;
    }
    return true;
}

void GuiProgram::Edit(const std::string& name, const std::function<void()>& command) {
    const DocumentHistory::Before before = history_.Take();
    command();
    history_.Record(name, before);
}

void GuiProgram::OpenChannelTable() {
    // One undo step per command of the dialog: each Add or Edit that ends
    // with OK by itself, and what Copy and Delete did in between.
    DocumentHistory::Before before = history_.Take();
    auto recordTableChanges = [this, &before] {
        const int usedBefore = before.copy.channels.UsedCount();
        const int usedNow = document_.channels.UsedCount();
        history_.Record(usedNow < usedBefore ? "Delete Channels" : "Copy Channels", before);
        before = history_.Take();
    };
    EditChannelFn settings = ChannelSettingsEditor(frame_.get(), document_, prompts_);
    EditChannelFn edit = [&](int channel, bool addMode) {
        recordTableChanges();
        const bool ok = settings(channel, addMode);
        if (ok) {
            char name[32];
            std::snprintf(name, sizeof name, "%s Channel %03d", addMode ? "Add" : "Edit",
                          document_.channels.lastChannel);
            history_.Record(name, before);
            before = history_.Take();
        }
        return ok;
    };
    RunChannelTableDialog(frame_.get(), document_, prompts_, edit);
    recordTableChanges();
}

void GuiProgram::Send() {
    if (guard_ || compareScratch_) {
        prompts_.Beep();  // a command is under way
        return;
    }
    GuardedSend::Options options = SendGuardOptions(LoadSendGuardSwitches(*settings_));
    options.compare = edit::VerifyDifferences;
    guard_ = std::make_unique<GuardedSend>(*app_, document_, options);
    if (!guard_->Start()) {
        guard_.reset();
        return;
    }
    guardWatch_.start(50);
}

void GuiProgram::StoreSendSwitches() {
    StoreSendGuardSwitches(*settings_,
                           {frame_->Action(CTmpFrame::kIdVerifyAfterSend)->isChecked(),
                            frame_->Action(CTmpFrame::kIdBackupBeforeSend)->isChecked()});
}

void GuiProgram::CompareWithTransceiver() {
    if (guard_ || compareScratch_ || app_->TransceiverCommandBusy()) {
        prompts_.Beep();
        return;
    }
    // The card is read into a document of its own: the user's stays as it
    // is, and nothing asks about it being modified.
    compareScratch_ = std::make_unique<model::CTmpDoc>();
    app_->SetDocument(compareScratch_.get());
    app_->announceTableRead = false;
    if (!app_->OnGet()) {
        compareScratch_.reset();
        EndCompareRead();
        return;
    }
    compareWatch_.start(100);
}

void GuiProgram::EndCompareRead() {
    app_->SetDocument(&document_);
    app_->announceTableRead = true;
}

void GuiProgram::FillFromTransceiver(const std::string& name,
                                     const std::function<void()>& command) {
    if (pendingFill_) {
        command();  // refused with the busy beep: a command is under way
        return;
    }
    DocumentHistory::Before before = history_.Take();
    command();
    if (app_->TransceiverCommandBusy()) {
        pendingFill_.emplace(name, std::move(before));
        fillWatch_.start(100);
    } else {
        history_.Record(name, before);  // a Get refused at once changed nothing
    }
}

void GuiProgram::UndoRedo(bool undo) {
    // A Get writes this document and a Send reads it while they run.
    if (app_->TransceiverCommandBusy()) {
        prompts_.Beep();
        return;
    }
    if (undo) {
        history_.Undo();
    } else {
        history_.Redo();
    }
}

void GuiProgram::DocumentChanged() {
    if (!frame_) {
        return;
    }
    frame_->SetDocumentName(QString::fromLocal8Bit(documents_->Title().c_str()));
    QStringList paths;
    for (const std::string& p : recent_->List()) {
        paths << QFile::decodeName(p.c_str());
    }
    frame_->SetRecentFiles(paths);
}

void GuiProgram::ShowAbout() {
    QMessageBox box(frame_.get());
    box.setWindowTitle(QStringLiteral("About Quillon Radio Programmer"));
    box.setIconPixmap(frame_->windowIcon().pixmap(32, 32));
    box.setText(
        QStringLiteral("Quillon Radio Programmer\nVersion " QUILLON_VERSION_TEXT " (win32)"));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool GuiProgram::MayClose() {
    if (closeAfterCancel_ || !app_->TransceiverCommandBusy()) {
        closeWatch_.stop();
        // The document is asked about last, once nothing reads or writes it
        // any more.
        if (!documents_->SaveModified()) {
            closeAfterCancel_ = false;
            return false;
        }
        return true;
    }
    closeAfterCancel_ = true;
    app_->CancelProcedures();
    // The cancel ends the waits; the window closes from the event loop once
    // the driver has wound down.
    QObject::connect(&closeWatch_, &QTimer::timeout, frame_.get(), [this] {
        if (!app_->TransceiverCommandBusy()) {
            closeWatch_.stop();
            frame_->close();
        }
    });
    closeWatch_.start(50);
    return false;
}

void GuiProgram::ToggleSerialDebug() {
    if (!app_->HasLink()) {
        return;
    }
    if (serialDebug_ != nullptr) {
        app_->SetBciObserver(nullptr);
        app_->SetDebugWindow(nullptr);
        serialDebug_ = nullptr;
        return;
    }
    auto* w = new SerialDebugWindow(
        SerialDebugWindow::Hooks{[this](SerialDebugWindow* from, int kind) {
                                     // The attached window hears of its counter window through
                                     // the application's messages; a let-go one directly.
                                     if (from == serialDebug_) {
                                         pump_.Send(Message{static_cast<MessageKind>(kind), 0});
                                     } else if (kind ==
                                                static_cast<int>(MessageKind::RxCountersClosed)) {
                                         from->RxCountersClosed();
                                     } else {
                                         from->TxCountersClosed();
                                     }
                                 },
                                 [this](SerialDebugWindow* gone) {
                                     if (gone == serialDebug_) {
                                         app_->SetBciObserver(nullptr);
                                         app_->SetDebugWindow(nullptr);
                                         serialDebug_ = nullptr;
                                     }
                                 }},
        frame_.get());
    serialDebug_ = w;
    app_->SetBciObserver(w);
    app_->SetDebugWindow(w);
    w->show();
}

void GuiProgram::OpenSerialComms() {
    SerialCommsDialog dlg(*app_, *settings_, frame_.get());
    dlg.RunAndStore();
    // A device picked for the port of this run replaces the --device one.
    overridePort_ = 0;
}

void GuiProgram::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    // Whatever read or guarded Send was under way has been cancelled by the
    // close; nothing may go on writing into a scratch document after this.
    guardWatch_.stop();
    compareWatch_.stop();
    guard_.reset();
    if (compareScratch_) {
        app_->CancelProcedures();
        EndCompareRead();
        compareScratch_.reset();
    }
    app_->ExitInstance();
    prompts_.SetOwner(nullptr);
    contextHelp_.reset();
    help_.reset();
    frame_.reset();
    progress_->Hide();
    app_->Terminate();
    log_.Stop();
    log_.Close();
}

const char* const kGuiUsage =
    "Usage: quillon [--device PATH] [--settings FILE] [--log[=FILE]] [--serial-debug] "
    "[FILE.bcf]";

std::string GuiHelpText() {
    return std::string(kGuiUsage) +
           "\n\n"
           "The Quillon Radio Programmer.\n\n"
           "Options:\n"
           "  --device PATH    the stored COM port stands for the serial device PATH\n"
           "                   during this run\n"
           "  --settings FILE  keep the settings in the INI file FILE instead of the\n"
           "                   user's\n"
           "  --log            write the communication log to " +
           CommLog::kDefaultFile +
           " in the current folder\n"
           "  --log=FILE       write the communication log to FILE\n"
           "  --serial-debug   open the Serial Debug window as soon as a port is open\n"
           "  -h, --help       show this help and exit\n\n"
           "Arguments:\n"
           "  FILE.bcf         the document to open\n";
}

namespace {

// Arguments are bytes; as Latin-1 each byte is one character and comes back
// unchanged, and the option names are ASCII either way.
std::string ToBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

}  // namespace

bool ParseGuiOptions(int argc, char** argv, GuiOptions& out, std::string& error) {
    const QString device = QStringLiteral("device");
    const QString settings = QStringLiteral("settings");
    const QString log = QStringLiteral("log");
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("show this help and exit"));
    parser.addOption(help);
    parser.addOption(
        {device, QStringLiteral("serial device of the COM port"), QStringLiteral("PATH")});
    parser.addOption(
        {settings, QStringLiteral("INI file of the settings"), QStringLiteral("FILE")});
    parser.addOption({log, QStringLiteral("write the communication log")});
    const QCommandLineOption serialDebug(QStringLiteral("serial-debug"),
                                         QStringLiteral("open the Serial Debug window"));
    parser.addOption(serialDebug);

    // The parser has no option whose value may be left out: "--log=FILE" is
    // taken here, and the parser sees "--log" alone as a flag. A value of
    // another option and anything after "--" are not options.
    QStringList args{QStringLiteral("quillon")};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!optionsEnded && a.rfind("--log=", 0) == 0) {
            if (a.size() == 6) {
                error = "--log= needs a file name";
                return false;
            }
            out.logPath = a.substr(6);
            continue;
        }
        args << QString::fromLatin1(a.data(), static_cast<qsizetype>(a.size()));
        if (!optionsEnded && (a == "--device" || a == "--settings") && i + 1 < argc) {
            ++i;
            args << QString::fromLatin1(argv[i]);
        }
        optionsEnded = optionsEnded || a == "--";
    }
    if (!parser.parse(args)) {
        error = ToBytes(parser.errorText());
        return false;
    }
    out.showHelp = parser.isSet(help);
    out.serialDebug = parser.isSet(serialDebug);
    if (parser.isSet(device)) {
        out.devicePath = ToBytes(parser.value(device));
    }
    if (parser.isSet(settings)) {
        out.settingsFile = QFile::decodeName(parser.value(settings).toLatin1());
    }
    if (parser.isSet(log) && out.logPath.empty()) {
        out.logPath = CommLog::kDefaultFile;
    }
    const QStringList documents = parser.positionalArguments();
    if (!documents.isEmpty()) {
        // As before, the last document named is the one opened.
        out.documentPath = QFile::decodeName(documents.back().toLatin1());
    }
    return true;
}

}  // namespace quillon::ui
