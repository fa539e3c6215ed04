#include "denseart.h"
#include "viewer/filereading.h"
#include "viewer/links.h"
#include "viewer/utf8reading.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The worst file a load reads: 64000 LF bytes, which the converting read doubles.
struct LfFile
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("lf.nfo"));

    LfFile()
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(QByteArray(viewer::MaxFileBytes, '\n')) != viewer::MaxFileBytes)
            qFatal("cannot write the benchmark file");
    }
};

const LfFile &lfFile()
{
    static const auto file = std::make_unique<LfFile>();
    return *file;
}

// A converting read of the worst file, including its 128 progressive hand-overs. The text area
// keeps each text it is given, so the receiver holds a copy as the widget would.
void BM_ConvertingReadAllLf(benchmark::State &state)
{
    const QString path = lfFile().path;
    QByteArray held;
    int shows = 0;
    for (auto _ : state) {
        shows = 0;
        const QByteArray text = viewer::convertingRead(
            path,
            [&held, &shows](const QByteArray &soFar) {
                held = soFar;
                ++shows;
            },
            [] { return true; });
        held = text;
        benchmark::DoNotOptimize(held.constData());
    }
    state.counters["shows"] = shows;
    state.counters["bytes_out"] = double(held.size());
    state.SetBytesProcessed(state.iterations() * viewer::MaxFileBytes);
}
BENCHMARK(BM_ConvertingReadAllLf)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The same with a receiver that makes its own deep copy, as a widget indexing lines might.
void BM_ConvertingReadAllLfDeepCopy(benchmark::State &state)
{
    const QString path = lfFile().path;
    QByteArray held;
    for (auto _ : state) {
        const QByteArray text = viewer::convertingRead(
            path,
            [&held](
                const QByteArray &soFar) { held = QByteArray(soFar.constData(), soFar.size()); },
            [] { return true; });
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * viewer::MaxFileBytes);
}
BENCHMARK(BM_ConvertingReadAllLfDeepCopy)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void BM_ProbeAndDirectRead(benchmark::State &state)
{
    const QString path = lfFile().path;
    for (auto _ : state) {
        benchmark::DoNotOptimize(viewer::probeLineBreaks(path, [] { return true; }));
        const QByteArray text = viewer::directRead(path);
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(BM_ProbeAndDirectRead)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// Finding the links of a 64000-byte text, as every load does once: dense art (no link), and
// a text of 80-byte lines with three links each (2400 links).
void BM_FindLinks(benchmark::State &state)
{
    const QByteArray line = "  Group site www.example-group.org   mail: team@example.org   "
                            "http://x.y/rel  \r\n";
    const QByteArray text
        = state.range(0) == 0 ? denseArt(viewer::MaxFileBytes, "\r\n") : line.repeated(800);
    size_t links = 0;
    for (auto _ : state) {
        links = viewer::findLinks(text).size();
        benchmark::DoNotOptimize(links);
    }
    state.counters["links"] = double(links);
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_FindLinks)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// 64000 bytes of box art as UTF-8 (three bytes a character, lines of 78 and CR LF): the
// reading decision is made on the whole file before a load shows it.
QByteArray utf8Art()
{
    const QByteArray line
        = QStringLiteral("\u250C\u2500\u2510\u2502\u2588\u2591").repeated(13).toUtf8() + "\r\n";
    return line.repeated(viewer::MaxFileBytes / line.size() + 1).first(viewer::MaxFileBytes);
}

// The decision on code page 437 text at its slowest (63999 ASCII bytes, then one of 0x80-0xFF:
// read to its end twice) and on UTF-8 art (decoded and every character looked up).
void BM_ReadsAsUtf8(benchmark::State &state)
{
    const QByteArray bytes
        = state.range(0) ? utf8Art() : QByteArray(viewer::MaxFileBytes - 1, 'x') + '\xDB';
    for (auto _ : state)
        benchmark::DoNotOptimize(viewer::readsAsUtf8(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadsAsUtf8)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The glyphs and characters of a whole UTF-8 file, as a load hands them to the text area.
void BM_Utf8Text(benchmark::State &state)
{
    const QByteArray bytes = utf8Art();
    for (auto _ : state)
        benchmark::DoNotOptimize(viewer::utf8Text(bytes).glyphs.constData());
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Utf8Text)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
