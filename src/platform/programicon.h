#pragma once

#include <QPixmap>

namespace platform {

// The program's icon, 32 x 32 pixels in 16 colours: the main window's icon and the About
// window's picture of it. It is compiled in as XPM, which Qt reads itself, so showing it never
// has the image-format plugins looked up.
QPixmap programIcon();

} // namespace platform
