#include "ui/GuiProgram.h"

#include "link/PortNames.h"
#include "ops/Settings.h"
#include "ui/SerialCommsDialog.h"

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
    frame_->SetAfterCommand([this] { pump_.AfterCommand(); });
    frame_->SetCommandHandler(CTmpFrame::kIdExit, [this] { frame_->close(); });
    frame_->SetCommandHandler(CTmpFrame::kIdSerialComms, [this] { OpenSerialComms(); });
    frame_->show();
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
    app_->ExitInstance();
    prompts_.SetOwner(nullptr);
    frame_.reset();
    progress_->Hide();
    app_->Terminate();
    log_.Stop();
    log_.Close();
}

bool ParseGuiOptions(int argc, char** argv, GuiOptions& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--log") {
            // The file is optional: the log's own name in the current folder.
            if (i + 1 < argc && argv[i + 1][0] != '-' &&
                std::string(argv[i + 1]).find(".bcf") == std::string::npos) {
                out.logPath = argv[++i];
            } else {
                out.logPath = CommLog::kDefaultFile;
            }
        } else if (a == "--device" || a == "--settings") {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            const std::string v = argv[++i];
            if (a == "--device") {
                out.devicePath = v;
            } else {
                out.settingsFile = QString::fromStdString(v);
            }
        } else if (a.rfind("--", 0) == 0) {
            error = "unknown option " + a;
            return false;
        } else {
            out.documentPath = QString::fromStdString(a);
        }
    }
    return true;
}

}  // namespace quillon::ui
