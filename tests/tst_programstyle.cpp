#include "platform/programstyle.h"

#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>

using platform::ProgramStyle;

namespace {

// A scroll bar that is already set up, drawn into an image at a pixel ratio.
QImage rendered(QScrollBar &bar, qreal ratio)
{
    QImage image((QSizeF(bar.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    bar.render(&painter);
    painter.end();
    return image;
}

// Gives a scroll bar its style, size and range, with a page step of 100.
void setUp(QScrollBar &bar, QStyle &style, QSize size, int maximum, int value)
{
    bar.setStyle(&style);
    bar.setRange(0, maximum);
    bar.setPageStep(100);
    bar.setValue(value);
    bar.resize(size);
}

// The scroll bar drawn through a style into an image at a pixel ratio, in device pixels.
QImage drawn(QStyle &style, Qt::Orientation orientation, QSize size, int maximum, int value,
    qreal ratio, bool enabled = true)
{
    QScrollBar bar(orientation);
    setUp(bar, style, size, maximum, value);
    bar.setEnabled(enabled);
    return rendered(bar, ratio);
}

// Where the bar's style puts one of its parts, in the bar's own coordinates.
QRect partOf(const QScrollBar &bar, QStyle::SubControl control)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.pageStep = bar.pageStep();
    option.sliderPosition = option.sliderValue = bar.value();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, control, &bar);
}

// The threads of the raster engine's pool that are alive in this process.
int pooledThreads()
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks.filePath(task + QStringLiteral("/comm")));
        if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("Thread (pooled)"))
            ++count;
    }
    return count;
}

} // namespace

