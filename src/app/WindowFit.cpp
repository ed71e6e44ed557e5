#include "app/WindowFit.h"

#include <QApplication>
#include <QStyle>
#include <QWindow>
#include <algorithm>

namespace app {

QMargins ExpectedFrame(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle()) {
        const QMargins real = handle->frameMargins();
        if (!real.isNull())
            return real;
    }
    const QStyle* style = window.style() ? window.style() : QApplication::style();
    const int border = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int titleBar =
        std::max(style->pixelMetric(QStyle::PM_TitleBarHeight), 2 * window.fontMetrics().height());
    return QMargins(border, titleBar + border, border, border);
}

double FitScale(QSize design, QMargins frame, QSize available) {
    if (design.isEmpty())
        return 1.0;
    const double width = double(available.width() - frame.left() - frame.right());
    const double height = double(available.height() - frame.top() - frame.bottom());
    const double scale = std::min({1.0, width / design.width(), height / design.height()});
    return std::max(scale, kSmallestLayoutScale);
}

QPoint FramePosition(QSize client, QMargins frame, const QRect& available) {
    QRect inner(QPoint(0, 0), client);
    inner.moveCenter(available.center());
    const QSize outer = client.grownBy(frame);
    const int x = std::clamp(inner.left(), available.left(),
                             std::max(available.left(), available.right() + 1 - outer.width()));
    const int y = std::clamp(inner.top(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - outer.height()));
    return QPoint(x, y);
}

}  // namespace app
