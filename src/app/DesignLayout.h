#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

namespace app {

// The window's design: every control's rectangle in twips and its font in points, laid out at
// one scale. At scale 1 fifteen twips make a pixel and fonts keep their designed size; any
// other scale shrinks or grows positions, sizes and fonts alike.
class DesignLayout {
  public:
    // Records the control's design rectangle and places it at the current scale.
    void Place(QWidget* widget, int left, int top, int width, int height);
    // Records the control's design font and gives it that font at the current scale.
    void SetFont(QWidget* widget, const QFont& font);
    // Lays every recorded control out again at this scale.
    void SetScale(double scale);
    double Scale() const { return scale_; }
    // A length in twips as pixels at the current scale.
    int Pixels(int twips) const { return Pixels(twips, scale_); }
    // A length in twips as pixels at that scale.
    static int Pixels(int twips, double scale);

  private:
    struct Placed {
        QPointer<QWidget> widget;
        QRect twips;
    };
    struct Lettered {
        QPointer<QWidget> widget;
        QFont font;
    };
    void Apply(const Placed& p) const;
    void Apply(const Lettered& l) const;

    std::vector<Placed> placed_;
    std::vector<Lettered> lettered_;
    double scale_ = 1.0;
};

}  // namespace app
