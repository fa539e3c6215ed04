#include "settings/conversions.h"

#include "settings/settingserror.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace settings {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmedBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

// A whole decimal number with an optional sign and nothing else. Throws on anything that is
// not one, including numbers too large for 64 bits.
qint64 wholeNumber(std::string_view text)
{
    text = trimmedBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars takes a sign of its own; after ours only digits may follow.
    if (text.empty() || text.front() < '0' || text.front() > '9')
        throw SettingsError("not a whole number");
    quint64 magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size())
        throw SettingsError("not a whole number");
    if (magnitude > quint64(std::numeric_limits<qint64>::max()))
        throw SettingsError("number out of range");
    return negative ? -qint64(magnitude) : qint64(magnitude);
}

// A finite decimal number: sign, digits, an optional point, an optional exponent. Infinity,
// NaN, hexadecimal forms and numbers beyond a double's range are refused. The C locale's
// point is the only decimal separator, whatever the user's locale.
double decimalNumber(std::string_view text)
{
    text = trimmedBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const std::string_view number = text;
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);

    qsizetype digits = 0;
    std::size_t i = 0;
    auto isDigit = [&text](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        throw SettingsError("not a number");
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!isDigit(i))
            throw SettingsError("not a number");
        while (isDigit(i))
            ++i;
    }
    if (i != text.size())
        throw SettingsError("not a number");

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        throw SettingsError("number out of range");
    return value;
}

} // namespace

platform::Colour toColour(const QByteArray &text)
{
    const qint64 value = wholeNumber(viewOf(text));
    if (value < 0 || value > 0xFFFFFF)
        throw SettingsError("colour out of range");
    return platform::Colour(value);
}

int toWindowState(const QByteArray &text)
{
    const qint64 value = wholeNumber(viewOf(text));
    if (value < 0 || value > 2)
        throw SettingsError("window state out of range");
    return int(value);
}

float toTwips(const QString &text)
{
    // Anything beyond ASCII cannot be part of a number; refuse it before narrowing.
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            throw SettingsError("not a number");
    }
    const QByteArray bytes = text.toLatin1();
    const double value = decimalNumber(viewOf(bytes));
    // A window coordinate in pixels is a 16-bit number.
    const double pixels = value / 15.0;
    if (pixels < -32768.0 || pixels > 32767.0)
        throw SettingsError("geometry out of range");
    return float(value);
}

float toFontSize(const QByteArray &text)
{
    const double value = decimalNumber(viewOf(text));
    const float size = float(value);
    if (!(size > 0.0f) || size > 2160.0f)
        throw SettingsError("font size out of range");
    return size;
}

QByteArray numberText(qint64 value)
{
    QByteArray text = QByteArray::number(value);
    if (value >= 0)
        text.prepend(' ');
    text.append(' ');
    return text;
}

QString twipsText(float twips)
{
    if (twips == 0.0f)
        twips = 0.0f; // "0", never "-0"
    char buffer[64];
    // Fixed notation: the shortest text that reads back as the same number, never an exponent
    // ("100000", not "1e+05").
    const auto [end, error]
        = std::to_chars(buffer, buffer + sizeof buffer, twips, std::chars_format::fixed);
    if (error != std::errc())
        return QString();
    return QString::fromLatin1(buffer, end - buffer);
}

} // namespace settings
