#include "batch/SavedChoices.h"

#include "platform/Integer16.h"
#include "platform/SavedFont.h"
#include "platform/StoredChoices.h"

namespace batch {

namespace {

// The saved index of key, or fallback with a note when it is missing from the list.
int SavedIndex(platform::SettingsStore& settings, const QString& key, int fallback, int count,
               const QString& what, QStringList* notes) {
    const QString text =
        settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection, key, QString());
    if (text.isNull())
        return fallback;
    int index = -1;
    try {
        index = platform::ToInteger16(text);
    } catch (...) {
    }
    if (index < 0 || index >= count) {
        *notes << QStringLiteral("the saved %1 choice \"%2\" is not in the list; using the default")
                      .arg(what, text);
        return fallback;
    }
    return index;
}

}  // namespace

Choices SavedChoices(platform::SettingsStore& settings, bool needFont, bool needSize, bool needExt,
                     const std::function<QStringList()>& fontNames) {
    Choices c;
    if (needSize)
        c.size = platform::kFontSizes[SavedIndex(
            settings, QStringLiteral("Combo2"), platform::kDefaultFontSizeIndex,
            static_cast<int>(platform::kFontSizes.size()), QStringLiteral("font-size"), &c.notes)];
    if (needFont) {
        const QStringList names = fontNames();
        const std::optional<int> byName = platform::SavedFontByName(settings, names);
        if (byName) {
            c.font = names[*byName];
        } else if (!names.isEmpty()) {
            c.font = names[SavedIndex(
                settings, QStringLiteral("Combo3"), platform::kDefaultFontNameIndex,
                static_cast<int>(names.size()), QStringLiteral("font-name"), &c.notes)];
            const QString saved =
                settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection,
                                    platform::kFontNameKey, QString());
            if (!saved.isEmpty())
                c.notes << QStringLiteral("the saved font \"%1\" is not installed; using \"%2\"")
                               .arg(saved, c.font);
        }
    }
    if (needExt)
        c.ext = settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection,
                                    QStringLiteral("Extension"), platform::kDefaultExtension);
    return c;
}

}  // namespace batch
