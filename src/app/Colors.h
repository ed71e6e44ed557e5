#pragma once

#include <QColor>
#include <QWidget>

namespace app {

// Colour values as the original stores them: 0x00BBGGRR, or 0x800000nn for system colour nn.
inline constexpr quint32 kWhite = 0x00FFFFFF;
inline constexpr quint32 kButtonFace = 0x8000000F;

// The colour a value stands for; system colours come from the application palette.
QColor ColorFromValue(quint32 value);
// Paints the widget's background in that colour and remembers the value.
void SetBackColor(QWidget* widget, quint32 value);
// The value last given to SetBackColor (white for a widget that never got one).
quint32 BackColor(const QWidget* widget);
// Whether the widget is of a kind that wears the window's background (frame, label, option
// button, check box).
bool TakesFormBackColor(const QWidget* widget);

}  // namespace app
