#pragma once

#include <QCursor>

namespace platform {

// The busy pointer: a black and white hourglass drawn from a bitmap of our own. Made from two
// small bitmaps it costs the window system a few requests, where a themed animated wait pointer
// is read frame by frame from the cursor theme every time a program first shows it.
QCursor hourglassCursor();

} // namespace platform
