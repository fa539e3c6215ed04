#include "platform/hourglass.h"

#include <QBitmap>
#include <QImage>

#include <array>

namespace platform {

namespace {

// 'X' is black, '.' is white, a space lets the screen show through.
constexpr int Side = 32;
constexpr std::array<const char *, 22> Rows {
    "XXXXXXXXXXXXXXX",
    "X.............X",
    "XXXXXXXXXXXXXXX",
    " X...........X ",
    " X...........X ",
    " X.XXXXXXXXX.X ",
    " X..XXXXXXX..X ",
    "  X..XXXXX..X  ",
    "   X..XXX..X   ",
    "    X..X..X    ",
    "     X...X     ",
    "     X...X     ",
    "    X..X..X    ",
    "   X...X...X   ",
    "  X....X....X  ",
    " X.....X.....X ",
    " X....XXX....X ",
    " X..XXXXXXX..X ",
    " X.XXXXXXXXX.X ",
    "XXXXXXXXXXXXXXX",
    "X.............X",
    "XXXXXXXXXXXXXXX",
};
constexpr int Width = 15;
constexpr int Left = (Side - Width) / 2;
constexpr int Top = (Side - int(Rows.size())) / 2;

} // namespace

QCursor hourglassCursor()
{
    // In the cursor's bitmap a set bit is black; in its mask a set bit is drawn at all.
    QImage bits(Side, Side, QImage::Format_MonoLSB);
    QImage mask(Side, Side, QImage::Format_MonoLSB);
    bits.fill(0);
    mask.fill(0);
    for (int y = 0; y < int(Rows.size()); ++y) {
        for (int x = 0; x < Width; ++x) {
            const char pixel = Rows[size_t(y)][x];
            if (pixel == ' ')
                continue;
            mask.setPixel(Left + x, Top + y, 1);
            bits.setPixel(Left + x, Top + y, pixel == 'X' ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), Side / 2, Side / 2);
}

} // namespace platform
