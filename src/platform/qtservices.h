#pragma once

#include "platform/runlock.h"
#include "platform/services.h"

namespace platform {

// The real platform layer: Qt's dialogs and clipboard, libsndfile with PulseAudio for sound,
// QProcess for starting programs, and a lock file that tells a second copy apart.
// Construct it after QApplication, passing the untouched argv so that the argument string is
// taken before Qt removes any of its own options.
class QtServices final : public Services
{
public:
    QtServices(int argc, char **argv);
    ~QtServices() override;
    Q_DISABLE_COPY_MOVE(QtServices)

    std::optional<QString> openFileName(
        QWidget *owner, const QString &title, const QList<FileFilter> &filters) override;
    std::optional<Colour> chooseColour(QWidget *owner) override;
    void criticalMessage(QWidget *owner, const QString &title, const QString &text) override;
    void playSoundSync(const QString &path) override;
    void clearClipboard() override;
    void setClipboardText(const QString &text) override;
    bool startProgram(const QString &commandLine, WindowStyle style) override;
    QString programDirectory() const override;
    QString argumentString() const override;
    bool anotherCopyRunning() const override;
    void endProgram() override;

private:
    QString m_programDirectory;
    QString m_argumentString;
    RunLock m_lock;
};

// The argument string of a command line: argv[1..] joined by single blanks.
QString argumentStringFrom(int argc, char **argv);

} // namespace platform
