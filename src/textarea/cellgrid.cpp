#include "textarea/cellgrid.h"

#include "textarea/cp437.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace textarea {

namespace {

// The largest cell height we lay out; larger sizes are drawn at this height rather than
// asking for cell images of absurd size.
constexpr int maximumCellHeight = 1024;

bool isBlank(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\0';
}

} // namespace

QSize CellGrid::cellSizeForPoints(double points)
{
    if (!std::isfinite(points) || points <= 0)
        return { 1, 1 };
    const double height = std::min(std::round(points * 96.0 / 72.0), double(maximumCellHeight));
    const int h = std::max(1, int(height));
    const int w = std::max(1, int(std::lround(h * 2.0 / 3.0)));
    return { w, h };
}

void CellGrid::setText(const QByteArray &bytes, const QList<char32_t> &characters)
{
    m_text = bytes;
    m_characters = characters.size() == bytes.size() ? characters : QList<char32_t>();
    m_widest
        = art::layoutLines(std::string_view(m_text.constData(), size_t(m_text.size())), m_lines);
}

qsizetype CellGrid::lineOf(qsizetype offset) const
{
    const auto after = std::upper_bound(m_lines.begin() + 1, m_lines.end(), offset,
        [](qsizetype o, const Line &l) { return o < l.start; });
    return qsizetype(after - m_lines.begin()) - 1;
}

qsizetype CellGrid::columnOf(qsizetype offset) const
{
    const Line &l = line(lineOf(offset));
    offset = std::clamp(offset, l.start, l.end);
    if (l.columns == l.end - l.start)
        return offset - l.start; // no tab widened the line: one cell per byte
    qsizetype column = 0;
    for (qsizetype i = l.start; i < offset; ++i)
        column = art::nextColumn(m_text[i], column);
    return column;
}

qsizetype CellGrid::offsetAtColumn(qsizetype lineIndex, double column) const
{
    const Line &l = line(std::clamp(lineIndex, qsizetype(0), lineCount() - 1));
    if (!(column > 0))
        return l.start;
    if (l.columns == l.end - l.start) {
        const double nearest = std::floor(column + 0.5);
        return nearest >= double(l.columns) ? l.end : l.start + qsizetype(nearest);
    }
    qsizetype cellStart = 0;
    for (qsizetype i = l.start; i < l.end; ++i) {
        const qsizetype cellEnd = art::nextColumn(m_text[i], cellStart);
        if (column < (double(cellStart) + double(cellEnd)) / 2)
            return i;
        cellStart = cellEnd;
    }
    return l.end;
}

qsizetype CellGrid::clampOffset(qsizetype offset) const
{
    offset = std::clamp(offset, qsizetype(0), m_text.size());
    const Line &l = line(lineOf(offset));
    return std::min(offset, l.end);
}

qsizetype CellGrid::move(
    qsizetype offset, Move how, qsizetype &goalColumn, qsizetype pageRows) const
{
    offset = clampOffset(offset);
    const qsizetype lineIndex = lineOf(offset);
    const Line &l = line(lineIndex);
    const auto vertical = [&](qsizetype lines) {
        if (goalColumn < 0)
            goalColumn = columnOf(offset);
        const qsizetype target = std::clamp(lineIndex + lines, qsizetype(0), lineCount() - 1);
        if (target == lineIndex)
            return offset;
        return offsetAtColumn(target, double(goalColumn));
    };
    pageRows = std::max(pageRows, qsizetype(1));
    switch (how) {
    case Move::Up:
        return vertical(-1);
    case Move::Down:
        return vertical(1);
    case Move::PageUp:
        return vertical(-pageRows);
    case Move::PageDown:
        return vertical(pageRows);
    default:
        break;
    }
    goalColumn = -1;
    switch (how) {
    case Move::Left:
        if (offset > l.start)
            return offset - 1;
        return lineIndex > 0 ? line(lineIndex - 1).end : offset;
    case Move::Right:
        if (offset < l.end)
            return offset + 1;
        return lineIndex + 1 < lineCount() ? line(lineIndex + 1).start : offset;
    case Move::LineStart:
        return l.start;
    case Move::LineEnd:
        return l.end;
    case Move::TextStart:
        return 0;
    case Move::TextEnd:
        return m_text.size();
    default:
        return offset;
    }
}

