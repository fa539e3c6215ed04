#include "textarea/glyphcache.h"

#include "art/composition.h"
#include "platform/fontfiles.h"
#include "textarea/blockglyphs.h"
#include "textarea/cp437.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace textarea {

namespace {

// Colour pairs in use at once: normal text, selected text, and the pairs of a colour change.
constexpr size_t maximumPalettes = 4;

// The outline face is read at this pixel size, so that its outlines are its design, unhinted.
constexpr double referenceSize = 1000;

// The IBM EGA ROM face as fonts-pc converts it: 8 x 14 pixels on a 16-pixel em, its baseline
// 11 pixels below the top. A cell shows 12 of its 14 rows, the rows 1 to 12 (the top and bottom
// rows are used by a few glyphs only, which are moved into the cell, or made shorter by dropping
// a row that repeats the one beside it, as the stem of $ does).
constexpr int romWidth = 8;
constexpr int romRows = 12;
constexpr int romCellRows = 14;
constexpr int romEm = 16;
constexpr int romAscent = 11;

bool isBlankByte(quint8 byte)
{
    return byte == 0x00 || byte == 0x20 || byte == 0xFF || byte == '\t';
}

// Moves a path (device pixels, its cell at the origin) into the cell, or shrinks it to the
// cell along an axis where it is longer than the cell. Moves are whole pixels where they can
// be, so that edges on pixel rows stay there.
QPainterPath fittedToCell(const QPainterPath &path, QSize cell)
{
    const QRectF box = path.boundingRect();
    const auto axis = [](double low, double high, double size, double &scale, double &shift) {
        scale = 1;
        shift = 0;
        if (high - low > size) {
            scale = size / (high - low);
            shift = -low * scale;
            return;
        }
        if (low < 0)
            shift = std::ceil(-low - 1e-6);
        else if (high > size)
            shift = -std::ceil(high - size - 1e-6);
        if (low + shift < 0 || high + shift > size)
            shift = low < 0 ? -low : size - high;
    };
    double scaleX = 1;
    double shiftX = 0;
    double scaleY = 1;
    double shiftY = 0;
    axis(box.left(), box.right(), cell.width(), scaleX, shiftX);
    axis(box.top(), box.bottom(), cell.height(), scaleY, shiftY);
    if (scaleX == 1 && scaleY == 1 && shiftX == 0 && shiftY == 0)
        return path;
    return QTransform(scaleX, 0, 0, scaleY, shiftX, shiftY).map(path);
}

// Makes a path less than one pixel high (an underscore, a hyphen at small sizes) exactly one
// pixel row high, so that it shows as a line instead of a faint smear or not at all.
QPainterPath atLeastOneRow(const QPainterPath &path)
{
    const QRectF box = path.boundingRect();
    if (box.isEmpty() || box.height() >= 1)
        return path;
    const double row = std::floor(box.center().y());
    return QTransform(1, 0, 0, 1 / box.height(), 0, row - box.top() / box.height()).map(path);
}

} // namespace

GlyphCache::GlyphCache()
{
    configure(QSize(8, 12), false, 1.0);
}

