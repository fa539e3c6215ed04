#include "about/form2.h"

#include "platform/programicon.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

// The icon and picture are compiled into the static core library, whose registration the linker
// drops unless something names it. Registering twice is harmless.
static void registerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace about {

namespace {

// Twips to pixels, 15 to a pixel, rounded to the nearest.
int px(int twips)
{
    return int(std::lround(twips / 15.0));
}

// Colours come as 0x00BBGGRR, red in the low byte.
QColor fromBgr(quint32 colour)
{
    return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

QFont chaucer(qreal points)
{
    QFont font(QStringLiteral("Chaucer"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// Places a label at its box in twips inside the client area. A substituted face may need more
// room than the original did; the box then grows about its own centre, so the centred text is
// where the design put it and is never clipped.
void place(QLabel *label, int left, int top, int width, int height, QPoint clientOrigin)
{
    QRect box(px(left), px(top), px(width), px(height));
    const QSize need = label->sizeHint();
    const int extraW = qMax(0, need.width() - box.width());
    const int extraH = qMax(0, need.height() - box.height());
    box.adjust(-extraW / 2, -extraH / 2, extraW - extraW / 2, extraH - extraH / 2);
    label->setGeometry(box.translated(clientOrigin));
}

void styleLabel(QLabel *label, quint32 colour)
{
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, fromBgr(colour));
    label->setPalette(palette);
}

} // namespace

Form2::Form2(LoadHandler formLoad, QWidget *parent)
    : QWidget(parent)
    , m_formLoad(std::move(formLoad))
{
    registerResources();

    // No caption bar (frameless, the frame is painted below) and, as a tool window, no
    // task-bar entry. It does take the focus when shown, so that keys typed while the sound
    // plays land here, where they are ignored, rather than in the main window.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setContentsMargins(FrameWidth, FrameWidth, FrameWidth, FrameWidth);
    setFixedSize(ClientSize.grownBy(contentsMargins()));

    Label1 = new QLabel(QStringLiteral("Quorvin"), this);
    Label1->setFont(chaucer(26.25));
    styleLabel(Label1, 0x80FFFF);

    Label2 = new QLabel(QStringLiteral("v1.19"), this);
    styleLabel(Label2, 0x00FFFF);

    Image1 = new QLabel(this);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop); // the image's own size, unscaled
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Label4 = new QLabel(QStringLiteral("Q team"), this);
    Label4->setFont(chaucer(18));
    styleLabel(Label4, 0xFF8080);
}

void Form2::prepareLooks()
{
    // Done when the window is first shown or drawn, not when the launch loads it hidden:
    // finding a substitute for the labels' face is the costliest step of the window, and most
    // runs never show it.
    if (!m_picture.isNull())
        return;
    m_picture.load(QString::fromLatin1(PicturePath));
    const QPoint origin = contentsRect().topLeft();
    place(Label1, 105, 120, 1980, 630, origin);
    place(Label2, 1140, 1005, 390, 225, origin);
    Image1->setPixmap(platform::programIcon());
    Image1->setGeometry(QRect(px(480), px(870), px(480), px(480)).translated(origin));
    place(Label4, 4590, 3975, 1275, 465, origin);
}

Form2::~Form2() = default;

void Form2::Form_Load()
{
    if (m_formLoad)
        m_formLoad(*this);
}

void Form2::paintEvent(QPaintEvent *)
{
    prepareLooks();
    QPainter painter(this);
    // The picture is larger than the client area by two columns and one row; those fall
    // outside, under the frame's clip.
    const QRect client = contentsRect();
    painter.save();
    painter.setClipRect(client);
    if (m_picture.isNull())
        painter.fillRect(client, Qt::black);
    else
        painter.drawImage(client.topLeft(), m_picture);
    painter.restore();

    // A raised thin dialog frame: a two-pixel bevel, then one pixel of face colour.
    const QPalette &pal = palette();
    const QRect r = rect();
    auto bevel = [&](QRect box, const QColor &topLeft, const QColor &bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight() - QPoint(1, 0));
        painter.drawLine(box.topLeft(), box.bottomLeft() - QPoint(0, 1));
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    bevel(r, pal.color(QPalette::Midlight), pal.color(QPalette::Shadow));
    bevel(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Light), pal.color(QPalette::Dark));
    painter.setPen(pal.color(QPalette::Button));
    painter.drawRect(r.adjusted(2, 2, -3, -3));
}

void Form2::showEvent(QShowEvent *event)
{
    prepareLooks();
    // Moved before the window is mapped, so it appears centred at once.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    QWidget::showEvent(event);
}

void Form2::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void Form2::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void Form2::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

void Form2::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
}

} // namespace about
