#pragma once

#include <QProxyStyle>

class QStyleOptionSlider;

namespace platform {

// The program's application style: the desktop's own style, with two costs of start-up taken
// out.
// - Scroll bars are drawn flat, at the places of the base style's own, with whole-pixel fills
//   only; the thumb is darker than its groove and outlined, so that it reads as the part to
//   grab. The desktop style paints them with gradients and translucent lines, which Qt's raster
//   engine hands to its thread pool in slices once they are 96 pixels long: drawn whole, the
//   two bars of the text area started the pool's threads and handed them hundreds of slices on
//   every repaint, which cost more than the drawing.
// - The menu bar's overflow button gets the base style's icon only when the button is first
//   drawn. Reading that icon up front has Qt probe every image-format plugin, and the button is
//   seen only when the window is too narrow for its menus.
class ProgramStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // The base is a fresh instance of the desktop's style, owned by this style.
    ProgramStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
        QPainter *painter, const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;

private:
    void drawScrollBar(
        const QStyleOptionSlider &bar, QPainter &painter, const QWidget *widget) const;
    // towardsStart: up, or left.
    static void drawArrow(QPainter &painter, const QRect &button, bool vertical, bool towardsStart,
        const QColor &colour);
    // The colour of top laid over bottom at the given share of opacity.
    static QColor mixed(const QColor &top, const QColor &bottom, qreal share);
};

} // namespace platform
