#include "platform/programicon.h"

#include "quorvin.xpm"

namespace platform {

QPixmap programIcon()
{
    return QPixmap(quorvin_xpm);
}

} // namespace platform
