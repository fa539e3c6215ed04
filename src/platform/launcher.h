#pragma once

#include "platform/services.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// What one command line starts: a program (a bare name to look up on the search path, or a
// path) and its arguments, handed to the process untouched.
struct LaunchPlan
{
    QString program;
    QStringList arguments;

    friend bool operator==(const LaunchPlan &, const LaunchPlan &) = default;
};

// Splits a command line once, at its first blank, into a program and one argument: the rest of
// the line, blanks kept and nothing unquoted (no blank: no argument). Outside Windows the two
// program names the viewer uses are mapped to what the desktop offers, in any letter case:
// "webdial.exe" is the webdial companion in programDirectory, "notepad.exe" the system opener
// (xdg-open) with the file. Every other name stays as given; on Windows every name does. Returns
// nothing when the line names no program, or (outside Windows) names "notepad.exe" without a
// file.
std::optional<LaunchPlan> planLaunch(const QString &commandLine, const QString &programDirectory);

// Starts a program from one command line without waiting for it, as planLaunch maps it; on
// Windows the line itself is started (CreateProcess), with the window style.
// Normal is the only window style; a Linux desktop shows a started program's window normally.
// Returns false when the program could not be found or started, and then says why in failure
// (when given), in the user's words: "There is no program to open it (xdg-open is not
// installed)."
bool launchCommandLine(const QString &commandLine, WindowStyle style,
    const QString &programDirectory, QString *failure = nullptr);

} // namespace platform
