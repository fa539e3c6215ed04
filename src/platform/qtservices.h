#pragma once

#include "platform/runlock.h"
#include "platform/services.h"

namespace platform {

// The real platform layer: Qt's dialogs and clipboard, and the system's own sound, program
// starting, process facts and run lock (Linux: libsndfile with PulseAudio, QProcess, a lock
// file; Windows: PlaySound, CreateProcess, GetModuleFileName and the command line, a mutex).
// Construct it after QApplication, passing the process's own argv, of which Qt was given
// nothing but the program's name, so that the argument string holds every word on Linux.
class QtServices final : public Services
{
public:
    QtServices(int argc, char **argv);
    ~QtServices() override;
    Q_DISABLE_COPY_MOVE(QtServices)

    std::optional<QString> openFileName(
        QWidget *owner, const QString &title, const QList<FileFilter> &filters) override;
    std::optional<QString> saveFileName(
        QWidget *owner, const QString &title, const QString &suggestedPath) override;
    std::optional<Colour> chooseColour(QWidget *owner) override;
    void criticalMessage(QWidget *owner, const QString &title, const QString &text) override;
    void playSoundSync(const QString &path) override;
    void clearClipboard() override;
    void setClipboardText(const QString &text) override;
    bool startProgram(const QString &commandLine, WindowStyle style) override;
    QString startFailure() const override;
    QString programDirectory() const override;
    QString argumentString() const override;
    bool anotherCopyRunning() const override;
    void endProgram() override;

private:
    QString m_programDirectory;
    QString m_argumentString;
    QString m_startFailure;
    RunLock m_lock;
};

// The pattern the open-file dialog applies for a filter's pattern: "*.*" lists every file on
// Windows, and outside Windows the same caption stands for "*", since there "*.*" needs a dot.
QString dialogPattern(const QString &pattern);

// The argument string of a command line: argv[1..] joined by single blanks.
QString argumentStringFrom(int argc, char **argv);

} // namespace platform
