#pragma once
// The folder where the card's configuration is kept before every Send that
// asks for it: one document per backup, named after the time it was read,
// the newest ones kept.
#include <ctime>
#include <string>
#include <vector>

#include "model/FileResult.h"

namespace quillon::model {
class CTmpDoc;
}

namespace quillon {

class BackupFolder {
  public:
    // Enough to go back a good while; the folder does not grow without end.
    static constexpr size_t kKeep = 50;

    explicit BackupFolder(std::string path) : path_(std::move(path)) {}

    // The user's data folder: $XDG_DATA_HOME/Quillon/backups, or
    // ~/.local/share/Quillon/backups; empty when neither is known.
    static std::string DefaultPath();

    // "2026-12-08_1402.bcf" for that local time.
    static std::string NameFor(const std::tm& when);

    // Saves the document under the name of `when`, with "_2", "_3"... after
    // the time when that name is taken (nothing is overwritten), creating
    // the folder as needed, then removes the oldest backups beyond kKeep.
    // `savedPath` is the file written.
    model::FileResult Save(model::CTmpDoc& doc, const std::tm& when, std::string& savedPath);

    // The backups in the folder, oldest first (only files named as Save
    // names them; anything else there is the user's and left alone).
    std::vector<std::string> List() const;

    const std::string& Path() const { return path_; }

  private:
    void Rotate();
    std::string path_;
};

}  // namespace quillon
