#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/SettingsStore.h"

namespace batch {

// The window's font-size list, in its order, and the index chosen when nothing is saved.
extern const QStringList kFontSizes;
inline constexpr int kDefaultSizeIndex = 4;
// The index of the font-name list chosen when nothing is saved, and the default extension.
inline constexpr int kDefaultFontIndex = 0;
inline const QString kDefaultExtension = QStringLiteral("doc");

// The font name, font size and folder extension a run uses when the command line leaves them
// out, and a note for each saved choice that could not be used.
struct Choices {
    QString font;
    QString size;
    QString ext;
    QStringList notes;
};

// Takes the window's saved choices: "Combo2" (index into kFontSizes), "Combo3" (index into the
// installed font names, which fontNames lists only when called) and "Extension". A missing
// choice takes the window's default; a saved index that is not a number or lies outside its
// list takes the default too, with a note. fontNames is called only when the font is needed;
// when it lists nothing, font stays empty.
Choices SavedChoices(platform::SettingsStore& settings, bool needFont, bool needSize, bool needExt,
                     const std::function<QStringList()>& fontNames);

}  // namespace batch
