#pragma once

#include "files.h"
#include "recordingservices.h"

#include "textarea/oemtextarea.h"
#include "viewer/form1.h"
#include "viewer/program.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>
#include <QUrl>

// A real drag-and-drop of files or web links onto a widget; true when drag and drop are taken.
inline bool drop(QWidget *target, const QStringList &links)
{
    QMimeData mime;
    for (const QString &link : links)
        mime.setUrls(mime.urls() << QUrl::fromUserInput(link));
    const QPoint where = target->rect().center();
    QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    return enter.isAccepted() && QApplication::sendEvent(target, &drop) && drop.isAccepted();
}

// A program started in-process in a temporary program directory, with the platform double.
// Paths use the system's separators, as the real platform layer gives them.
struct ProgramFixture
{
    QTemporaryDir directory;
    RecordingServices services;
    std::unique_ptr<viewer::Program> program;

    explicit ProgramFixture(const QString &argumentString = {})
        : services(QDir::toNativeSeparators(directory.path()), argumentString)
    { }
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(directory.filePath(name));
    }
    void write(const QString &name, const QByteArray &bytes) const { writeFile(path(name), bytes); }
    QByteArray read(const QString &name) const { return readFile(path(name)); }
    viewer::Form1 *start()
    {
        program = std::make_unique<viewer::Program>(services);
        program->start();
        return program->form1();
    }
    viewer::Form1 *form1() const { return program->form1(); }
    viewer::SharedState &state() const { return program->state(); }
    QByteArray text() const { return program->form1()->Text1->text(); }
};

// The ten lines a first run writes, with the window's geometry in the middle.
inline QByteArray quorvinIni(const QByteArray &fc, const QByteArray &bc, const QByteArray &state,
    const QByteArray &top, const QByteArray &left, const QByteArray &nheight,
    const QByteArray &nwidth, const QByteArray &dheight, const QByteArray &dwidth)
{
    return "v1.19\r\nFC-" + fc + "\r\nBC-" + bc + "\r\nState-" + state + "\r\nTop-" + top
        + "\r\nLeft-" + left + "\r\nNheight-" + nheight + "\r\nNwidth-" + nwidth + "\r\nDheight-"
        + dheight + "\r\nDwidth-" + dwidth + "\r\n";
}
