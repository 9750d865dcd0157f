#include "ui/DocumentCommands.h"

#include <filesystem>

#include "model/ChannelCsv.h"
#include "model/DocumentFile.h"
#include "model/Messages.h"

namespace quillon::ui {

namespace {

const std::vector<FileDialogs::Filter>& DocumentFilters() {
    static const std::vector<FileDialogs::Filter> f = {
        {"Quillon Documents (*.bcf)", "*.bcf"},
        {"All Files (*.*)", "*.*"},
    };
    return f;
}

const std::vector<FileDialogs::Filter>& CsvFilters() {
    static const std::vector<FileDialogs::Filter> f = {
        {std::string(model::msg::kCsvFilter), model::msg::kCsvPattern},
        {std::string(model::msg::kAllFilesFilter), model::msg::kAllFilesPattern},
    };
    return f;
}

}  // namespace

DocumentCommands::DocumentCommands(model::CTmpDoc& doc, Prompts& prompts, FileDialogs& dialogs,
                                   RecentFiles& recent, Hooks hooks)
    : doc_(doc), prompts_(prompts), dialogs_(dialogs), recent_(recent), hooks_(std::move(hooks)) {}

std::string DocumentCommands::Title() const {
    return doc_.Title().empty() ? std::string(model::msg::kUntitled) : doc_.Title();
}

bool DocumentCommands::RefuseWhileBusy() {
    if (hooks_.transceiverBusy && hooks_.transceiverBusy()) {
        prompts_.Beep();
        return true;
    }
    return false;
}

void DocumentCommands::Changed() {
    if (hooks_.documentChanged) {
        hooks_.documentChanged();
    }
}

void DocumentCommands::Show(const model::FileResult& r) {
    if (!r.ok() && !r.message.empty()) {
        prompts_.MessageBox(r.message, r.icon == Icon::None ? Icon::Exclamation : r.icon);
    }
}

bool DocumentCommands::SaveModified() {
    if (!doc_.IsModified()) {
        return true;
    }
    std::string text = model::msg::kSaveChanges;
    text.replace(text.find("%1"), 2, Title());
    switch (prompts_.MessageBox(text, Icon::Question, Buttons::YesNoCancel)) {
        case Answer::Yes:
            return Save();
        case Answer::No:
            return true;
        default:
            return false;
    }
}

void DocumentCommands::New() {
    if (RefuseWhileBusy() || !SaveModified()) {
        return;
    }
    doc_.NewDocument();
    if (hooks_.replaced) {
        hooks_.replaced();
    }
    Changed();
}

void DocumentCommands::Open() {
    if (RefuseWhileBusy()) {
        return;
    }
    auto path = dialogs_.OpenFile("Open", DocumentFilters());
    if (path) {
        OpenPath(*path);
    }
}

void DocumentCommands::OpenBackup(const std::string& folder) {
    if (RefuseWhileBusy()) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    auto path = dialogs_.OpenFileIn("Open Backup", DocumentFilters(), folder);
    if (path) {
        OpenPath(*path);
    }
}

bool DocumentCommands::OpenPath(const std::string& path) {
    if (RefuseWhileBusy() || !SaveModified()) {
        return false;
    }
    const model::FileResult r = model::OpenDocumentFile(path, doc_);
    Show(r);
    if (!r.ok()) {
        // Unreadable or no document of ours: the document stays as it was
        // and the name is no longer offered.
        recent_.Remove(path);
        recent_.Store();
        Changed();
        return false;
    }
    if (hooks_.replaced) {
        hooks_.replaced();
    }
    recent_.Add(path);
    recent_.Store();
    Changed();
    return true;
}

bool DocumentCommands::SaveTo(const std::string& path) {
    const model::FileResult r = model::SaveDocumentFile(path, doc_);
    Show(r);
    if (!r.ok()) {
        return false;
    }
    if (hooks_.saved) {
        hooks_.saved();
    }
    recent_.Add(path);
    recent_.Store();
    Changed();
    return true;
}

bool DocumentCommands::Save() {
    if (doc_.PathName().empty()) {
        return SaveAs();
    }
    return SaveTo(doc_.PathName());
}

bool DocumentCommands::SaveAs() {
    const std::string suggested = doc_.PathName().empty() ? Title() : doc_.PathName();
    auto path = dialogs_.SaveFile("Save As", DocumentFilters(), suggested, "bcf");
    return path && SaveTo(*path);
}

void DocumentCommands::Import() {
    if (RefuseWhileBusy() || !SaveModified()) {
        return;
    }
    auto path = dialogs_.OpenFile(model::msg::kImportTitle, CsvFilters());
    if (!path) {
        return;
    }
    // A refused file leaves the document exactly as it was.
    Show(model::ImportCsvFile(*path, doc_));
    Changed();
}

void DocumentCommands::Export() {
    std::string text;
    const model::FileResult check = model::ExportCsv(doc_, text);
    if (!check.ok()) {
        Show(check);
        return;
    }
    auto path = dialogs_.SaveFile(model::msg::kExportTitle, CsvFilters(), std::string(),
                                  model::msg::kCsvDefaultExtension);
    if (path) {
        Show(model::ExportCsvFile(*path, doc_));
    }
}

}  // namespace quillon::ui
