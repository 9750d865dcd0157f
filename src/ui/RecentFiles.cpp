#include "ui/RecentFiles.h"

#include <algorithm>

namespace quillon::ui {

namespace {

std::string Key(size_t i) {
    return "File" + std::to_string(i + 1);
}

}  // namespace

RecentFiles::RecentFiles(SettingsStore& settings) : settings_(settings) {
    for (size_t i = 0; i < kMax; ++i) {
        std::string p = settings_.GetString(kSection, Key(i), "");
        if (!p.empty() && std::find(paths_.begin(), paths_.end(), p) == paths_.end()) {
            paths_.push_back(std::move(p));
        }
    }
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty()) {
        return;
    }
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMax) {
        paths_.resize(kMax);
    }
}

void RecentFiles::Remove(const std::string& path) {
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

void RecentFiles::Store() {
    for (size_t i = 0; i < kMax; ++i) {
        settings_.SetString(kSection, Key(i), i < paths_.size() ? paths_[i] : std::string());
    }
}

}  // namespace quillon::ui
