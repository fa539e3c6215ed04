#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace platform {

// Makes a whole window, its children included, a target for local files dragged from any
// file manager (text/uri-list), and reports each drop as one DropFiles signal. The paths of
// the last drop, in the order the drop gave them, are kept for the handler to read.
class DropTarget : public QObject
{
    Q_OBJECT

public:
    explicit DropTarget(QWidget *window);
    Q_DISABLE_COPY_MOVE(DropTarget)

    // The full paths of the files of the last drop, native separators; empty before any drop.
    QStringList droppedFiles() const;

signals:
    void DropFiles();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStringList m_droppedFiles;
};

} // namespace platform
