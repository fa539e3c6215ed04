// How long synchronous playback outlasts the sound itself: connecting to the server, the
// queued buffer and the drain. Needs a running sound server (see the tests' PulseAudio setup).

#include "platform/sound.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {

QByteArray le(quint32 value, int bytes)
{
    char b[4];
    qToLittleEndian(value, b);
    return QByteArray(b, bytes);
}

// A mono 16-bit 22050 Hz tone of the given length.
bool writeTone(const QString &path, int milliseconds)
{
    constexpr int rate = 22050;
    const int frames = rate * milliseconds / 1000;
    QByteArray data;
    for (int i = 0; i < frames; ++i)
        data += le(quint16(qint16(6000 * std::sin(2 * M_PI * 440.0 * i / rate))), 2);
    const QByteArray file = "RIFF" + le(quint32(36 + data.size()), 4) + "WAVEfmt " + le(16, 4)
        + le(1, 2) + le(1, 2) + le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data"
        + le(quint32(data.size()), 4) + data;
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

void BM_PlayWavSync(benchmark::State &state)
{
    const int milliseconds = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    if (!writeTone(path, milliseconds)) {
        state.SkipWithError("cannot write the tone");
        return;
    }
    double overshoot = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!platform::playWavSync(path)) {
            state.SkipWithError("no sound server");
            return;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        overshoot += took.count() * 1000 - milliseconds;
    }
    state.counters["overshoot_ms"] = benchmark::Counter(overshoot / double(state.iterations()));
}

} // namespace

BENCHMARK(BM_PlayWavSync)
    ->Arg(250)
    ->Arg(1000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
