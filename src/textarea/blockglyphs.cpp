#include "textarea/blockglyphs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace textarea::blockglyphs {

namespace {

// The arms of the line-drawing characters 0xB3-0xDA: up, down, left, right, each 0 (none),
// 1 (single line) or 2 (double line).
struct Arms
{
    quint8 up, down, left, right;
};

constexpr std::array<Arms, 0xDA - 0xB3 + 1> lineArms = { {
    { 1, 1, 0, 0 }, { 1, 1, 1, 0 }, { 1, 1, 2, 0 }, { 2, 2, 1, 0 }, { 0, 2, 1, 0 }, // B3-B7
    { 0, 1, 2, 0 }, { 2, 2, 2, 0 }, { 2, 2, 0, 0 }, { 0, 2, 2, 0 }, { 2, 0, 2, 0 }, // B8-BC
    { 2, 0, 1, 0 }, { 1, 0, 2, 0 }, { 0, 1, 1, 0 }, { 1, 0, 0, 1 }, { 1, 0, 1, 1 }, // BD-C1
    { 0, 1, 1, 1 }, { 1, 1, 0, 1 }, { 0, 0, 1, 1 }, { 1, 1, 1, 1 }, { 1, 1, 0, 2 }, // C2-C6
    { 2, 2, 0, 1 }, { 2, 0, 0, 2 }, { 0, 2, 0, 2 }, { 2, 0, 2, 2 }, { 0, 2, 2, 2 }, // C7-CB
    { 2, 2, 0, 2 }, { 0, 0, 2, 2 }, { 2, 2, 2, 2 }, { 1, 0, 2, 2 }, { 2, 0, 1, 1 }, // CC-D0
    { 0, 1, 2, 2 }, { 0, 2, 1, 1 }, { 2, 0, 0, 1 }, { 1, 0, 0, 2 }, { 0, 1, 0, 2 }, // D1-D5
    { 0, 2, 0, 1 }, { 2, 2, 1, 1 }, { 1, 1, 2, 2 }, { 1, 0, 1, 0 }, { 0, 1, 0, 1 }, // D6-DA
} };

// Fills [x0, x1) x [y0, y1) of the cell, clipped to it.
void fill(QImage &cell, int x0, int y0, int x1, int y1, QRgb ink)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, cell.width());
    y1 = std::min(y1, cell.height());
    for (int y = y0; y < y1; ++y) {
        auto *row = reinterpret_cast<QRgb *>(cell.scanLine(y));
        std::fill(row + x0, row + std::max(x0, x1), ink);
    }
}

void drawLines(QImage &cell, Arms a, QRgb ink)
{
    const int w = cell.width();
    const int h = cell.height();
    const int t = lineThickness(cell.size());
    // Single strokes run at (cx, cy); double strokes at A and B, one stroke width either side.
    const int cx = (w - t) / 2;
    const int cy = (h - t) / 2;
    const int xA = std::max(cx - t, 0);
    const int xB = std::min(cx + t, std::max(w - t, 0));
    const int yA = std::max(cy - t, 0);
    const int yB = std::min(cy + t, std::max(h - t, 0));
    const auto hline = [&](int y, int x0, int x1) {
        fill(cell, x0, y, x1, y + t, ink);
    };
    const auto vline = [&](int x, int y0, int y1) {
        fill(cell, x, y0, x + t, y1, ink);
    };
    const bool up = a.up, down = a.down, left = a.left, right = a.right;
    const int horizontal = std::max(a.left, a.right);
    const int vertical = std::max(a.up, a.down);

    if (horizontal == 2 && vertical == 2) {
        // All double: each of the four strokes is broken where a crossing arm passes, and
        // turns the corner to meet its partner where no arm continues.
        const auto across = [&](bool gap, bool before, bool after, int lo, int hi, int limit,
                                const auto &stroke) {
            if (gap) {
                if (before)
                    stroke(0, lo + t);
                if (after)
                    stroke(hi, limit);
            } else if (before && after) {
                stroke(0, limit);
            } else if (before) {
                stroke(0, hi + t);
            } else if (after) {
                stroke(lo, limit);
            }
        };
        across(up, left, right, xA, xB, w, [&](int x0, int x1) { hline(yA, x0, x1); });
        across(down, left, right, xA, xB, w, [&](int x0, int x1) { hline(yB, x0, x1); });
        across(left, up, down, yA, yB, h, [&](int y0, int y1) { vline(xA, y0, y1); });
        across(right, up, down, yA, yB, h, [&](int y0, int y1) { vline(xB, y0, y1); });
        return;
    }

    if (horizontal == 2) {
        for (int y : { yA, yB }) {
            if (left)
                hline(y, 0, cx + t);
            if (right)
                hline(y, cx, w);
        }
    } else if (vertical == 2) {
        for (int x : { xA, xB }) {
            if (up)
                vline(x, 0, cy + t);
            if (down)
                vline(x, cy, h);
        }
    }

    // The single strokes: they cross to the far side of a double line that passes straight
    // through, and stop at the near stroke of a double line that turns.
    if (horizontal == 1) {
        if (left && right)
            hline(cy, 0, w);
        else if (left)
            hline(cy, 0, vertical == 2 ? ((up && down) ? xA : xB) + t : cx + t);
        else if (right)
            hline(cy, vertical == 2 ? ((up && down) ? xB : xA) : cx, w);
    }
    if (vertical == 1) {
        if (up && down)
            vline(cx, 0, h);
        else if (up)
            vline(cx, 0, horizontal == 2 ? ((left && right) ? yA : yB) + t : cy + t);
        else if (down)
            vline(cx, horizontal == 2 ? ((left && right) ? yB : yA) : cy, h);
    }
}

