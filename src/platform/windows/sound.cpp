#include "platform/sound.h"

#include <QFileInfo>

#include <windows.h>

#include <mmsystem.h>

namespace platform {

// The system's own synchronous call: PlaySound returns when the sound has ended, and at once
// with FALSE when the file cannot be played or there is no sound device. SND_NODEFAULT keeps
// it from playing the system's default sound instead of a file it cannot play.
bool playWavSync(const QString &path)
{
    // Only regular files: a device or a pipe would block or play forever.
    if (!QFileInfo(path).isFile())
        return false;
    return ::PlaySoundW(reinterpret_cast<LPCWSTR>(path.utf16()), nullptr,
               SND_FILENAME | SND_SYNC | SND_NODEFAULT)
        != FALSE;
}

} // namespace platform
