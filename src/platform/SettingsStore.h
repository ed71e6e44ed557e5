#pragma once

#include <QString>

namespace platform {

// Per-user text values addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or defaultValue when the key does not exist.
    virtual QString GetSetting(const QString& appName, const QString& section, const QString& key,
                               const QString& defaultValue) = 0;
    // Creates or replaces the entry and writes it through at once.
    virtual void SaveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value) = 0;
};

}  // namespace platform
