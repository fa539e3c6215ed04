#include "platform/programstyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionSlider>

#include <algorithm>

namespace platform {

namespace {

// An icon that takes its images from the base style's icon, fetched at the first use.
class DeferredStyleIcon : public QIconEngine
{
public:
    DeferredStyleIcon(QStyle *style, QStyle::StandardPixmap which)
        : m_style(style)
        , m_which(which)
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(
        const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new DeferredStyleIcon(*this); }
    QString key() const override { return QStringLiteral("DeferredStyleIcon"); }

private:
    const QIcon &icon()
    {
        if (!m_fetched && m_style)
            m_icon = m_style->standardIcon(m_which);
        m_fetched = true;
        return m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    QIcon m_icon;
    bool m_fetched = false;
};

} // namespace

ProgramStyle::ProgramStyle()
    : QProxyStyle(nullptr)
{ }

void ProgramStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
    QPainter *painter, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control == CC_ScrollBar && bar && painter) {
        drawScrollBar(*bar, *painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void ProgramStyle::drawScrollBar(
    const QStyleOptionSlider &bar, QPainter &painter, const QWidget *widget) const
{
    const bool vertical = bar.orientation == Qt::Vertical;
    const bool enabled = bar.state & State_Enabled;
    const QPalette::ColorGroup group = enabled ? QPalette::Active : QPalette::Disabled;
    const QColor window = bar.palette.color(group, QPalette::Window);
    const QColor edge = window.darker(127);
    const QColor groove = window.darker(104);
    const QColor grooveShade = window.darker(108);
    const QColor face = bar.palette.color(group, QPalette::Button).lighter(104);
    const QColor pressedFace = face.darker(110);
    // The thumb is the part that can be grabbed: clearly darker than the groove, with an
    // outline darker still, so that it never reads as empty track.
    const QColor thumb = window.darker(130);
    const QColor pressedThumb = window.darker(150);
    const QColor thumbOutline = window.darker(185);
    const QColor arrow = mixed(bar.palette.color(group, QPalette::ButtonText), face, 0.6);
    const auto pressed = [&](SubControl part) {
        return (bar.state & State_Sunken) && (bar.activeSubControls & part);
    };
    const auto partRect = [&](SubControl part) {
        return subControlRect(CC_ScrollBar, &bar, part, widget);
    };
    // A line one pixel thick along the bar's length (across it when across is true) at the
    // given offset into the rectangle.
    const auto line = [&](const QRect &r, bool across, int at, const QColor &colour) {
        if (vertical != across)
            painter.fillRect(QRect(r.left() + at, r.top(), 1, r.height()), colour);
        else
            painter.fillRect(QRect(r.left(), r.top() + at, r.width(), 1), colour);
    };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    const QRect grooveRect = partRect(SC_ScrollBarGroove);
    painter.fillRect(grooveRect, groove);
    line(grooveRect, false, 0, grooveShade);
    line(grooveRect, true, 0, grooveShade);

    const QRect slider = partRect(SC_ScrollBarSlider);
    if (enabled && slider.isValid()) {
        painter.fillRect(slider, thumbOutline);
        painter.fillRect(
            slider.adjusted(1, 1, -1, -1), pressed(SC_ScrollBarSlider) ? pressedThumb : thumb);
    }

    // The step buttons' arrows point the way their step moves the view: towards the start for
    // the step back, which is at the right of a horizontal bar laid out right to left.
    const bool mirrored = !vertical && bar.direction == Qt::RightToLeft;
    for (const auto &[part, back] :
        { std::pair { SC_ScrollBarSubLine, true }, std::pair { SC_ScrollBarAddLine, false } }) {
        const QRect button = partRect(part);
        if (!button.isValid())
            continue;
        painter.fillRect(button, pressed(part) ? pressedFace : face);
        const bool beforeGroove = vertical ? button.center().y() < grooveRect.center().y()
                                           : button.center().x() < grooveRect.center().x();
        line(button, true, beforeGroove ? (vertical ? button.height() : button.width()) - 1 : 0,
            grooveShade);
        drawArrow(painter, button, vertical, back != mirrored, arrow);
    }

    // The bar's edge towards the text: its top, or the side of a vertical bar that faces the
    // text (the left, or the right when laid out right to left).
    const bool textAfter = vertical && bar.direction == Qt::RightToLeft;
    line(bar.rect, false, textAfter ? bar.rect.width() - 1 : 0, edge);
    painter.restore();
}

QColor ProgramStyle::mixed(const QColor &top, const QColor &bottom, qreal share)
{
    const auto channel = [share](int a, int b) {
        return qRound(a * share + b * (1 - share));
    };
    return QColor(channel(top.red(), bottom.red()), channel(top.green(), bottom.green()),
        channel(top.blue(), bottom.blue()));
}

void ProgramStyle::drawArrow(
    QPainter &painter, const QRect &button, bool vertical, bool towardsStart, const QColor &colour)
{
    // A solid triangle, one row (or column) a pixel wider each side than the one before, about
    // two sevenths as deep as the button is thick.
    const int thickness = vertical ? button.width() : button.height();
    const int depth = std::max(2, thickness * 2 / 7);
    const QPoint centre = button.center();
    for (int step = 0; step < depth; ++step) {
        const int offset = towardsStart ? step - depth / 2 : depth / 2 - step;
        if (vertical)
            painter.fillRect(
                QRect(centre.x() - step, centre.y() + offset, 2 * step + 1, 1), colour);
        else
            painter.fillRect(
                QRect(centre.x() + offset, centre.y() - step, 1, 2 * step + 1), colour);
    }
}

QIcon ProgramStyle::standardIcon(
    StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    if (standardIcon == SP_ToolBarHorizontalExtensionButton && !option)
        return QIcon(new DeferredStyleIcon(baseStyle(), standardIcon));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

} // namespace platform
