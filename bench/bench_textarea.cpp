#include "denseart.h"
#include "platform/programstyle.h"
#include "textarea/cellgrid.h"
#include "textarea/oemtextarea.h"
#include "widgetbench.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>

#include <memory>

#include <benchmark/benchmark.h>

namespace {

// A converting read sets the text again every 500 bytes: 128 sets for 64000 bytes.
void setTextWhileReading(benchmark::State &state)
{
    const QByteArray text = denseArt(64000, "\n");
    textarea::OemTextArea area;
    area.resize(800, 600);
    for (auto _ : state) {
        for (qsizetype size = 500; size <= text.size(); size += 500)
            area.setText(text.left(size));
        benchmark::DoNotOptimize(area.verticalScrollBar()->maximum());
    }
}
BENCHMARK(setTextWhileReading)->Unit(benchmark::kMillisecond);

// A full repaint of an 80 x 60 cell view of dense art, rendered into an image.
void repaintFullView(benchmark::State &state)
{
    const auto points = float(state.range(0));
    textarea::OemTextArea area;
    area.setFontSize(points);
    area.setText(denseArt(64000, "\r\n"));
    area.show();
    const QSize cell = textarea::CellGrid::cellSizeForPoints(points);
    area.resize(
        area.size() + QSize(80 * cell.width(), 60 * cell.height()) - area.viewport()->size());
    timeFullRepaints(state, area.viewport(), 1);
}
BENCHMARK(repaintFullView)->Arg(9)->Arg(14)->Unit(benchmark::kMillisecond);

// Both scroll bars of the main window's text area (14 x 335 and 643 x 14 px) drawn once, as the
// desktop style draws them (0) and as the program's style does (1); wall time, since the desktop
// style hands tall fills to worker threads and waits for them.
void paintScrollBars(benchmark::State &state)
{
    std::unique_ptr<QStyle> style;
    if (state.range(0) == 0)
        style.reset(QStyleFactory::create(QApplication::style()->name()));
    else
        style = std::make_unique<platform::ProgramStyle>();
    QScrollBar vertical(Qt::Vertical);
    QScrollBar horizontal(Qt::Horizontal);
    QImage image(643, 335, QImage::Format_RGB32);
    for (QScrollBar *bar : { &vertical, &horizontal }) {
        bar->setStyle(style.get());
        bar->setRange(0, 1000);
        bar->setPageStep(100);
    }
    vertical.resize(14, 335);
    horizontal.resize(643, 14);
    for (auto _ : state) {
        QPainter painter(&image);
        vertical.render(&painter);
        horizontal.render(&painter, QPoint(0, 320));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(paintScrollBars)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
