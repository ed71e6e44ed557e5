#pragma once

#include <QString>

namespace engine {

// True when Word takes text as a font size: a number of points from 1 to 1638, halves allowed.
bool IsUsableFontSize(const QString& text);

// The message that refuses a run whose font size cannot be used.
QString UnusableFontSizeMessage(const QString& text);

}  // namespace engine
