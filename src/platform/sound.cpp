#include "platform/sound.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <memory>
#include <vector>

Q_LOGGING_CATEGORY(lcSound, "quorvin.platform.sound")

namespace platform {

namespace {

struct SndFileCloser
{
    void operator()(SNDFILE *file) const { sf_close(file); }
};
struct PaSimpleFreer
{
    void operator()(pa_simple *stream) const { pa_simple_free(stream); }
};
using SndFile = std::unique_ptr<SNDFILE, SndFileCloser>;
using PaStream = std::unique_ptr<pa_simple, PaSimpleFreer>;

// The server keeps about this much sound queued ahead of the speaker. Small, so that the drain
// at the end returns close to the moment the sound really ends.
constexpr pa_usec_t TargetLatencyUsec = 50 * 1000;
constexpr sf_count_t ChunkFrames = 4096;

} // namespace

bool playWavSync(const QString &path)
{
    // Only regular files: opening a FIFO or a device would block or read forever.
    if (!QFileInfo(path).isFile())
        return false;

    SF_INFO info {};
    SndFile file(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file) {
        qCDebug(lcSound) << "cannot decode" << path << sf_strerror(nullptr);
        return false;
    }
    if (info.frames <= 0 || info.channels < 1 || info.channels > int(PA_CHANNELS_MAX)
        || info.samplerate < 1 || quint32(info.samplerate) > PA_RATE_MAX)
        return false;

    pa_sample_spec spec {};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = quint32(info.samplerate);
    spec.channels = quint8(info.channels);

    pa_buffer_attr buffer {};
    buffer.maxlength = quint32(-1);
    buffer.tlength = quint32(pa_usec_to_bytes(TargetLatencyUsec, &spec));
    buffer.minreq = buffer.tlength / 4;
    buffer.prebuf = buffer.tlength / 2;
    buffer.fragsize = quint32(-1);

    // With no server this fails at once: the socket is missing or refuses the connection.
    int error = 0;
    PaStream stream(pa_simple_new(nullptr, "Quorvin", PA_STREAM_PLAYBACK, nullptr, "About sound",
        &spec, nullptr, &buffer, &error));
    if (!stream) {
        qCDebug(lcSound) << "no sound server:" << pa_strerror(error);
        return false;
    }

    // Decoded in chunks, so that a long file never sits in memory whole.
    std::vector<short> samples(size_t(ChunkFrames) * size_t(info.channels));
    for (;;) {
        const sf_count_t frames = sf_readf_short(file.get(), samples.data(), ChunkFrames);
        if (frames <= 0)
            break;
        const size_t bytes = size_t(frames) * size_t(info.channels) * sizeof(short);
        if (pa_simple_write(stream.get(), samples.data(), bytes, &error) < 0) {
            qCDebug(lcSound) << "write failed:" << pa_strerror(error);
            return false;
        }
    }
    // Returns once the server has played everything written.
    if (pa_simple_drain(stream.get(), &error) < 0) {
        qCDebug(lcSound) << "drain failed:" << pa_strerror(error);
        return false;
    }
    return true;
}

} // namespace platform