QString GlyphCache::fontFamily()
{
    static const QString family = [] {
        const QString name = QStringLiteral("DejaVu Sans Mono");
        if (QFontDatabase::families().contains(name))
            return name;
        QString added;
        for (const QString &file : platform::monospaceFaceFiles()) {
            const int id = QFontDatabase::addApplicationFont(file);
            if (id >= 0 && added.isEmpty())
                added = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        return added.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family()
                               : added;
    }();
    return family;
}

void GlyphCache::configure(QSize deviceCell, bool bold, qreal devicePixelRatio)
{
    deviceCell = deviceCell.expandedTo(QSize(1, 1));
    const int dotSize = blockglyphs::shadeDotSize(devicePixelRatio);
    if (deviceCell == m_cell && bold == m_bold && dotSize == m_dotSize
        && !m_font.family().isEmpty())
        return;
    m_cell = deviceCell;
    m_bold = bold;
    m_dotSize = dotSize;
    m_palettes.clear();

    // The ROM face where the cell is its 8 x 12 pixels at a scale of a whole or half number:
    // 9 points at ratio 1, 1.5 and 2. Other scales would make its pixels uneven.
    const double romScale = m_cell.width() / double(romWidth);
    m_romScale = 0;
    m_rom = QRawFont();
    if (romScale >= 1 && std::fmod(romScale * 2, 1) == 0 && m_cell.height() >= romScale * romRows
        && !platform::romFaceFile().isEmpty()) {
        m_rom = QRawFont(platform::romFaceFile(), romEm);
        if (m_rom.isValid()) {
            m_romScale = romScale;
            m_romTop = int(std::floor((m_cell.height() - romScale * romRows) / 2));
        }
    }

    // The ROM face has every glyph of code page 437: with it the outline face is not read, and
    // the fonts' fallbacks are asked only should a glyph be missing.
    if (m_romScale > 0) {
        m_face = QRawFont();
        const double baseline = m_romTop + m_romScale * (romAscent - 1);
        m_rows = { double(m_cell.height()), baseline, baseline, baseline, 0 };
        m_font = QFont(QStringLiteral("DejaVu Sans Mono"));
        m_font.setBold(bold);
        m_font.setPixelSize(int(std::round(m_romScale * romRows)));
        return;
    }

    // The outline face: stretched across so that its advance is the cell's width, and put on
    // the cell's rows piece by piece, so that the baseline, x-height and cap height fall on
    // pixel edges (crisp tops, a clear gap under accents) and the ascent and descent on the
    // cell's edges.
    QFont font(fontFamily());
    font.setBold(bold);
    font.setPixelSize(int(referenceSize));
    m_face = QRawFont::fromFont(font);
    const auto top = [this](QChar c) {
        const QList<quint32> index = m_face.glyphIndexesForString(QString(c));
        return -m_face.pathForGlyph(index.value(0)).boundingRect().top();
    };
    const QList<quint32> em = m_face.glyphIndexesForString(QStringLiteral("M"));
    const double advance = m_face.isValid() && em.value(0) != 0
        ? m_face.advancesForGlyphIndexes(em).value(0).x()
        : referenceSize * 0.6;
    m_scaleX = m_cell.width() / advance;
    const double ascent = m_face.isValid() ? m_face.ascent() : referenceSize * 0.93;
    const double descent = m_face.isValid() ? m_face.descent() : referenceSize * 0.24;
    const double xHeight = m_face.isValid() ? top(QLatin1Char('x')) : referenceSize * 0.55;
    const double capHeight = m_face.isValid() ? top(QLatin1Char('H')) : referenceSize * 0.73;
    const int h = m_cell.height();
    const double scaleY = h / (ascent + descent);
    const double baseline = std::clamp(std::round(ascent * scaleY), 1.0, double(h));
    const double capRow = std::max(0.0, baseline - std::max(1.0, std::round(capHeight * scaleY)));
    const double xRow = std::clamp(baseline - std::round(xHeight * scaleY), capRow, baseline);
    m_heights = { -descent, 0, xHeight, capHeight, ascent };
    m_rows = { double(h), baseline, xRow, capRow, 0 };
    font.setPixelSize(std::max(1, int(std::round(scaleY * referenceSize))));
    m_font = font;
}

GlyphCache::Palette &GlyphCache::palette(QRgb ink, QRgb paper)
{
    const auto found = std::find_if(m_palettes.begin(), m_palettes.end(),
        [&](const Palette &p) { return p.ink == ink && p.paper == paper; });
    if (found == m_palettes.begin() && found != m_palettes.end())
        return *found;
    if (found != m_palettes.end()) {
        std::rotate(m_palettes.begin(), found, found + 1);
        return m_palettes.front();
    }
    if (m_palettes.size() >= maximumPalettes)
        m_palettes.pop_back();
    Palette fresh;
    fresh.ink = ink;
    fresh.paper = paper;
    const QSize period = blockglyphs::shadePeriod(m_dotSize);
    fresh.shades.resize(size_t(3 * period.width() * period.height()));
    m_palettes.insert(m_palettes.begin(), std::move(fresh));
    return m_palettes.front();
}

const QImage &GlyphCache::cell(quint8 byte, QRgb ink, QRgb paper, QPoint shadePhase)
{
    Palette &p = palette(ink, paper);
    if (blockglyphs::isShade(byte)) {
        const QSize period = blockglyphs::shadePeriod(m_dotSize);
        const int px = ((shadePhase.x() % period.width()) + period.width()) % period.width();
        const int py = ((shadePhase.y() % period.height()) + period.height()) % period.height();
        QImage &image
            = p.shades[size_t(((byte - 0xB0) * period.width() + px) * period.height() + py)];
        if (image.isNull())
            image = render(byte, ink, paper, QPoint(px, py));
        return image;
    }
    QImage &image = p.cells[byte];
    if (image.isNull())
        image = render(byte, ink, paper, QPoint());
    return image;
}

QImage GlyphCache::render(quint8 byte, QRgb ink, QRgb paper, QPoint shadePhase) const
{
    QImage image(m_cell, QImage::Format_RGB32);
    image.fill(paper);
    if (isBlankByte(byte))
        return image;
    if (blockglyphs::isDrawn(byte)) {
        blockglyphs::draw(image, byte, ink, shadePhase, m_dotSize);
        return image;
    }
    // Drawn with a cell's height of room around it, as the checks draw it on a larger canvas:
    // the rasterizer's shading may differ by a level where a glyph lies on its image.
    const int room = m_cell.height();
    return letterOnCanvas(byte, room, ink, paper).copy(QRect(QPoint(room, room), m_cell));
}

QImage GlyphCache::letterOnCanvas(quint8 byte, int margin, QRgb ink, QRgb paper) const
{
    QImage image(m_cell + 2 * QSize(margin, margin), QImage::Format_RGB32);
    image.fill(paper);
    if (!isBlankByte(byte) && !blockglyphs::isDrawn(byte))
        drawLetter(image, QPoint(margin, margin), byte, ink);
    return image;
}

// The outline glyph in device pixels, its cell at the origin: stretched across, and mapped
// from face units to rows piecewise between the heights of m_heights.
QPainterPath GlyphCache::outlineLetter(quint32 glyph) const
{
    QPainterPath path = m_face.pathForGlyph(glyph);
    const auto row = [this](double y) {
        size_t i = 1;
        while (i + 1 < m_heights.size() && y > m_heights[i])
            ++i;
        const double t = (y - m_heights[i - 1]) / (m_heights[i] - m_heights[i - 1]);
        return m_rows[i - 1] + t * (m_rows[i] - m_rows[i - 1]);
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        path.setElementPositionAt(i, e.x * m_scaleX, row(-e.y));
    }
    return path;
}

// The rows of a ROM glyph with ink, one bit a pixel (bit 0 the leftmost), the first of them
// at the cell's ROM row top; empty when the ROM face lacks the glyph.
std::vector<quint8> GlyphCache::romLetter(const QString &text, int &top) const
{
    const quint32 glyph = m_rom.glyphIndexesForString(text).value(0);
    if (glyph == 0)
        return {};
    QImage mask(romWidth, romCellRows, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.translate(0, romAscent);
    painter.drawPath(m_rom.pathForGlyph(glyph)); // pixel squares: no antialiasing needed
    painter.end();
    std::vector<quint8> rows(romCellRows);
    for (int y = 0; y < romCellRows; ++y)
        for (int x = 0; x < romWidth; ++x)
            rows[size_t(y)] |= quint8((mask.constScanLine(y)[x] >= 0x80 ? 1 : 0) << x);
    // From the first to the last row with ink; a glyph taller than the cell loses rows that
    // repeat their neighbour, from its ends inwards, then (none of the face's glyphs) any.
    const auto inked = [](quint8 row) {
        return row != 0;
    };
    auto first = std::find_if(rows.begin(), rows.end(), inked) - rows.begin();
    auto last = rows.rend() - std::find_if(rows.rbegin(), rows.rend(), inked);
    top = 0;
    if (first >= last)
        return std::vector<quint8>(1);
    rows = std::vector<quint8>(rows.begin() + first, rows.begin() + last);
    for (size_t end = 0; rows.size() > romRows; ++end) {
        const size_t i = end % 2 == 0 ? end / 2 + 1 : rows.size() - 1 - end / 2;
        if (end >= 2 * rows.size())
            rows.erase(rows.begin() + qsizetype(rows.size() / 2));
        else if (i < rows.size() && rows[i] == rows[i - 1])
            rows.erase(rows.begin() + qsizetype(i)), end = 0;
    }
    // Where it stood in the shown rows 1 to 12, moved as little as it must to lie within them.
    top = int(std::clamp<qsizetype>(first - 1, 0, romRows - qsizetype(rows.size())));
    if (m_bold) { // bold as the ROM fonts made it: each pixel once more to its right, if any
        for (quint8 &row : rows)
            row |= quint8(row << 1);
    }
    return rows;
}

// Draws a letter's glyph with its cell's origin at origin: from the ROM face pixel for pixel,
// else from the outline face, else (a character neither has) from the font's fallbacks.
void GlyphCache::drawLetter(QImage &image, QPoint origin, quint8 byte, QRgb ink) const
{
    const QString text(QChar(cp437::toUnicode(byte)));
    if (m_romScale > 0) {
        int top = 0;
        const std::vector<quint8> rows = romLetter(text, top);
        if (!rows.empty()) {
            // Each device pixel shows the ROM pixel under its centre: whole squares at scale 1
            // and 2, alternately one and two pixels at 1.5.
            const double s = m_romScale;
            const int end = int(std::ceil((top + int(rows.size())) * s));
            for (int y = int(std::floor(top * s)); y < end; ++y) {
                const int r = int(std::floor((y + 0.5) / s)) - top;
                const int at = origin.y() + m_romTop + y;
                if (r < 0 || r >= int(rows.size()) || at < 0 || at >= image.height())
                    continue;
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(at));
                for (int x = 0; x < int(romWidth * s); ++x)
                    if (rows[size_t(r)] & (1 << int((x + 0.5) / s)))
                        line[origin.x() + x] = ink;
            }
            return;
        }
    }
    QPainterPath path;
    const quint32 glyph = m_face.isValid() ? m_face.glyphIndexesForString(text).value(0) : 0;
    if (glyph != 0) {
        path = outlineLetter(glyph);
    } else {
        path.addText(0, 0, m_font, text);
        path.translate(0, m_rows[1]);
    }
    path = fittedToCell(atLeastOneRow(path), m_cell);
    path.setFillRule(Qt::WindingFill);

    // The coverage of each pixel, then ink over what is there by that coverage. In cells under
    // 12 rows, strokes are a pixel wide or less and mostly partial: coverage is raised there
    // (to its square root: a quarter shows as half), so letters read as strokes, not grey.
    QImage mask(image.size(), QImage::Format_Alpha8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.translate(origin);
    painter.drawPath(path);
    painter.end();
    const bool steep = m_cell.height() < 12;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *cover = mask.constScanLine(y);
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int a = cover[x];
            if (steep)
                a = int(std::lround(std::sqrt(a * 255.0)));
            if (a == 0)
                continue;
            const QRgb under = line[x];
            const auto mix = [a](int from, int to) {
                return art::mixChannel(from, to, a);
            };
            line[x] = qRgb(mix(qRed(under), qRed(ink)), mix(qGreen(under), qGreen(ink)),
                mix(qBlue(under), qBlue(ink)));
        }
    }
}

} // namespace textarea
