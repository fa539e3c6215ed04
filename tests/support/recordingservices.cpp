#include "recordingservices.h"

void RecordingServices::playSoundSync(const QString &path)
{
    sounds.append(path);
    if (whilePlaying)
        whilePlaying(path);
}
