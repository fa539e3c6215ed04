#pragma once

#include "platform/services.h"

#include <QList>
#include <QString>

// The platform double for tests: dialogs answer from a script, everything said to the outside
// (message boxes, clipboard, started programs, sounds, ends) is recorded. Files stay real.
class RecordingServices final : public platform::Services
{
public:
    explicit RecordingServices(QString programDirectory, QString argumentString = {})
        : m_programDirectory(std::move(programDirectory))
        , m_argumentString(std::move(argumentString))
    { }

    // Scripted answers, taken in order; an empty script answers "cancelled".
    QList<std::optional<QString>> openAnswers;
    QList<std::optional<platform::Colour>> colourAnswers;
    QList<std::optional<QString>> saveAnswers;
    QStringList saveSuggestions; // the path each save dialog suggested
    bool startSucceeds = true;
    QString startFailureText; // what startFailure() says after a start that failed
    bool anotherCopy = false;

    int openRequests = 0;
    QStringList messages; // each box as "title: text"
    QStringList sounds;
    QStringList startedCommandLines;
    int clipboardClears = 0;
    QStringList clipboardTexts; // every text put on the clipboard, in order
    int endRequests = 0;

    // Called while a dialog or message box is "open", e.g. to check what the window shows then.
    std::function<void()> whileModal;

    std::optional<QString> openFileName(
        QWidget *, const QString &, const QList<platform::FileFilter> &) override
    {
        ++openRequests;
        return modal(openAnswers);
    }
    std::optional<QString> saveFileName(QWidget *, const QString &, const QString &path) override
    {
        return saveSuggestions.append(path), modal(saveAnswers);
    }
    std::optional<platform::Colour> chooseColour(QWidget *) override
    {
        return modal(colourAnswers);
    }
    void criticalMessage(QWidget *, const QString &title, const QString &text) override
    {
        messages.append(title + QStringLiteral(": ") + text);
        if (whileModal)
            whileModal();
    }
    void playSoundSync(const QString &path) override { sounds.append(path); }
    void clearClipboard() override { ++clipboardClears; }
    void setClipboardText(const QString &text) override { clipboardTexts.append(text); }
    bool startProgram(const QString &commandLine, platform::WindowStyle) override
    {
        return startedCommandLines.append(commandLine), startSucceeds;
    }
    QString startFailure() const override { return startFailureText; }
    QString programDirectory() const override { return m_programDirectory; }
    QString argumentString() const override { return m_argumentString; }
    bool anotherCopyRunning() const override { return anotherCopy; }
    void endProgram() override { ++endRequests; }

    QString m_programDirectory;
    QString m_argumentString;

private:
    // Runs whileModal as the dialog is open, then takes the script's next answer.
    template<typename T> std::optional<T> modal(QList<std::optional<T>> &script)
    {
        if (whileModal)
            whileModal();
        return script.isEmpty() ? std::nullopt : script.takeFirst();
    }
};
