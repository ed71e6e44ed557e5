#include "platform/SavedFont.h"

#include "platform/StoredChoices.h"

namespace platform {

std::optional<int> SavedFontByName(SettingsStore& settings, const QStringList& names) {
    const QString name =
        settings.GetSetting(kSettingsApp, kSettingsSection, kFontNameKey, QString());
    if (name.isEmpty())
        return std::nullopt;
    const qsizetype at = names.indexOf(name);
    if (at < 0)
        return std::nullopt;
    return static_cast<int>(at);
}

}  // namespace platform
