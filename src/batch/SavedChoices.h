#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/SettingsStore.h"

namespace batch {

// The font name, font size and folder extension a run uses when the command line leaves them
// out, and a note for each saved choice that could not be used.
struct Choices {
    QString font;
    QString size;
    QString ext;
    QStringList notes;
};

// Takes the window's saved choices: "Combo2" (index into the window's font sizes), the font by
// its saved name when it is installed, else "Combo3" (index into the installed font names, which
// fontNames lists only when called; a saved name not installed gets a note) and "Extension". A
// missing choice takes the window's default; a saved index that is not a number or lies outside its
// list takes the default too, with a note. fontNames is called only when the font is needed;
// when it lists nothing, font stays empty.
Choices SavedChoices(platform::SettingsStore& settings, bool needFont, bool needSize, bool needExt,
                     const std::function<QStringList()>& fontNames);

}  // namespace batch
