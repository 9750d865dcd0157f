#pragma once
#include <string>
#include <vector>

#include "core/SettingsStore.h"

namespace quillon::ui {

// The four documents used last, newest first, kept in the settings so the
// File menu offers them again after a restart.
class RecentFiles {
  public:
    static constexpr size_t kMax = 4;
    static constexpr const char* kSection = "Recent File List";

    explicit RecentFiles(SettingsStore& settings);
    const std::vector<std::string>& List() const { return paths_; }
    // To the front; the fifth falls off.
    void Add(const std::string& path);
    // A document that could not be opened is no longer offered.
    void Remove(const std::string& path);
    // Writes the list ("File1" to "File4"; unused keys emptied).
    void Store();

  private:
    SettingsStore& settings_;
    std::vector<std::string> paths_;
};

}  // namespace quillon::ui
