#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QThread>

// Drives the built program as a real process on the X server named by DISPLAY: it runs from a
// temporary program directory holding a copy of the program and its companion files, and the
// test finds its windows, reads their geometry and captions and types into them (through
// xdotool), and asks the program to close as a window manager would.
class X11Session
{
public:
    X11Session()
    {
        for (const char *name : { "quorvin", "howl.wav", "contents.txt", "webdial" })
            QFile::copy(QStringLiteral(QUORVIN_BINARY_DIR "/") + QLatin1String(name),
                path(QLatin1String(name)));
    }
    ~X11Session()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    Q_DISABLE_COPY_MOVE(X11Session)

    bool isOpen() const { return !qEnvironmentVariableIsEmpty("DISPLAY"); }
    QString programDirectory() const { return m_directory.path(); }
    QString path(const QString &name) const { return m_directory.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Starts the program copy (or the program at programPath, to run a second copy from
    // another session's directory); true once its window is mapped within timeoutMs.
    bool start(const QStringList &arguments, const QString &programPath = {}, int timeoutMs = 10000)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(
            programPath.isEmpty() ? path(QStringLiteral("quorvin")) : programPath, arguments);
        for (QDeadlineTimer deadline(timeoutMs);
             isOpen() && m_process.waitForStarted(5000) && !m_window && !deadline.hasExpired();
             QThread::msleep(20))
            m_window = visibleWindows().value(0);
        return m_window != 0;
    }
    QProcess &process() { return m_process; }
    qint64 processId() const { return m_process.processId(); }

    unsigned long window() const { return m_window; } // the main window
    QList<unsigned long> visibleWindows() const; // the program's mapped top-level windows
    QRect windowGeometry(unsigned long window = 0) const; // on the root; 0: the main window
    QString windowName(unsigned long window = 0) const;
    // Types keys into a window (0: the main window), xdotool's names separated by blanks; the
    // window is given the focus first unless it has it.
    void key(const QString &keys, unsigned long window = 0) const
    {
        const QString id = QString::number(window ? window : m_window);
        if (xdotool({ QStringLiteral("getwindowfocus") }) != id)
            xdotool({ QStringLiteral("windowfocus"), QStringLiteral("--sync"), id });
        xdotool(QStringList { QStringLiteral("key"), QStringLiteral("--window"), id }
            + keys.split(u' '));
    }
    void requestClose() const; // WM_DELETE_WINDOW, as the close button does
    bool waitForExit(int timeoutMs = 10000) { return m_process.waitForFinished(timeoutMs); }

private:
    // What xdotool prints for these arguments.
    static QString xdotool(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("xdotool"), arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QTemporaryDir m_directory;
    QProcess m_process;
    unsigned long m_window = 0;
};