class TestProgramStyle : public QObject
{
    Q_OBJECT

private slots:
    void scrollBarsStartNoPoolThread_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("tall vertical") << Qt::Vertical << QSize(17, 1000) << 1.0;
        QTest::newRow("tall vertical at ratio 2") << Qt::Vertical << QSize(17, 1000) << 2.0;
        QTest::newRow("wide horizontal") << Qt::Horizontal << QSize(1200, 17) << 1.0;
        QTest::newRow("wide horizontal at ratio 2") << Qt::Horizontal << QSize(1200, 17) << 2.0;
    }

    void scrollBarsStartNoPoolThread()
    {
        QFETCH(Qt::Orientation, orientation);
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);

        QVERIFY2(pooledThreads() == 0, "an earlier test started the pool");
        ProgramStyle style;
        for (const int value : { 0, 500, 1000 })
            drawn(style, orientation, size, 1000, value, ratio);
        QCOMPARE(pooledThreads(), 0);
    }

    void scrollBarsShowTheirPartsWhereTheBaseStylePutsThem_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("vertical, top") << Qt::Vertical << QSize(17, 700) << 1000 << 0 << 1.0;
        QTest::newRow("vertical, middle") << Qt::Vertical << QSize(17, 330) << 1000 << 450 << 1.0;
        QTest::newRow("vertical, end") << Qt::Vertical << QSize(14, 335) << 1000 << 1000 << 1.0;
        QTest::newRow("vertical at ratio 2")
            << Qt::Vertical << QSize(17, 400) << 1000 << 900 << 2.0;
        QTest::newRow("vertical at ratio 1.5")
            << Qt::Vertical << QSize(17, 257) << 1000 << 500 << 1.5;
        QTest::newRow("horizontal") << Qt::Horizontal << QSize(640, 14) << 1000 << 300 << 1.0;
        QTest::newRow("horizontal at ratio 2")
            << Qt::Horizontal << QSize(640, 17) << 1000 << 300 << 2.0;
        QTest::newRow("nothing to scroll") << Qt::Vertical << QSize(14, 335) << 0 << 0 << 1.0;
        QTest::newRow("horizontal, right to left")
            << Qt::Horizontal << QSize(640, 14) << 1000 << 300 << -1.0;
    }

    void scrollBarsShowTheirPartsWhereTheBaseStylePutsThem()
    {
        QFETCH(Qt::Orientation, orientation);
        QFETCH(QSize, size);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(qreal, ratio);
        // A negative ratio stands for ratio 1 with the bar laid out right to left.
        const bool rightToLeft = ratio < 0;
        ratio = std::abs(ratio);

        ProgramStyle style;
        QScrollBar bar(orientation);
        setUp(bar, style, size, maximum, value);
        bar.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        const QImage image = rendered(bar, ratio);
        const auto at = [&](QPoint logical) {
            return image.pixel((QPointF(logical) * ratio).toPoint());
        };
        const auto part = [&](QStyle::SubControl control) {
            return partOf(bar, control);
        };
        const bool vertical = orientation == Qt::Vertical;

        // The bar covers its whole rectangle.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.pixel(x, y) != QColor(Qt::magenta).rgb());

        // The slider is one colour inside its ends, and it stands out from the groove.
        const QRect slider = part(QStyle::SC_ScrollBarSlider);
        QVERIFY(slider.isValid());
        const QRect inside
            = vertical ? slider.adjusted(2, 2, -1, -2) : slider.adjusted(2, 2, -2, -1);
        const QRgb sliderColour = at(inside.center());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                QCOMPARE(at(QPoint(x, y)), sliderColour);
        const QRect groove = part(QStyle::SC_ScrollBarGroove);
        const QRect outside = groove.adjusted(2, 2, -1, -1);
        for (int y = outside.top(); y <= outside.bottom(); ++y)
            for (int x = outside.left(); x <= outside.right(); ++x) {
                const QPoint point(x, y);
                if (!slider.adjusted(-1, -1, 1, 1).contains(point))
                    QVERIFY(at(point) != sliderColour);
            }

        // Each button holds a dark arrow at its middle, pointing away from the groove.
        for (const QStyle::SubControl control :
            { QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine }) {
            const QRect button = part(control);
            QVERIFY(button.isValid());
            QVERIFY(qGray(at(button.center())) < qGray(sliderColour) - 60);
            // Across the arrow, the row (or column) nearer the groove is the wider one.
            const auto widthAt = [&](int along) {
                int count = 0;
                for (int across = 0; across < (vertical ? button.width() : button.height());
                     ++across) {
                    const QPoint point = vertical
                        ? QPoint(button.left() + across, button.center().y() + along)
                        : QPoint(button.center().x() + along, button.top() + across);
                    count += qGray(at(point)) < qGray(sliderColour) - 60 ? 1 : 0;
                }
                return count;
            };
            const bool beforeGroove = vertical ? button.center().y() < groove.center().y()
                                               : button.center().x() < groove.center().x();
            const int towardsGroove = beforeGroove ? 1 : -1;
            QVERIFY2(widthAt(towardsGroove) > widthAt(-towardsGroove),
                qPrintable(QStringLiteral("%1 then %2")
                               .arg(widthAt(-towardsGroove))
                               .arg(widthAt(towardsGroove))));
        }
    }

    void disabledScrollBarsShowNoSliderAndPaleArrows()
    {
        ProgramStyle style;
        const QImage enabled = drawn(style, Qt::Vertical, QSize(14, 300), 1000, 300, 1.0);
        const QImage disabled = drawn(style, Qt::Vertical, QSize(14, 300), 1000, 300, 1.0, false);
        QScrollBar bar(Qt::Vertical);
        setUp(bar, style, QSize(14, 300), 1000, 300);
        const QRect slider = partOf(bar, QStyle::SC_ScrollBarSlider);
        const QPoint middle = slider.center();
        QVERIFY(enabled.pixel(middle) != disabled.pixel(middle));
        QCOMPARE(disabled.pixel(middle), disabled.pixel(QPoint(middle.x(), slider.bottom() + 20)));
        const QPoint arrow = partOf(bar, QStyle::SC_ScrollBarSubLine).center();
        QVERIFY(qGray(disabled.pixel(arrow)) > qGray(enabled.pixel(arrow)) + 40);
    }

    void menuBarOverflowButtonShowsTheBaseStylesIcon()
    {
        ProgramStyle style;
        const QIcon deferred = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        const QIcon base
            = style.baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        QVERIFY(!deferred.isNull());
        QCOMPARE(deferred.availableSizes(), base.availableSizes());
        for (const int side : { 16, 32 }) {
            QCOMPARE(deferred.pixmap(side).toImage(), base.pixmap(side).toImage());
            QCOMPARE(deferred.actualSize(QSize(side, side)), base.actualSize(QSize(side, side)));
        }

        // The menu bar takes the icon when it is built and draws it once the window is too
        // narrow for the menus.
        QMenuBar bar;
        bar.setStyle(&style);
        for (const char *title : { "&File", "&Edit", "&Options", "&Help" })
            bar.addMenu(QString::fromLatin1(title));
        bar.resize(40, bar.sizeHint().height());
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QImage shown = bar.grab().toImage();
        QVERIFY(!shown.isNull());
    }
};

QTEST_MAIN(TestProgramStyle)
#include "tst_programstyle.moc"
