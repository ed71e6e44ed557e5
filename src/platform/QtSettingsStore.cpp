#include "platform/QtSettingsStore.h"

#include <QtDebug>
#include <memory>

namespace platform {

namespace {

std::unique_ptr<QSettings> Open(const QString& iniFile, const QString& appName,
                                const QString& section) {
    std::unique_ptr<QSettings> settings;
    if (iniFile.isEmpty()) {
        settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               appName, section);
    } else {
        settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
        settings->beginGroup(appName + QLatin1Char('/') + section);
    }
    return settings;
}

}  // namespace

QString QtSettingsStore::GetSetting(const QString& appName, const QString& section,
                                    const QString& key, const QString& defaultValue) {
    auto settings = Open(iniFile_, appName, section);
    if (!settings->contains(key))
        return defaultValue;
    return settings->value(key).toString();
}

void QtSettingsStore::SaveSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& value) {
    auto settings = Open(iniFile_, appName, section);
    settings->setValue(key, value);
    settings->sync();
    lastSaveFailed_ = settings->status() != QSettings::NoError;
    if (lastSaveFailed_)
        qWarning().noquote() << "Lineforge: could not save the setting" << key << "to"
                             << settings->fileName();
}

QString QtSettingsStore::Location(const QString& appName, const QString& section) const {
    return Open(iniFile_, appName, section)->fileName();
}

}  // namespace platform
