#include "platform/sound.h"

namespace platform {

bool playWavSync(const QString &path)
{
    Q_UNUSED(path);
    return false; // filled in with the About window
}

} // namespace platform
