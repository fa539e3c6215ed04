#pragma once

#include "picture.h"

#include <cstdio>
#include <functional>
#include <string>

namespace render {

// Writes a picture as PNG to an open file: indexed colour in as few bits as its colours need
// where it has at most 256 of them (text art has a handful), 24-bit colour otherwise. An
// indexed picture is made compact in place (its indices renumbered to the colours in use).
// Returns why it failed, or the empty string.
std::string writePng(Picture &picture, std::FILE *file);

// Writes a file whole or not at all through write (which returns why it failed, or the empty
// string): into a new file beside it, then renamed over it, so a failure leaves no file (and
// an existing file as it was); an existing empty file, made ready by a thumbnail service, is
// filled in place and left empty on failure. Returns why it failed (the system's reason), or
// the empty string once the file is in place.
std::string writeWhole(
    const std::string &path, const std::function<std::string(std::FILE *)> &write);

} // namespace render
