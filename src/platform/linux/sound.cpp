#include "platform/sound.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <memory>
#include <vector>

Q_LOGGING_CATEGORY(lcSound, "quorvin.platform.sound")

namespace platform {

namespace {

// libsndfile and the PulseAudio simple API are loaded at the first sound, not at start: the
// decoders they bring (FLAC, Vorbis, Opus, MP3) would otherwise be mapped and relocated before
// the first window is painted, for a sound that only the About command plays.
struct SoundLibraries
{
    decltype(&::sf_open) sf_open = nullptr;
    decltype(&::sf_close) sf_close = nullptr;
    decltype(&::sf_readf_short) sf_readf_short = nullptr;
    decltype(&::pa_simple_new) pa_simple_new = nullptr;
    decltype(&::pa_simple_free) pa_simple_free = nullptr;
    decltype(&::pa_simple_write) pa_simple_write = nullptr;
    decltype(&::pa_simple_drain) pa_simple_drain = nullptr;
    decltype(&::pa_strerror) pa_strerror = nullptr;

    bool loaded() const
    {
        return sf_open && sf_close && sf_readf_short && pa_simple_new && pa_simple_free
            && pa_simple_write && pa_simple_drain && pa_strerror;
    }

    static const SoundLibraries &instance()
    {
        static const SoundLibraries libraries = [] {
            SoundLibraries loaded;
            QLibrary sndfile(QStringLiteral("sndfile"), 1);
            QLibrary simple(QStringLiteral("pulse-simple"), 0);
            QLibrary pulse(QStringLiteral("pulse"), 0);
            // Kept loaded for the rest of the run: QLibrary's destructor does not unload.
            if (!sndfile.load() || !simple.load() || !pulse.load()) {
                qCDebug(lcSound) << "sound libraries missing:" << sndfile.errorString()
                                 << simple.errorString() << pulse.errorString();
                return loaded;
            }
            const auto resolve = [](QLibrary &library, auto &function, const char *name) {
                function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                    library.resolve(name));
            };
            resolve(sndfile, loaded.sf_open, "sf_open");
            resolve(sndfile, loaded.sf_close, "sf_close");
            resolve(sndfile, loaded.sf_readf_short, "sf_readf_short");
            resolve(simple, loaded.pa_simple_new, "pa_simple_new");
            resolve(simple, loaded.pa_simple_free, "pa_simple_free");
            resolve(simple, loaded.pa_simple_write, "pa_simple_write");
            resolve(simple, loaded.pa_simple_drain, "pa_simple_drain");
            resolve(pulse, loaded.pa_strerror, "pa_strerror");
            return loaded;
        }();
        return libraries;
    }
};

struct SndFileCloser
{
    void operator()(SNDFILE *file) const { SoundLibraries::instance().sf_close(file); }
};
struct PaSimpleFreer
{
    void operator()(pa_simple *stream) const { SoundLibraries::instance().pa_simple_free(stream); }
};
using SndFile = std::unique_ptr<SNDFILE, SndFileCloser>;
using PaStream = std::unique_ptr<pa_simple, PaSimpleFreer>;

// The server keeps about this much sound queued ahead of the speaker. Small, so that the drain
// at the end returns close to the moment the sound really ends.
constexpr quint64 TargetLatencyUsec = 50 * 1000;
constexpr sf_count_t ChunkFrames = 4096;

} // namespace

bool playWavSync(const QString &path)
{
    // Only regular files: opening a FIFO or a device would block or read forever.
    if (!QFileInfo(path).isFile())
        return false;
    const SoundLibraries &lib = SoundLibraries::instance();
    if (!lib.loaded())
        return false;

    SF_INFO info {};
    SndFile file(lib.sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file) {
        qCDebug(lcSound) << "cannot decode" << path;
        return false;
    }
    if (info.frames <= 0 || info.channels < 1 || info.channels > int(PA_CHANNELS_MAX)
        || info.samplerate < 1 || quint32(info.samplerate) > PA_RATE_MAX)
        return false;

    pa_sample_spec format {};
    format.format = PA_SAMPLE_S16NE;
    format.rate = quint32(info.samplerate);
    format.channels = quint8(info.channels);

    pa_buffer_attr buffer {};
    buffer.maxlength = quint32(-1);
    const quint32 frameBytes = quint32(sizeof(short)) * format.channels;
    buffer.tlength = quint32(TargetLatencyUsec * format.rate / 1000000) * frameBytes;
    buffer.minreq = buffer.tlength / 4;
    buffer.prebuf = buffer.tlength / 2;
    buffer.fragsize = quint32(-1);

    // With no server this fails at once: the socket is missing or refuses the connection.
    int error = 0;
    PaStream stream(lib.pa_simple_new(nullptr, "Quorvin", PA_STREAM_PLAYBACK, nullptr,
        "About sound", &format, nullptr, &buffer, &error));
    if (!stream) {
        qCDebug(lcSound) << "no sound server:" << lib.pa_strerror(error);
        return false;
    }

    // Decoded in chunks, so that a long file never sits in memory whole.
    std::vector<short> samples(size_t(ChunkFrames) * size_t(info.channels));
    for (;;) {
        const sf_count_t frames = lib.sf_readf_short(file.get(), samples.data(), ChunkFrames);
        if (frames <= 0)
            break;
        const size_t bytes = size_t(frames) * size_t(info.channels) * sizeof(short);
        if (lib.pa_simple_write(stream.get(), samples.data(), bytes, &error) < 0) {
            qCDebug(lcSound) << "write failed:" << lib.pa_strerror(error);
            return false;
        }
    }
    // Returns once the server has played everything written.
    if (lib.pa_simple_drain(stream.get(), &error) < 0) {
        qCDebug(lcSound) << "drain failed:" << lib.pa_strerror(error);
        return false;
    }
    return true;
}

} // namespace platform
