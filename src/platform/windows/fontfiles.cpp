#include "platform/fontfiles.h"

#include <QtGlobal>

// The resources live in the static library: registered once, before the first use.
static void initFontResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(fonts);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace platform {

QString romFaceFile()
{
    initFontResources();
    return QStringLiteral(":/fonts/Px_IBM_EGA8.ttf");
}

QStringList monospaceFaceFiles()
{
    initFontResources();
    return { QStringLiteral(":/fonts/DejaVuSansMono.ttf"),
        QStringLiteral(":/fonts/DejaVuSansMono-Bold.ttf") };
}

} // namespace platform
