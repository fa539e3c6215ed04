#include "platform/programstyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionComplex>
#include <QtMath>

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
    if (control == CC_ScrollBar && drawScrollBarInBands(option, painter, widget))
        return;
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

bool ProgramStyle::drawScrollBarInBands(
    const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const
{
    // Bands are copied one to one onto whole device pixels; anything else is drawn directly.
    if (!option || !painter || !painter->isActive() || painter->opacity() != 1.0
        || painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QTransform toDevice = painter->deviceTransform();
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() != toDevice.m22()
        || toDevice.m11() <= 0)
        return false;
    const qreal ratio = toDevice.m11();
    const QRect area = option->rect;
    const QPointF origin = toDevice.map(QPointF(area.topLeft()));
    const QSize deviceSize(qCeil(area.width() * ratio), qCeil(area.height() * ratio));
    const bool vertical = deviceSize.height() >= deviceSize.width();
    const int length = vertical ? deviceSize.height() : deviceSize.width();
    if (origin != QPointF(origin.toPoint()) || deviceSize.isEmpty() || length < ThreadedRows)
        return false;

    // Bands across the bar's length, each as wide as the bar.
    const QSize bandSize
        = vertical ? QSize(deviceSize.width(), BandPixels) : QSize(BandPixels, deviceSize.height());
    QImage band(bandSize, QImage::Format_ARGB32_Premultiplied);
    band.setDevicePixelRatio(ratio);
    for (int start = 0; start < length; start += BandPixels) {
        const QPointF at = QPointF(area.topLeft())
            + (vertical ? QPointF(0, start / ratio) : QPointF(start / ratio, 0));
        band.fill(Qt::transparent);
        QPainter bandPainter(&band);
        bandPainter.setPen(painter->pen());
        bandPainter.setBrush(painter->brush());
        bandPainter.setFont(painter->font());
        bandPainter.setBackground(painter->background());
        bandPainter.setBackgroundMode(painter->backgroundMode());
        bandPainter.setLayoutDirection(painter->layoutDirection());
        bandPainter.setRenderHints(painter->renderHints());
        bandPainter.translate(-at);
        QProxyStyle::drawComplexControl(CC_ScrollBar, option, &bandPainter, widget);
        bandPainter.end();
        const int used = std::min(BandPixels, length - start);
        painter->drawImage(at, band,
            vertical ? QRectF(0, 0, bandSize.width(), used)
                     : QRectF(0, 0, used, bandSize.height()));
    }
    return true;
}

QIcon ProgramStyle::standardIcon(
    StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    if (standardIcon == SP_ToolBarHorizontalExtensionButton && !option)
        return QIcon(new DeferredStyleIcon(baseStyle(), standardIcon));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

} // namespace platform
