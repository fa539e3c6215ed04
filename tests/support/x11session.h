#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// Drives the built program as a real process on the X server named by DISPLAY: it runs from a
// temporary program directory holding a copy of the program and its companion files, and the
// test finds its window, reads its geometry and caption, and asks it to close as a window
// manager would.
class X11Session
{
public:
    X11Session();
    ~X11Session();
    Q_DISABLE_COPY_MOVE(X11Session)

    // False when there is no X server to talk to.
    bool isOpen() const;

    QString programDirectory() const;
    QString path(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

    // Starts the program copy with these arguments (or the program at programPath, to run a
    // second copy from another session's directory); returns once its window is mapped (or
    // after timeoutMs with false).
    bool start(
        const QStringList &arguments, const QString &programPath = {}, int timeoutMs = 10000);
    QProcess &process() { return m_process; }
    qint64 processId() const { return m_process.processId(); }

    unsigned long window() const { return m_window; }
    QRect windowGeometry() const; // the top-level window on the root, frame excluded
    QString windowName() const;
    void requestClose() const; // WM_DELETE_WINDOW, as the close button does
    bool waitForExit(int timeoutMs = 10000);

private:
    struct Display;
    std::unique_ptr<Display> m_display;
    QTemporaryDir m_directory;
    QProcess m_process;
    unsigned long m_window = 0;
};
