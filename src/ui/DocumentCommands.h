#pragma once
#include <functional>
#include <string>

#include "core/Prompts.h"
#include "model/CTmpDoc.h"
#include "model/FileResult.h"
#include "ui/FileDialogs.h"
#include "ui/RecentFiles.h"

namespace quillon::ui {

// The File menu's document commands: New, Open (also a recent document, the
// one named on the command line and a dropped file), Save, Save As, Import
// and Export. Every question and message goes through Prompts and the file
// dialogs, so tests script them.
//
// While a Get or a Send runs, the procedures read and write this very
// document; a command that would replace or empty it only beeps then.
class DocumentCommands {
  public:
    struct Hooks {
        std::function<bool()> transceiverBusy;  // a Get or Send is under way
        std::function<void()> documentChanged;  // title or recent list to refresh
        std::function<void()> saved;            // the document as it is now is on disk
        std::function<void()> replaced;         // New or Open: another document
    };
    DocumentCommands(model::CTmpDoc& doc, Prompts& prompts, FileDialogs& dialogs,
                     RecentFiles& recent, Hooks hooks);

    void New();
    void Open();
    // The file dialog in the backup folder (made when missing), then Open.
    void OpenBackup(const std::string& folder);
    // Opens this file as the document, after asking to save a modified one.
    // False when nothing was opened.
    bool OpenPath(const std::string& path);
    // False when the document was not saved (cancelled or failed).
    bool Save();
    bool SaveAs();
    void Import();
    void Export();
    // "Save changes to <title>?": Yes saves (false if that fails), No goes
    // on, Cancel stops (false).
    bool SaveModified();

    // The document's name as the title shows it.
    std::string Title() const;

  private:
    bool RefuseWhileBusy();
    bool SaveTo(const std::string& path);
    void Show(const model::FileResult& r);
    void Changed();

    model::CTmpDoc& doc_;
    Prompts& prompts_;
    FileDialogs& dialogs_;
    RecentFiles& recent_;
    Hooks hooks_;
};

}  // namespace quillon::ui
