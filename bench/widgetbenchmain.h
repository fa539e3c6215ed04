#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

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
