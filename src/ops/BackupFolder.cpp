#include "ops/BackupFolder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "model/CTmpDoc.h"
#include "model/DocumentFile.h"

namespace quillon {

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".bcf";
constexpr size_t kStampLength = 15;  // "2026-12-08_1402"
// More backups in one minute than this is no backup any more but a loop.
constexpr int kMaxSuffix = 999;

bool Digits(const std::string& s, size_t from, size_t count) {
    if (from + count > s.size()) {
        return false;
    }
    for (size_t i = from; i < from + count; ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i])) == 0) {
            return false;
        }
    }
    return true;
}

// The order of a backup's name: its time, then its suffix (none counts as
// 1); nothing when the name is not one of ours.
struct BackupKey {
    std::string stamp;
    int suffix = 1;
    bool operator<(const BackupKey& o) const {
        return stamp != o.stamp ? stamp < o.stamp : suffix < o.suffix;
    }
};

bool ParseName(const std::string& name, BackupKey& key) {
    const std::string ext = kExtension;
    if (name.size() < kStampLength + ext.size() ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0) {
        return false;
    }
    if (!Digits(name, 0, 4) || name[4] != '-' || !Digits(name, 5, 2) || name[7] != '-' ||
        !Digits(name, 8, 2) || name[10] != '_' || !Digits(name, 11, 4)) {
        return false;
    }
    key.stamp = name.substr(0, kStampLength);
    key.suffix = 1;
    const size_t rest = name.size() - ext.size() - kStampLength;
    if (rest == 0) {
        return true;
    }
    // "_N", N from 2 to kMaxSuffix without leading zeros.
    if (rest < 2 || rest > 4 || name[kStampLength] != '_' || name[kStampLength + 1] == '0' ||
        !Digits(name, kStampLength + 1, rest - 1)) {
        return false;
    }
    key.suffix = std::atoi(name.substr(kStampLength + 1, rest - 1).c_str());
    return key.suffix >= 2;
}

}  // namespace

std::string BackupFolder::DefaultPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return (fs::path(data) / "Quillon" / "backups").string();
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return std::string();
    }
    return (fs::path(home) / ".local" / "share" / "Quillon" / "backups").string();
}

std::string BackupFolder::NameFor(const std::tm& when) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d_%02d%02d%s", when.tm_year + 1900,
                  when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, kExtension);
    return buf;
}

model::FileResult BackupFolder::Save(model::CTmpDoc& doc, const std::tm& when,
                                     std::string& savedPath) {
    savedPath.clear();
    if (path_.empty()) {
        return model::FileResult::Failure("No folder for the backup is known.");
    }
    std::error_code ec;
    fs::create_directories(path_, ec);
    if (ec || !fs::is_directory(path_, ec)) {
        return model::FileResult::Failure("The backup folder " + path_ + " could not be created.");
    }
    const std::string name = NameFor(when);
    const std::string stem = name.substr(0, kStampLength);
    std::string path = (fs::path(path_) / name).string();
    for (int n = 2; fs::exists(path, ec); ++n) {
        if (n > kMaxSuffix) {
            return model::FileResult::Failure("The backup folder " + path_ +
                                              " holds too many backups of this minute.");
        }
        path = (fs::path(path_) / (stem + "_" + std::to_string(n) + kExtension)).string();
    }
    model::FileResult saved = model::SaveDocumentFile(path, doc);
    if (!saved.ok()) {
        return saved;
    }
    savedPath = path;
    Rotate();
    return saved;
}

std::vector<std::string> BackupFolder::List() const {
    std::vector<std::pair<BackupKey, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        BackupKey key;
        if (ParseName(name, key) && it->is_regular_file(ec)) {
            found.emplace_back(std::move(key), it->path().string());
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (auto& f : found) {
        paths.push_back(std::move(f.second));
    }
    return paths;
}

void BackupFolder::Rotate() {
    const std::vector<std::string> all = List();
    if (all.size() <= kKeep) {
        return;
    }
    std::error_code ec;
    for (size_t i = 0; i + kKeep < all.size(); ++i) {
        fs::remove(all[i], ec);  // one that will not go is tried again next time
    }
}

}  // namespace quillon
