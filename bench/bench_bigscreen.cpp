// The text area on a big HiDPI screen: a maximized window on a 3840 x 2160 screen at 200 %
// (device pixel ratio 2, a view of 1920 x 1080), dense art at 14 points. The offscreen screen
// is given ratio 2, so the area paints into a backing store of the screen's pixels as it does
// on the desktop.

#include "denseart.h"
#include "textarea/oemtextarea.h"
#include "widgetbench.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

namespace {

void showMaximized(textarea::OemTextArea &area)
{
    area.setFontSize(14);
    area.setText(denseArt(64000, "\r\n"));
    area.show();
    area.resize(area.size() + QSize(1920, 1080) - area.viewport()->size());
    QCoreApplication::processEvents();
}

// A full repaint, rendered into an image of the screen's pixels.
void repaintBigScreen(benchmark::State &state)
{
    textarea::OemTextArea area;
    showMaximized(area);
    timeFullRepaints(state, area.viewport(), 2);
}
BENCHMARK(repaintBigScreen)->Unit(benchmark::kMillisecond);

// One wheel step (three lines), down and then up, each painted into the window's backing store
// as the window system asks for it. The figure is per step.
void wheelStepBigScreen(benchmark::State &state)
{
    textarea::OemTextArea area;
    showMaximized(area);
    area.verticalScrollBar()->setValue(10);
    QCoreApplication::processEvents();
    const QPointF at(100, 100);
    int steps = 0;
    struct PaintedArea : QObject
    {
        qint64 pixels = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                const QRect r = static_cast<QPaintEvent *>(event)->rect();
                pixels += qint64(r.width()) * r.height();
            }
            return false;
        }
    } painted;
    area.viewport()->installEventFilter(&painted);
    for (auto _ : state) {
        const int delta = steps++ % 2 == 0 ? -120 : 120;
        QWheelEvent wheel(at, area.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(area.viewport(), &wheel);
        QCoreApplication::processEvents();
    }
    state.SetLabel(QStringLiteral("ratio %1, %2 of %3 px painted per step")
                       .arg(area.viewport()->devicePixelRatio())
                       .arg(painted.pixels / std::max<qint64>(1, steps))
                       .arg(area.viewport()->width() * area.viewport()->height())
                       .toStdString());
}
BENCHMARK(wheelStepBigScreen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    return runWidgetBenchmarks(argc, argv);
}
