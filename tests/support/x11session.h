#pragma once

#include "files.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

// The built program from a temporary program directory on DISPLAY's X server: its windows found,
// read and typed into (xdotool, xprop; window 0 the main one), closed as a window manager does.
class X11Session
{
public:
    X11Session()
    {
        for (const char *name : { "quorvin", "howl.wav", "contents.txt", "webdial" })
            QFile::copy(QStringLiteral(QUORVIN_BINARY_DIR "/") + QLatin1String(name),
                path(QLatin1String(name)));
    }
    ~X11Session() // closed as a user would, so that a coverage build writes its counters
    {
        if (m_window && m_process.state() == QProcess::Running)
            requestClose();
        if (!m_process.waitForFinished(3000))
            m_process.kill(), m_process.waitForFinished(5000);
    }
    Q_DISABLE_COPY_MOVE(X11Session)

    QString programDirectory() const { return m_directory.path(); }
    QString path(const QString &name) const { return m_directory.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const { writeFile(path(name), bytes); }
    QByteArray read(const QString &name) const { return readFile(path(name)); }

    // Starts the program copy (or programPath); true once its window is mapped within timeoutMs,
    // polled without pauses. The window then gets the keyboard, as from a window manager.
    bool start(const QStringList &arguments, const QString &programPath = {}, int timeoutMs = 10000)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(
            programPath.isEmpty() ? path(QStringLiteral("quorvin")) : programPath, arguments);
        QElapsedTimer waited;
        waited.start();
        for (m_window = 0; !m_window && !qEnvironmentVariableIsEmpty("DISPLAY")
             && m_process.waitForStarted(5000) && waited.elapsed() < timeoutMs;)
            m_window = run(QStringLiteral("xdotool search --onlyvisible --pid %1 --name Quorvin")
                               .arg(processId()))
                           .toULong();
        if (m_window)
            run(QStringLiteral("xdotool windowfocus --sync ") + id(0));
        return m_window != 0;
    }
    QProcess &process() { return m_process; }
    qint64 processId() const { return m_process.processId(); }
    bool waitForExit(int timeoutMs = 10000) { return m_process.waitForFinished(timeoutMs); }

    unsigned long window() const { return m_window; } // the main window
    // How many windows the program has mapped (the root window may be among them).
    qsizetype visibleWindows() const
    {
        return run(QStringLiteral("xdotool search --onlyvisible --pid %1 --name ").arg(processId()))
            .split(u'\n', Qt::SkipEmptyParts)
            .size();
    }
    QString windowName(unsigned long window = 0) const
    {
        return run(QStringLiteral("xprop _NET_WM_NAME -id ") + id(window)).section(u'"', 1, -2);
    }
    // Types keys (xdotool's names, a blank apart) into the window, given the focus first. Sent
    // as real key events: events sent to a window directly leave Control held on the server.
    void key(const QString &keys, unsigned long window = 0) const
    {
        run(QStringLiteral("xdotool windowfocus --sync ") + id(window) + QStringLiteral(" key ")
            + keys);
    }
    void requestClose() const; // WM_DELETE_WINDOW, as the close button does

    // What a command prints, trimmed: words a blank apart (so a trailing blank is an empty word).
    static QString run(const QString &command)
    {
        QStringList words = command.split(u' ');
        QProcess process;
        process.start(words.takeFirst(), words);
        process.waitForFinished(15000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

private:
    QString id(unsigned long window) const { return QString::number(window ? window : m_window); }

    QTemporaryDir m_directory;
    QProcess m_process;
    unsigned long m_window = 0;
};
