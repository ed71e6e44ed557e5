#pragma once

#include <QSettings>
#include <QString>

#include "platform/SettingsStore.h"

namespace platform {

// The settings store on QSettings. The default store is the user's: application name as the
// organisation, section as the application, so "Kestrova", "Lineforge Suite", "Combo1" lives in
// the user's "Kestrova/Lineforge Suite" settings under the key "Combo1". A store built on a
// file keeps every entry in that one INI file, grouped as "application/section". Every save is
// written and synced at once; a failed sync is reported on stderr and by LastSaveFailed().
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore() = default;
    explicit QtSettingsStore(const QString& iniFile) : iniFile_(iniFile) {}

    QString GetSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& defaultValue) override;
    void SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;

    // Whether the last save could not be written through.
    bool LastSaveFailed() const { return lastSaveFailed_; }
    // Where the entries of that application and section are kept.
    QString Location(const QString& appName, const QString& section) const;

  private:
    QString iniFile_;
    bool lastSaveFailed_ = false;
};

}  // namespace platform
