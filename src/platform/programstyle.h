#pragma once

#include <QProxyStyle>

namespace platform {

// The program's application style: the desktop's own style, with two costs of start-up taken
// out and nothing changed on the screen.
// - A scroll bar is drawn in bands of BandPixels device pixels across its length, each into an
//   image of its own that is then copied into place. Qt's raster engine hands any fill or line
//   of 96 pixel rows or more to its thread pool in slices and waits for them; a scroll bar drawn
//   whole starts the pool's threads and hands them hundreds of slices on every repaint, which
//   costs more than the drawing. The bands hold the base style's picture; only where one of
//   its translucent outlines closes on itself may the corner pixel be a shade darker, as the
//   raster engine blends it once or twice depending on which parts of the outline it sees.
// - The menu bar's overflow button gets the base style's icon only when the button is first
//   drawn. Reading that icon up front has Qt probe every image-format plugin, and the button is
//   seen only when the window is too narrow for its menus.
class ProgramStyle : public QProxyStyle
{
    Q_OBJECT

public:
    static constexpr int BandPixels = 32;
    static constexpr int ThreadedRows = 96; // the fewest rows the raster engine splits

    // The base is a fresh instance of the desktop's style, owned by this style.
    ProgramStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
        QPainter *painter, const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;

private:
    bool drawScrollBarInBands(
        const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const;
};

} // namespace platform
