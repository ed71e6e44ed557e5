#include "app/DesignLayout.h"

namespace app {

namespace {
constexpr double kTwipsPerPixel = 15.0;
}

int DesignLayout::Pixels(int twips, double scale) {
    return qRound(twips * scale / kTwipsPerPixel);
}

void DesignLayout::Apply(const Placed& p) const {
    if (!p.widget)
        return;
    // Edges are rounded rather than sizes, so that neighbours that touch in the design still
    // touch at every scale.
    const int left = Pixels(p.twips.left());
    const int top = Pixels(p.twips.top());
    p.widget->setGeometry(left, top, Pixels(p.twips.left() + p.twips.width()) - left,
                          Pixels(p.twips.top() + p.twips.height()) - top);
}

void DesignLayout::Apply(const Lettered& l) const {
    if (!l.widget)
        return;
    QFont font = l.font;
    font.setPointSizeF(l.font.pointSizeF() * scale_);
    l.widget->setFont(font);
}

void DesignLayout::Place(QWidget* widget, int left, int top, int width, int height) {
    placed_.push_back({widget, QRect(left, top, width, height)});
    Apply(placed_.back());
}

void DesignLayout::SetFont(QWidget* widget, const QFont& font) {
    lettered_.push_back({widget, font});
    Apply(lettered_.back());
}

void DesignLayout::SetScale(double scale) {
    scale_ = scale;
    for (const Lettered& l : lettered_)
        Apply(l);
    for (const Placed& p : placed_)
        Apply(p);
}

}  // namespace app
