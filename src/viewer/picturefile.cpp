#include "viewer/picturefile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>

namespace viewer {

QImage withPalette(const QImage &picture)
{
    if (picture.isNull() || picture.format() != QImage::Format_RGB32)
        return picture;
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return picture;
    QHash<QRgb, uchar> index;
    QList<QRgb> table;
    // Art comes in runs of one colour: the last colour seen is looked up first.
    QRgb last = 0;
    uchar lastIndex = 0;
    bool any = false;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        uchar *to = indexed.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb colour = from[x];
            if (!any || colour != last) {
                auto found = index.constFind(colour);
                if (found == index.cend()) {
                    if (table.size() == 256)
                        return picture;
                    found = index.insert(colour, uchar(table.size()));
                    table.append(colour);
                }
                last = colour;
                lastIndex = *found;
                any = true;
            }
            to[x] = lastIndex;
        }
    }
    indexed.setColorTable(table);
    indexed.setDevicePixelRatio(picture.devicePixelRatio());
    return indexed;
}

QString writePng(const QImage &picture, const QString &path)
{
    const QImage png = withPalette(picture);
    const auto encode = [&png](QIODevice *device) {
        QImageWriter writer(device, "png");
        return writer.write(png) ? QString() : writer.errorString();
    };

    // An empty file that is already there was made for the picture, as thumbnail services do:
    // they read the picture back through their own handle on that file, which a replacement
    // would leave empty. It is filled in place, and emptied again should the write fail.
    const QFileInfo existing(path);
    if (existing.isFile() && existing.size() == 0) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return file.errorString();
        QString why = encode(&file);
        if (why.isEmpty() && !file.flush())
            why = file.errorString();
        if (!why.isEmpty())
            file.resize(0);
        return why;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (const QString why = encode(&file); !why.isEmpty()) {
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace viewer
