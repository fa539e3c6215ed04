#pragma once

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

// Times full repaints of a widget rendered into an image of its device pixels at ratio; the
// first paint, which fills caches, is not timed.
inline void timeFullRepaints(benchmark::State &state, QWidget *widget, qreal ratio)
{
    QImage image(widget->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    widget->render(&image);
    for (auto _ : state) {
        widget->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(
        QStringLiteral("%1 x %2 px").arg(image.width()).arg(image.height()).toStdString());
}

// The main of a benchmark of widgets: Google Benchmark's run inside a QApplication on the
// offscreen platform, so it needs no display.
inline int runWidgetBenchmarks(int argc, char **argv)
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
