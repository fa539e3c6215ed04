#pragma once

#include <QString>

#include <vector>

namespace textarea {

// A link in the text area's text: the bytes [begin, end), all on one line, and the address
// they open ("http://...", "https://...", "ftp://..." or "mailto:...").
struct TextLink
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QString address;

    friend bool operator==(const TextLink &, const TextLink &) = default;
};

// Links in the order of their bytes, none overlapping another.
using TextLinks = std::vector<TextLink>;

} // namespace textarea
