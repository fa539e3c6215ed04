#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace platform {

// One entry of the open-file dialog's filter list: the text the user sees and the patterns
// that select names, matched without regard to letter case.
struct FileFilter
{
    QString description; // "NFO Files (*.nfo)"
    QString pattern; // "*.nfo"
};

// The window style a started program is shown with. Normal is an activated, restored window.
enum class WindowStyle { Normal = 1 };

// Colour as the system stores it: 0x00BBGGRR, red in the low byte.
using Colour = quint32;

// Every facility from outside the program's own logic goes through this small interface, so
// the windows can be driven in tests by a recording double. QtServices is the real one.
class Services
{
public:
    virtual ~Services() = default;

    // Modal open-file dialog. Returns the chosen path (a typed name that does not exist is
    // accepted), or nothing when the user cancels or closes it. The first filter is selected.
    virtual std::optional<QString> openFileName(
        QWidget *owner, const QString &title, const QList<FileFilter> &filters)
        = 0;

    // Modal save-file dialog for a PNG picture, opening on a suggested path. Returns the chosen
    // path (".png" added when the name has no extension), or nothing on cancel.
    virtual std::optional<QString> saveFileName(
        QWidget *owner, const QString &title, const QString &suggestedPath)
        = 0;

    // Modal colour dialog that opens with 16 black custom colours and black preselected.
    // Returns the confirmed colour, or nothing on cancel or when the dialog cannot open.
    virtual std::optional<Colour> chooseColour(QWidget *owner) = 0;

    // Modal message box with the critical icon and a single OK button.
    virtual void criticalMessage(QWidget *owner, const QString &title, const QString &text) = 0;

    // Plays a WAV file and returns when it has ended. Returns at once when the file cannot be
    // played or no sound output exists.
    virtual void playSoundSync(const QString &path) = 0;

    // The clipboard: empty it; put plain text on it.
    virtual void clearClipboard() = 0;
    virtual void setClipboardText(const QString &text) = 0;

    // Starts a program from one command line without waiting for it. The line is split at its
    // first blank into the program and one argument. Returns false when it could not start;
    // startFailure() then says why in the user's words (for example that no program to open
    // the file is installed), or is empty when nothing more is known.
    virtual bool startProgram(const QString &commandLine, WindowStyle style) = 0;
    virtual QString startFailure() const = 0;

    // Process facts, fixed for the run.
    virtual QString programDirectory() const = 0; // native separators, no trailing one but "/"
    virtual QString argumentString() const = 0; // the words after the program's name
    virtual bool anotherCopyRunning() const = 0; // another copy held the lock at start

    // Ends the program as soon as control returns to the event loop; nothing is written.
    virtual void endProgram() = 0;
};

} // namespace platform
