#include "platform/oemtextarea.h"

namespace platform {

struct OemTextArea::Private
{
    QByteArray text;
    Colour textColour = 0xE0E0E0;
    Colour backColour = 0x000000;
    float fontSize = 9.0f;
    bool bold = false;
};

OemTextArea::OemTextArea(QWidget *parent)
    : QAbstractScrollArea(parent)
    , d(std::make_unique<Private>())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

OemTextArea::~OemTextArea() = default;

void OemTextArea::setText(const QByteArray &bytes)
{
    d->text = bytes;
    viewport()->update();
}

const QByteArray &OemTextArea::text() const
{
    return d->text;
}

void OemTextArea::setTextColour(Colour colour)
{
    d->textColour = colour;
}

Colour OemTextArea::textColour() const
{
    return d->textColour;
}

void OemTextArea::setBackColour(Colour colour)
{
    d->backColour = colour;
}

Colour OemTextArea::backColour() const
{
    return d->backColour;
}

void OemTextArea::setFontSize(float points)
{
    d->fontSize = points;
}

float OemTextArea::fontSize() const
{
    return d->fontSize;
}

void OemTextArea::setBold(bool bold)
{
    d->bold = bold;
}

bool OemTextArea::isBold() const
{
    return d->bold;
}

bool OemTextArea::hasSelection() const
{
    return false;
}

QString OemTextArea::selectedText() const
{
    return {};
}

void OemTextArea::clearSelection() { }

} // namespace platform
