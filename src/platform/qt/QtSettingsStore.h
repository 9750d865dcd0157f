#pragma once
#include <QSettings>
#include <memory>

#include "core/SettingsStore.h"

namespace quillon::qt {

// The per-user settings in an INI file in the user's configuration folder
// (~/.config/Quillon/Quillon Radio Programmer.ini on Linux).
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();
    // A store on a given INI file (tests, and a --settings option).
    explicit QtSettingsStore(const QString& iniPath);

    int GetInt(const std::string& section, const std::string& key, int def) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;
    void Flush() override;
    QString FileName() const;

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace quillon::qt
