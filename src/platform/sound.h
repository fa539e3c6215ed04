#pragma once

#include <QString>

namespace platform {

// Plays a WAV file and returns when the sound has ended: on Linux through the sound server
// (decoded by libsndfile, drained through PulseAudio), on Windows by the system's PlaySound.
// Returns false at once when the file cannot be played or there is no sound output.
bool playWavSync(const QString &path);

} // namespace platform
