#pragma once

#include <QString>

#include "app/AppServices.h"

namespace app {
class Form1;
}

// General helpers that start-up uses.
namespace Main {

// True when the file or folder at path exists and its date can be read; never raises.
bool PathExists(const QString& path);

// Seeds the random source from the seconds since midnight, draws a whole number from 1 to 100
// and opens the maker's home page when it is 7 (about one start in a hundred).
void OpenHomePageAtRandom(app::AppServices& services);

// When "x/o.cjs" exists below the program folder: the window, its frames and labels take the
// button-face colour, and the skin component loads that file and is applied to the window.
// Otherwise nothing changes. Errors escape to the caller.
void LoadSkin(app::Form1& form);

// The application title for a product title: words are cut from the end (at least one) until
// at most 40 characters remain. A title without blanks is kept, cut to 40 characters.
QString ShortenedTitle(const QString& productTitle);

// Derives the application title from the product title, tells the dialog layer about it
// (AppServices::applicationTitleChanged) and returns it.
QString SetApplicationTitle(app::AppServices& services);

}  // namespace Main
