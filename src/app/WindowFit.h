#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace app {

// The smallest scale the window is laid out at, however small the screen: below it the text
// could no longer be read.
inline constexpr double kSmallestLayoutScale = 0.25;

// The room the window manager's frame takes around a window: its real margins once the window
// has a frame, else an estimate of a title bar and borders, so that a window placed before it
// shows still fits once it has its frame.
QMargins ExpectedFrame(const QWidget& window);

// The largest scale, at most 1 and at least kSmallestLayoutScale, at which a client area of
// `design` size with `frame` around it fits into `available`.
double FitScale(QSize design, QMargins frame, QSize available);

// Where the window's frame goes: the client area centred in `available`, moved only as far as
// needed for the whole frame to lie inside it.
QPoint FramePosition(QSize client, QMargins frame, const QRect& available);

}  // namespace app
