#include "recordingservices.h"

RecordingServices::RecordingServices(QString programDirectory, QString argumentString)
    : m_programDirectory(std::move(programDirectory))
    , m_argumentString(std::move(argumentString))
{ }

std::optional<QString> RecordingServices::openFileName(
    QWidget *, const QString &title, const QList<platform::FileFilter> &filters)
{
    openRequests.append({ title, filters });
    if (whileModal)
        whileModal();
    if (openAnswers.empty())
        return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<platform::Colour> RecordingServices::chooseColour(QWidget *)
{
    ++colourRequests;
    if (whileModal)
        whileModal();
    if (colourAnswers.empty())
        return std::nullopt;
    auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
}

void RecordingServices::criticalMessage(QWidget *, const QString &title, const QString &text)
{
    messages.append({ title, text });
    if (whileModal)
        whileModal();
}

void RecordingServices::playSoundSync(const QString &path)
{
    sounds.append(path);
    if (whilePlaying)
        whilePlaying(path);
}

void RecordingServices::clearClipboard()
{
    ++clipboardClears;
}

void RecordingServices::setClipboardText(const QString &text)
{
    clipboardTexts.append(text);
}

bool RecordingServices::startProgram(const QString &commandLine, platform::WindowStyle style)
{
    startedCommandLines.append(commandLine);
    startedStyles.append(style);
    return startSucceeds;
}

QString RecordingServices::programDirectory() const
{
    return m_programDirectory;
}

QString RecordingServices::argumentString() const
{
    return m_argumentString;
}

bool RecordingServices::anotherCopyRunning() const
{
    return anotherCopy;
}

void RecordingServices::endProgram()
{
    ++endRequests;
}