// Whether the shade pattern of a byte inks the dot at (dx, dy), in dots from the origin.
bool shadeInked(quint8 byte, qint64 dx, qint64 dy)
{
    const bool light = (dy % 2 == 0) ? (dx % 4 == 2) : (dx % 4 == 0);
    switch (byte) {
    case 0xB0:
        return light;
    case 0xB1:
        return (dx + dy) % 2 == 1;
    default:
        return !light;
    }
}

} // namespace

bool isDrawn(quint8 byte)
{
    return (byte >= 0xB0 && byte <= 0xDF) || byte == 0xFE;
}

bool isShade(quint8 byte)
{
    return byte >= 0xB0 && byte <= 0xB2;
}

int lineThickness(QSize deviceCell)
{
    return std::max(1, deviceCell.height() / 12);
}

int shadeDotSize(qreal devicePixelRatio)
{
    return std::max(1, int(std::lround(devicePixelRatio)));
}

QSize shadePeriod(int dotSize)
{
    return { 4 * dotSize, 2 * dotSize };
}

void draw(QImage &cell, quint8 byte, QRgb ink, QPoint shadePhase, int dotSize)
{
    const int w = cell.width();
    const int h = cell.height();
    if (isShade(byte)) {
        const QSize period = shadePeriod(dotSize);
        const int px = ((shadePhase.x() % period.width()) + period.width()) % period.width();
        const int py = ((shadePhase.y() % period.height()) + period.height()) % period.height();
        for (int y = 0; y < h; ++y) {
            auto *row = reinterpret_cast<QRgb *>(cell.scanLine(y));
            for (int x = 0; x < w; ++x) {
                if (shadeInked(byte, (px + x) / dotSize, (py + y) / dotSize))
                    row[x] = ink;
            }
        }
        return;
    }
    switch (byte) {
    case 0xDB:
        fill(cell, 0, 0, w, h, ink);
        return;
    case 0xDC:
        fill(cell, 0, h / 2, w, h, ink);
        return;
    case 0xDD:
        fill(cell, 0, 0, w / 2, h, ink);
        return;
    case 0xDE:
        fill(cell, w / 2, 0, w, h, ink);
        return;
    case 0xDF:
        fill(cell, 0, 0, w, h / 2, ink);
        return;
    case 0xFE: {
        const int margin = std::max(1, int(std::lround(w / 8.0)));
        const int side = std::max(1, std::min(w - 2 * margin, h));
        const int top = (h - side) / 2;
        fill(cell, (w - side) / 2, top, (w - side) / 2 + side, top + side, ink);
        return;
    }
    default:
        break;
    }
    if (byte >= 0xB3 && byte <= 0xDA)
        drawLines(cell, lineArms[byte - 0xB3], ink);
}

} // namespace textarea::blockglyphs
