// The text area's Save as Image...: the whole text drawn as the window draws it, into a PNG.

#include "viewer/form1.h"

#include "textarea/oemtextarea.h"
#include "textarea/textpicture.h"
#include "viewer/picturefile.h"
#include "viewer/rendering.h"

#include <QDir>
#include <QFileInfo>

namespace viewer {

void Form1::saveImage_Click()
{
    // The suggestion is the shown file's name with its extension replaced by .png, in its
    // folder: readme.nfo gives readme.png beside it.
    const QFileInfo shown(m_shownPath);
    const QString suggested = m_shownPath.isEmpty()
        ? QStringLiteral("untitled.png")
        : QDir::toNativeSeparators(
            shown.dir().filePath(shown.completeBaseName() + QStringLiteral(".png")));
    const std::optional<QString> path
        = m_services.saveFileName(this, QStringLiteral("Save as Image"), suggested);
    if (!path)
        return;
    QString why;
    const QImage picture = renderPicture(Text1->text(), Text1->pictureStyle(), &why);
    if (!picture.isNull())
        why = writePng(picture, *path);
    if (why.endsWith(u'.')) // Windows' reasons end with a full stop of their own
        why.chop(1);
    if (!why.isEmpty())
        m_services.criticalMessage(this, QStringLiteral("Quorvin error"),
            QStringLiteral("Cannot save the picture as %1: %2.").arg(*path, why));
}

} // namespace viewer
