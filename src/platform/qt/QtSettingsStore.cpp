#include "platform/qt/QtSettingsStore.h"

namespace quillon::qt {

namespace {
QString Key(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Quillon",
                                            "Quillon Radio Programmer")) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

int QtSettingsStore::GetInt(const std::string& section, const std::string& key, int def) {
    const QVariant v = settings_->value(Key(section, key));
    if (!v.isValid()) {
        return def;
    }
    // A value edited by hand into something that is not a number (or a list)
    // reads as the default rather than as 0.
    bool ok = false;
    const int i = v.toString().trimmed().toInt(&ok);
    return ok ? i : def;
}

std::string QtSettingsStore::GetString(const std::string& section, const std::string& key,
                                       const std::string& def) {
    const QVariant v = settings_->value(Key(section, key));
    if (!v.isValid() || !v.canConvert<QString>() || v.typeId() == QMetaType::QStringList) {
        return def;
    }
    return v.toString().toStdString();
}

void QtSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
    settings_->setValue(Key(section, key), value);
}

void QtSettingsStore::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
    settings_->setValue(Key(section, key), QString::fromStdString(value));
}

void QtSettingsStore::Flush() {
    settings_->sync();
}

QString QtSettingsStore::FileName() const {
    return settings_->fileName();
}

}  // namespace quillon::qt
