#include "art/lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace art {

Offset layoutLines(std::string_view text, std::vector<Line> &lines)
{
    lines.clear();
    Offset widest = 0;
    const char *data = text.data();
    const auto size = Offset(text.size());
    Offset start = 0;
    Offset column = 0;
    const auto endLine = [&](Offset end, Offset next) {
        lines.push_back(Line { start, end, column });
        widest = std::max(widest, column);
        start = next;
        column = 0;
    };
    for (Offset i = 0; i < size; ++i) {
        // Most bytes are ordinary cells: skip eight at a time while none is below 14 (none can
        // be a tab or a line break).
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            constexpr std::uint64_t ones = 0x0101010101010101ULL;
            if (((word - ones * 14) & ~word & ones * 0x80) != 0)
                break;
            i += 8;
            column += 8;
        }
        if (i == size)
            break;
        const char byte = data[i];
        if (byte == '\n') {
            endLine(i, i + 1);
        } else if (byte == '\r') {
            Offset next = i + 1;
            if (next < size && data[next] == '\n')
                next += 1;
            else if (next + 1 < size && data[next] == '\r' && data[next + 1] == '\n')
                next += 2;
            endLine(i, next);
            i = next - 1;
        } else {
            column = nextColumn(byte, column);
        }
    }
    endLine(size, size);
    return widest;
}

bool readsDirect(std::string_view bytes)
{
    const auto brk = std::find_if(
        bytes.begin(), bytes.end(), [](char byte) { return byte == '\r' || byte == '\n'; });
    return brk != bytes.end() && *brk == '\r';
}

std::size_t finalBreakLength(std::string_view bytes)
{
    if (bytes.ends_with("\r\n"))
        return 2;
    return bytes.ends_with('\r') || bytes.ends_with('\n') ? 1 : 0;
}

char *convertBreaks(std::string_view bytes, char *out)
{
    const char *data = bytes.data();
    const char *const end = data + bytes.size();
    while (data < end) {
        // Copies the run up to the next break at once: most bytes are no break.
        const char *brk = std::find_if(data, end, [](char c) { return c == '\r' || c == '\n'; });
        out = std::copy(data, brk, out);
        if (brk == end)
            break;
        if (*brk == '\n') {
            *out++ = '\r';
            *out++ = '\n';
        }
        data = brk + 1;
    }
    return out;
}

std::string shownText(std::string_view bytes)
{
    if (readsDirect(bytes))
        return std::string(bytes.substr(0, bytes.size() - finalBreakLength(bytes)));
    std::string text(2 * bytes.size(), '\0');
    text.resize(std::size_t(convertBreaks(bytes, text.data()) - text.data()));
    return text;
}

} // namespace art
