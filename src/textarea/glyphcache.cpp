#include "textarea/glyphcache.h"

#include "textarea/blockglyphs.h"
#include "textarea/cp437.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace textarea {

namespace {

// Colour pairs in use at once: normal text, selected text, and the pairs of a colour change.
constexpr size_t maximumPalettes = 4;

bool isBlankByte(quint8 byte)
{
    return byte == 0x00 || byte == 0x20 || byte == 0xFF || byte == '\t';
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
        const QString folder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
        QString added;
        for (const char *file : { "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf" }) {
            const int id = QFontDatabase::addApplicationFont(folder + QLatin1String(file));
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

    // The largest pixel size whose line height and advance both fit the cell, measured on the
    // face at 100 pixels. The face is then scaled to that size, so the font database is asked
    // for one face only.
    QFont font(fontFamily());
    font.setBold(bold);
    font.setPixelSize(100);
    font.setStyleStrategy(QFont::PreferAntialias);
    QRawFont face = QRawFont::fromFont(font);
    const QFontMetricsF reference(font);
    const QList<quint32> em = face.glyphIndexesForString(QStringLiteral("M"));
    const double lineHeight = face.isValid() ? (face.ascent() + face.descent()) / 100
                                             : (reference.ascent() + reference.descent()) / 100;
    const double advance = face.isValid() && em.value(0) != 0
        ? face.advancesForGlyphIndexes(em).value(0).x() / 100
        : reference.horizontalAdvance(QLatin1Char('M')) / 100;
    const int pixelSize = std::max(1,
        int(std::floor(std::min(m_cell.height() / std::max(lineHeight, 0.01),
            m_cell.width() / std::max(advance, 0.01)))));
    font.setPixelSize(pixelSize);
    m_font = font;
    double ascent = 0;
    double descent = 0;
    m_faceAdvance = 0;
    if (face.isValid()) {
        face.setPixelSize(pixelSize);
        ascent = face.ascent();
        descent = face.descent();
        if (em.value(0) != 0)
            m_faceAdvance = face.advancesForGlyphIndexes(em).value(0).x();
    } else {
        const QFontMetricsF metrics(font);
        ascent = metrics.ascent();
        descent = metrics.descent();
    }
    m_face = face;
    m_baseline = std::round((m_cell.height() - ascent - descent) / 2 + ascent);
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
    const QString glyph(QChar(cp437::toUnicode(byte)));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QColor::fromRgb(ink));
    // A glyph of the face is drawn as it stands, without text layout; a character the face
    // lacks goes through the font's fallbacks.
    const QList<quint32> index
        = m_face.isValid() ? m_face.glyphIndexesForString(glyph) : QList<quint32>();
    if (index.size() == 1 && index.front() != 0) {
        QGlyphRun run;
        run.setRawFont(m_face);
        run.setGlyphIndexes(index);
        run.setPositions({ QPointF(0, 0) });
        // Measuring each glyph would load it once more than drawing it does.
        const double advance = m_faceAdvance > 0
            ? m_faceAdvance
            : m_face.advancesForGlyphIndexes(index).value(0).x();
        painter.drawGlyphRun(QPointF(std::round((m_cell.width() - advance) / 2), m_baseline), run);
        return image;
    }
    painter.setFont(m_font);
    const double advance = QFontMetricsF(m_font).horizontalAdvance(glyph);
    painter.drawText(QPointF(std::round((m_cell.width() - advance) / 2), m_baseline), glyph);
    return image;
}

} // namespace textarea
