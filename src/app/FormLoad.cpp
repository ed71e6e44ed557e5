#include <QDir>

#include "app/AppIcon.h"
#include "app/Form1.h"
#include "app/Main.h"
#include "app/ModeCaptions.h"
#include "engine/FillFontNames.h"
#include "engine/IsInstalled.h"
#include "platform/Integer16.h"
#include "platform/SavedFont.h"
#include "platform/StoredChoices.h"
#include "runtime/ErrorHandler.h"

namespace app {

void Form1::Form_Load() {
    runtime::ErrorHandler on(errorSink_, "in Linewright2021/08/31.Form1.Form_Load ");
    auto setting = [this](const char* key, const QString& defaultValue) {
        return services_.settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection,
                                             QString::fromLatin1(key), defaultValue);
    };

    on.line(100, [&] { Main::LoadSkin(*this); });

    on.line(104, [&] { setWindowTitle(services_.productTitle); });
    on.line(104, [&] { setWindowIcon(ProgramIcon()); });
    on.line(104, [&] { applicationTitle_ = Main::SetApplicationTitle(services_); });

    const QString cursorFile =
        services_.programFolder + QDir::separator() + QStringLiteral("HAND-M.CUR");
    if (on.cond(106, [&] { return Main::PathExists(cursorFile); }))
        on.line(108, [&] { LoadMouseIcon(cursorFile); });

    on.line(110, [&] { Main::OpenHomePageAtRandom(services_); });

    on.line(128, [&] { ListView1->AddColumnHeader(QStringLiteral("File(s)")); });
    on.line(130, [&] { ListView1->SetColumnWidthTwips(1, 7000); });

    on.line(132, [&] { Combo1->AddItem(kModeFirstLine); });
    on.line(134, [&] { Combo1->AddItem(kModeLastLine); });
    on.line(136, [&] { Combo1->AddItem(kModeAfterX); });
    on.line(138, [&] { Combo1->AddItem(kModeBeforeX); });

    on.line(140, [&] {
        Combo1->SetListIndex(
            platform::ToInteger16(setting("Combo1", QString::number(platform::kDefaultModeIndex))));
    });

    on.line(142, [&] { Text1->setPlainText(setting("Textbox", QStringLiteral("Zarem"))); });

    on.line(144, [&] {
        FileSize::FillFontNames(services_.registry,
                                [this](const QString& name) { Combo3->AddItem(name); });
    });

    // The saved font's name outlasts fonts installed or removed; the index is the fallback.
    on.line(146, [&] {
        QStringList names;
        for (int k = 0; k < Combo3->count(); ++k)
            names << Combo3->itemText(k);
        const std::optional<int> byName = platform::SavedFontByName(services_.settings, names);
        Combo3->SetListIndex(
            byName ? *byName
                   : platform::ToInteger16(
                         setting("Combo3", QString::number(platform::kDefaultFontNameIndex))));
    });

    for (int k = 0; k < platform::kFontSizes.size(); ++k)
        on.line(148 + 2 * k, [&] { Combo2->AddItem(platform::kFontSizes[k]); });

    on.line(178, [&] {
        Combo2->SetListIndex(platform::ToInteger16(
            setting("Combo2", QString::number(platform::kDefaultFontSizeIndex))));
    });

    on.line(180, [&] {
        IsInstalled::CheckWordInstalled(services_.registry, services_.dialogs,
                                        [this] { EndProgram(); });
    });
}

}  // namespace app
