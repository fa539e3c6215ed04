#include "viewer/links.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace viewer {

namespace {

bool isAsciiLetterOrDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A blank, a control character, a byte that is not ASCII, a quote and an angle bracket end an
// address.
bool isAddressByte(char c)
{
    return c > ' ' && c < 0x7F && c != '"' && c != '\'' && c != '`' && c != '<' && c != '>';
}

bool isMailNameByte(char c)
{
    return isAsciiLetterOrDigit(c) || c == '.' || c == '_' || c == '%' || c == '+' || c == '-';
}

bool isHostByte(char c)
{
    return isAsciiLetterOrDigit(c) || c == '.' || c == '-';
}

bool startsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView prefix)
{
    if (text.size() - at < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        const char c = text[at + i];
        if ((c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c) != prefix[i])
            return false;
    }
    return true;
}

// A prefix and ASCII bytes as one text, made in one allocation.
QString joined(const char *prefix, QByteArrayView bytes)
{
    QString text;
    text.reserve(qsizetype(std::strlen(prefix)) + bytes.size());
    return text.append(QLatin1String(prefix)).append(QLatin1String(bytes.data(), bytes.size()));
}

// Where an address that starts at `from` ends.
qsizetype addressEnd(QByteArrayView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isAddressByte(text[end]))
        ++end;
    while (end > from) {
        const char last = text[end - 1];
        const QByteArrayView run = text.sliced(from, end - from);
        const bool unbalanced = (last == ')' || last == ']')
            && std::count(run.begin(), run.end(), last == ')' ? '(' : '[')
                < std::count(run.begin(), run.end(), last);
        if (!unbalanced && QByteArrayView(".,;:!?").indexOf(last) < 0)
            break;
        --end;
    }
    return end;
}

// A host name (ASCII letters, digits, dots and hyphens) from `from`: its end, trailing dots and
// hyphens left out, when it has a dot and ends in a top-level name of two letters or more;
// else -1.
qsizetype hostEnd(QByteArrayView text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && isHostByte(text[end]))
        ++end;
    while (end > from && !isAsciiLetterOrDigit(text[end - 1]))
        --end;
    const QByteArrayView host = text.sliced(from, end - from);
    const qsizetype dot = host.lastIndexOf('.');
    if (host.isEmpty() || !isAsciiLetterOrDigit(host.front()) || dot < 0 || host.size() - dot < 3
        || !std::all_of(host.begin() + dot + 1, host.end(),
            [](char c) { return !(c >= '0' && c <= '9') && isAsciiLetterOrDigit(c); }))
        return -1;
    return end;
}

// The e-mail address around the '@' at `at`, its name starting at or after `earliest`.
std::optional<textarea::TextLink> mailAround(QByteArrayView text, qsizetype at, qsizetype earliest)
{
    qsizetype begin = at;
    while (begin > earliest && isMailNameByte(text[begin - 1]))
        --begin;
    while (begin < at && text[begin] == '.')
        ++begin;
    if (begin == at)
        return std::nullopt;
    const qsizetype end = hostEnd(text, at + 1);
    if (end < 0)
        return std::nullopt;
    return textarea::TextLink { begin, end, joined("mailto:", text.sliced(begin, end - begin)) };
}

// The address that starts at `at` with one of the prefixes, if any.
std::optional<textarea::TextLink> prefixedAt(QByteArrayView text, qsizetype at)
{
    static constexpr std::array<QByteArrayView, 5> Prefixes
        = { "http://", "https://", "ftp://", "www.", "mailto:" };
    for (const QByteArrayView prefix : Prefixes) {
        if (!startsWithNoCase(text, at, prefix))
            continue;
        const qsizetype rest = at + prefix.size();
        const qsizetype end = addressEnd(text, at);
        if (end <= rest || !isAsciiLetterOrDigit(text[rest]))
            return std::nullopt;
        const QByteArrayView run = text.sliced(at, end - at);
        if (prefix == "mailto:") {
            const qsizetype sign = run.indexOf('@');
            if (sign < 0 || !mailAround(run, sign, prefix.size()))
                return std::nullopt;
            return textarea::TextLink { at, end, joined("mailto:", run.sliced(prefix.size())) };
        }
        if (prefix == "www.") {
            // A name with an '@' before any path is an e-mail address.
            const qsizetype sign = run.indexOf('@');
            if (sign >= 0 && (run.indexOf('/') < 0 || sign < run.indexOf('/')))
                return std::nullopt;
            return textarea::TextLink { at, end, joined("http://", run) };
        }
        return textarea::TextLink { at, end, joined("", run) };
    }
    return std::nullopt;
}

} // namespace

textarea::TextLinks findLinks(QByteArrayView text)
{
    // The bytes that may begin a link or be an e-mail address's '@', looked up in a table: most
    // bytes of a text are none.
    static constexpr auto Candidate = [] {
        std::array<bool, 256> table {};
        for (const char c : std::string_view("hHfFwWmM@"))
            table[quint8(c)] = true;
        return table;
    }();
    textarea::TextLinks links;
    qsizetype earliest = 0; // where the next link may begin
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!Candidate[quint8(c)])
            continue;
        std::optional<textarea::TextLink> link;
        if (c == '@')
            link = mailAround(text, i, earliest);
        else if (i == 0 || !isAsciiLetterOrDigit(text[i - 1]))
            link = prefixedAt(text, i);
        if (!link)
            continue;
        i = (earliest = link->end) - 1;
        links.push_back(std::move(*link));
    }
    return links;
}

QString companionArgument(const QString &address)
{
    return (address.startsWith(QLatin1String("mailto:")) ? QLatin1Char('>') : QLatin1Char('$'))
        + address;
}

} // namespace viewer
