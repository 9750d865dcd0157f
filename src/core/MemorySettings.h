#pragma once
#include <map>
#include <string>
#include <utility>

#include "core/SettingsStore.h"

namespace quillon {

// Settings held in memory, for a run that must leave the user's stored
// settings alone (the command-line tool) and for the tests. Values are
// stored as text, as an INI file would hold them, so a test can plant a
// value of the wrong type.
class MemorySettings : public SettingsStore {
  public:
    int GetInt(const std::string& section, const std::string& key, int def) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;

    bool Has(const std::string& section, const std::string& key) const {
        return values_.count({section, key}) != 0;
    }
    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return values_;
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace quillon
