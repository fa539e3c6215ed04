#pragma once

#include <QString>

namespace platform {

// Plays a WAV file through the sound server and returns when the sound has ended (drained).
// Returns false at once when the file cannot be decoded or no sound server answers.
bool playWavSync(const QString &path);

} // namespace platform
