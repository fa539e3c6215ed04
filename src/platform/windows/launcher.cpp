#include "platform/launcher.h"

#include <QLoggingCategory>

#include <windows.h>

#include <string>

Q_LOGGING_CATEGORY(lcLauncher, "quorvin.platform.launcher")

namespace platform {

// Windows starts a command line as it stands, so the plan only names its parts: the program is
// the first word, the argument the rest of the line. Nothing is mapped.
std::optional<LaunchPlan> planLaunch(const QString &commandLine, const QString &)
{
    const qsizetype blank = commandLine.indexOf(QLatin1Char(' '));
    const QString program = blank < 0 ? commandLine : commandLine.left(blank);
    if (program.isEmpty())
        return std::nullopt;
    LaunchPlan plan { program, {} };
    if (blank >= 0)
        plan.arguments << commandLine.mid(blank + 1);
    return plan;
}

// CreateProcess with the whole line: the system finds the program (beside Quorvin first, then
// in the system folders and on the search path) and hands it the rest of the line untouched.
bool launchCommandLine(
    const QString &commandLine, WindowStyle style, const QString &, QString *failure)
{
    const auto fail = [failure](const QString &why) {
        if (failure)
            *failure = why;
        return false;
    };
    const std::optional<LaunchPlan> plan = planLaunch(commandLine, QString());
    if (!plan) {
        qCWarning(lcLauncher) << "nothing to start in" << commandLine;
        return fail(QStringLiteral("There is nothing to open."));
    }
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = WORD(style); // Normal is SW_SHOWNORMAL
    PROCESS_INFORMATION process {};
    std::wstring line = commandLine.toStdWString(); // CreateProcessW may write into it
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
            &startup, &process)) {
        const DWORD error = ::GetLastError();
        qCWarning(lcLauncher) << "could not start" << commandLine << "error" << error;
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return fail(QStringLiteral("There is no program to open it (%1 is not installed).")
                            .arg(plan->program));
        return fail(QStringLiteral("The program %1 could not be started.").arg(plan->program));
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

} // namespace platform
