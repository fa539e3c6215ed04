#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The plain rules of how text art is laid out, with no toolkit in them, so that the viewer and
// the renderer (a small program that must start in a few milliseconds) share one copy.
namespace art {

// Byte offsets, columns and lines: as wide as a size, and the same type as Qt's own sizes, so
// that the viewer's values pass in and out as they are.
using Offset = long long;

// One line of a text: its bytes are [start, end); the line break after it (if any) runs from
// end to the next line's start. columns counts cells, with tabs expanded.
struct Line
{
    Offset start = 0;
    Offset end = 0;
    Offset columns = 0;
};

inline constexpr int TabWidth = 8;

// The column after a byte that starts at a column: a tab runs to the next multiple of TabWidth.
inline Offset nextColumn(char byte, Offset column)
{
    return byte == '\t' ? (column / TabWidth + 1) * TabWidth : column + 1;
}

// Indexes the lines of a text in one pass into lines (replacing what it held) and returns the
// widest line's columns. CR LF, CR CR LF, a lone CR and a lone LF each end a line; a text that
// ends with a break has an empty last line, and the empty text has one line.
Offset layoutLines(std::string_view text, std::vector<Line> &lines);

// How a shown file's line breaks are read, decided by its first break: a CR first is the direct
// read (the bytes as stored, less one final break: CR LF, or a lone CR or LF); an LF first or no
// break at all is the converting read (each LF turned into CR LF, each CR dropped).
bool readsDirect(std::string_view bytes);
std::size_t finalBreakLength(std::string_view bytes);
// The converting read of some bytes, written from out on (which has room for twice as many
// bytes); returns the end of what it wrote. Bytes converted piece by piece give the same text.
char *convertBreaks(std::string_view bytes, char *out);

// The text shown for a file's whole bytes: the read its first break chooses, applied at once.
std::string shownText(std::string_view bytes);

} // namespace art
