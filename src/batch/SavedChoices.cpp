#include "batch/SavedChoices.h"

#include "intake/ProcedurePaths.h"
#include "platform/Integer16.h"

namespace batch {

const QStringList kFontSizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                "20", "22", "24", "28", "36", "48", "72"};

namespace {

// The saved index of key, or fallback with a note when it is missing from the list.
int SavedIndex(platform::SettingsStore& settings, const QString& key, int fallback, int count,
               const QString& what, QStringList* notes) {
    const QString text =
        settings.GetSetting(intake::kSettingsApp, intake::kSettingsSection, key, QString());
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
        c.size = kFontSizes[SavedIndex(settings, QStringLiteral("Combo2"), kDefaultSizeIndex,
                                       static_cast<int>(kFontSizes.size()),
                                       QStringLiteral("font-size"), &c.notes)];
    if (needFont) {
        const QStringList names = fontNames();
        if (!names.isEmpty())
            c.font = names[SavedIndex(settings, QStringLiteral("Combo3"), kDefaultFontIndex,
                                      static_cast<int>(names.size()), QStringLiteral("font-name"),
                                      &c.notes)];
    }
    if (needExt)
        c.ext = settings.GetSetting(intake::kSettingsApp, intake::kSettingsSection,
                                    QStringLiteral("Extension"), kDefaultExtension);
    return c;
}

}  // namespace batch