std::pair<qsizetype, qsizetype> CellGrid::wordAt(qsizetype offset) const
{
    offset = clampOffset(offset);
    const Line &l = line(lineOf(offset));
    if (l.start == l.end)
        return { offset, offset };
    const qsizetype at = offset == l.end ? offset - 1 : offset;
    const bool blank = isBlank(m_text[at]);
    qsizetype begin = at;
    while (begin > l.start && isBlank(m_text[begin - 1]) == blank)
        --begin;
    qsizetype end = at + 1;
    while (end < l.end && isBlank(m_text[end]) == blank)
        ++end;
    return { begin, end };
}

QString CellGrid::textBetween(qsizetype from, qsizetype to) const
{
    from = clampOffset(from);
    to = clampOffset(to);
    if (from > to)
        std::swap(from, to);
    QString result;
    result.reserve(to - from);
    for (qsizetype i = lineOf(from); i < lineCount(); ++i) {
        const Line &l = line(i);
        const qsizetype begin = std::max(from, l.start);
        const qsizetype end = std::min(to, l.end);
        for (qsizetype b = begin; b < end; ++b) {
            const char byte = m_text[b];
            if (byte == '\0')
                result.append(QChar(u' '));
            else if (m_characters.isEmpty())
                result.append(QChar(cp437::toUnicode(quint8(byte))));
            else if (const char32_t c = m_characters[b]; QChar::requiresSurrogates(c))
                result.append(QChar(QChar::highSurrogate(c))).append(QChar(QChar::lowSurrogate(c)));
            else
                result.append(QChar(char16_t(c)));
        }
        if (to <= l.end)
            break;
        result.append(QChar(u'\n'));
    }
    return result;
}

void CellGrid::setCellSize(QSize logical, qreal devicePixelRatio)
{
    m_cell = logical.expandedTo(QSize(1, 1));
    m_ratio = std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    m_deviceCell = QSize(std::max(1, int(std::lround(m_cell.width() * m_ratio))),
        std::max(1, int(std::lround(m_cell.height() * m_ratio))));
}

void CellGrid::setOrigin(qsizetype firstLine, qsizetype firstColumn)
{
    m_firstLine = std::max(firstLine, qsizetype(0));
    m_firstColumn = std::max(firstColumn, qsizetype(0));
}

qsizetype CellGrid::visibleRows(int logicalHeight) const
{
    return std::max(qsizetype(1), qsizetype(logicalHeight * m_ratio) / m_deviceCell.height());
}

qsizetype CellGrid::visibleColumns(int logicalWidth) const
{
    return std::max(qsizetype(1), qsizetype(logicalWidth * m_ratio) / m_deviceCell.width());
}

QRect CellGrid::deviceCellRect(qsizetype lineIndex, qsizetype column) const
{
    return QRect(int((column - m_firstColumn) * m_deviceCell.width()),
        int((lineIndex - m_firstLine) * m_deviceCell.height()), m_deviceCell.width(),
        m_deviceCell.height());
}

qsizetype CellGrid::hitTest(QPointF logicalPoint) const
{
    const double x = logicalPoint.x() * m_ratio / m_deviceCell.width();
    const double y = logicalPoint.y() * m_ratio / m_deviceCell.height();
    const double row
        = std::clamp(std::floor(y) + double(m_firstLine), 0.0, double(lineCount() - 1));
    return offsetAtColumn(qsizetype(row), x + double(m_firstColumn));
}

qsizetype CellGrid::byteAt(QPointF logicalPoint) const
{
    const double x = std::floor(logicalPoint.x() * m_ratio / m_deviceCell.width());
    const double y = std::floor(logicalPoint.y() * m_ratio / m_deviceCell.height());
    const double column = x + double(m_firstColumn);
    const double row = y + double(m_firstLine);
    if (!(column >= 0 && row >= 0 && row < double(lineCount()))
        || column >= double(line(qsizetype(row)).columns))
        return -1;
    // The nearest boundary a quarter cell in is the cell's own start, or past a tab's middle
    // the start of the byte after the tab.
    const qsizetype offset = offsetAtColumn(qsizetype(row), column + 0.25);
    return double(columnOf(offset)) > column ? offset - 1 : offset;
}

} // namespace textarea
