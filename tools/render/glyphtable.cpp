// glyphtable: writes the text area's cell images, as coverage (0 paper, 255 ink), into a C++
// source for quorvin-render. It runs at build time with the text area's own glyph cache, so
// the renderer draws exactly the cells that the window shows, without loading any toolkit
// when it runs. One set of 256 cells for each font size and pixel ratio the renderer offers,
// then each shade byte at every phase of its pattern.

#include "textarea/blockglyphs.h"
#include "textarea/cellgrid.h"
#include "textarea/glyphcache.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

constexpr int Sizes[] = { 5, 6, 9, 12, 14 };
constexpr int Ratios[] = { 1, 2 };

// The coverage of a cell drawn in white on black: its red channel, which the glyph cache's
// mixing of ink into paper (paper + (ink - paper) * coverage / 255) makes the coverage itself.
void appendCell(QByteArray &out, const QImage &cell)
{
    for (int y = 0; y < cell.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(cell.constScanLine(y));
        for (int x = 0; x < cell.width(); ++x) {
            out += QByteArray::number(qRed(line[x]));
            out += ',';
        }
        out += '\n';
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("Usage: glyphtable OUTPUT.cpp\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QByteArray out = "// Made by glyphtable from the text area's glyph cache at build time.\n"
                     "#include \"glyphmasks.h\"\n\nnamespace render {\n\nnamespace {\n\n";
    QByteArray sets;
    for (const int points : Sizes) {
        for (const int ratio : Ratios) {
            textarea::CellGrid grid;
            grid.setCellSize(textarea::CellGrid::cellSizeForPoints(points), ratio);
            const QSize cell = grid.deviceCellSize();
            const QSize period
                = textarea::blockglyphs::shadePeriod(textarea::blockglyphs::shadeDotSize(ratio));
            textarea::GlyphCache glyphs;
            glyphs.configure(cell, false, ratio);
            const QRgb ink = qRgb(255, 255, 255), paper = qRgb(0, 0, 0);
            const QByteArray name
                = "cells_" + QByteArray::number(points) + '_' + QByteArray::number(ratio);
            out += "const unsigned char " + name + "[] = {\n";
            int firstShade = -1, shades = 0;
            for (int byte = 0; byte < 256; ++byte) {
                appendCell(out, glyphs.cell(quint8(byte), ink, paper, {}));
                if (textarea::blockglyphs::isShade(quint8(byte))) {
                    firstShade = firstShade < 0 ? byte : firstShade;
                    ++shades;
                }
            }
            for (int byte = firstShade; byte < firstShade + shades; ++byte)
                for (int y = 0; y < period.height(); ++y)
                    for (int x = 0; x < period.width(); ++x)
                        appendCell(out, glyphs.cell(quint8(byte), ink, paper, { x, y }));
            out += "};\n\n";
            sets += QByteArray("    { ") + QByteArray::number(points) + ", "
                + QByteArray::number(ratio) + ", { " + QByteArray::number(cell.width()) + ", "
                + QByteArray::number(cell.height()) + ", " + QByteArray::number(period.width())
                + ", " + QByteArray::number(period.height()) + " }, "
                + QByteArray::number(firstShade) + ", " + QByteArray::number(shades) + ", " + name
                + " },\n";
        }
    }
    out += "} // namespace\n\nconst GlyphMasks AllGlyphMasks[GlyphMaskSets] = {\n" + sets
        + "};\n\n} // namespace render\n";

    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        std::fprintf(
            stderr, "glyphtable: cannot write %s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
