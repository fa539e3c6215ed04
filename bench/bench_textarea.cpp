#include "platform/cellgrid.h"
#include "platform/oemtextarea.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

// Dense art: blocks, shades, line drawing and letters, 78 cells and a line break per line.
QByteArray art(qsizetype size, const char *lineBreak)
{
    const QByteArray pieces[]
        = { "\xdb\xdb\xdb\xdc\xdf\xdd\xde", "\xb0\xb0\xb1\xb1\xb2\xb2", "\xc9\xcd\xcd\xcb\xcd\xbb",
              "\xda\xc4\xc2\xc4\xbf\xb3", "The Art Group", "\xfe \xba\xc3\xc5\xb4" };
    QByteArray text;
    QByteArray line;
    int piece = 0;
    while (text.size() < size) {
        line.clear();
        while (line.size() < 78)
            line.append(pieces[piece++ % 6]);
        line.truncate(78);
        text.append(line).append(lineBreak);
    }
    text.truncate(size);
    return text;
}

// A converting read sets the text again every 500 bytes: 128 sets for 64000 bytes.
void setTextWhileReading(benchmark::State &state)
{
    const QByteArray text = art(64000, "\n");
    platform::OemTextArea area;
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
    platform::OemTextArea area;
    area.setFontSize(points);
    area.setText(art(64000, "\r\n"));
    area.show();
    const QSize cell = platform::CellGrid::cellSizeForPoints(points);
    area.resize(
        area.size() + QSize(80 * cell.width(), 60 * cell.height()) - area.viewport()->size());
    QImage image(area.viewport()->size(), QImage::Format_RGB32);
    area.viewport()->render(&image); // the glyph cache fills on the first paint
    for (auto _ : state) {
        area.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(
        QStringLiteral("%1 x %2 px").arg(image.width()).arg(image.height()).toStdString());
}
BENCHMARK(repaintFullView)->Arg(9)->Arg(14)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
