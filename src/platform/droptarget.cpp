#include "platform/droptarget.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace platform {

static QStringList localFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    return paths;
}

DropTarget::DropTarget(QWidget *window)
    : QObject(window)
{
    // Children that do not take drops themselves hand them to the window, so one filter on
    // the window serves the text area too.
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QStringList DropTarget::droppedFiles() const
{
    return m_droppedFiles;
}

bool DropTarget::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (localFiles(drag->mimeData()).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // Reported once the drop has been answered, so that a long load in the handler never
        // keeps the dragging program waiting for the end of the drag.
        QMetaObject::invokeMethod(
            this,
            [this, paths] {
                m_droppedFiles = paths;
                emit DropFiles();
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace platform
