#pragma once
#include <string>

namespace quillon {

// Per-user settings by section and key. A value that is missing or of the
// wrong type reads as the default.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual int GetInt(const std::string& section, const std::string& key, int def) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def) = 0;
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
    virtual void SetString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
    // Writes pending changes to permanent storage.
    virtual void Flush() {}
};

}  // namespace quillon
