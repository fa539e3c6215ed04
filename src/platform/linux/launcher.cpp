#include "platform/launcher.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcLauncher, "quorvin.platform.launcher")

namespace platform {

namespace {

const QString WebdialName = QStringLiteral("webdial.exe");
const QString NotepadName = QStringLiteral("notepad.exe");

// A file beside the program: the program directory, one separator, the name. The root keeps
// its own separator, so no doubled one appears.
QString besideProgram(const QString &programDirectory, const QString &name)
{
    if (programDirectory.endsWith(QLatin1Char('/')))
        return programDirectory + name;
    return programDirectory + QLatin1Char('/') + name;
}

} // namespace

std::optional<LaunchPlan> planLaunch(const QString &commandLine, const QString &programDirectory)
{
    const qsizetype blank = commandLine.indexOf(QLatin1Char(' '));
    const QString program = blank < 0 ? commandLine : commandLine.left(blank);
    if (program.isEmpty())
        return std::nullopt;
    QStringList arguments;
    if (blank >= 0)
        arguments << commandLine.mid(blank + 1);

    if (program.compare(WebdialName, Qt::CaseInsensitive) == 0)
        return LaunchPlan { besideProgram(programDirectory, QStringLiteral("webdial")), arguments };
    if (program.compare(NotepadName, Qt::CaseInsensitive) == 0) {
        // The opener needs a file; an empty argument would make it print its usage and fail.
        if (arguments.isEmpty() || arguments.constFirst().isEmpty())
            return std::nullopt;
        return LaunchPlan { QStringLiteral("xdg-open"), arguments };
    }
    return LaunchPlan { program, arguments };
}

bool launchCommandLine(const QString &commandLine, WindowStyle style,
    const QString &programDirectory, QString *failure)
{
    // Normal, the only style, is how every desktop shows a newly started program.
    Q_UNUSED(style);
    const auto fail = [failure](const QString &why) {
        if (failure)
            *failure = why;
        return false;
    };
    const std::optional<LaunchPlan> plan = planLaunch(commandLine, programDirectory);
    if (!plan) {
        qCWarning(lcLauncher) << "nothing to start in" << commandLine;
        return fail(QStringLiteral("There is nothing to open."));
    }

    // A bare name is looked up on the search path now, so that a missing program is reported
    // as such; a path is taken as it is and startDetached reports whether it could run.
    QString executable = plan->program;
    if (!executable.contains(QLatin1Char('/'))) {
        executable = QStandardPaths::findExecutable(executable);
        if (executable.isEmpty()) {
            qCWarning(lcLauncher) << "program not found:" << plan->program;
            return fail(QStringLiteral("There is no program to open it (%1 is not installed).")
                            .arg(plan->program));
        }
    } else if (!QFileInfo(executable).isFile()) {
        qCWarning(lcLauncher) << "program not found:" << executable;
        return fail(QStringLiteral("The program that opens it is missing:\r\n%1").arg(executable));
    }
    if (!QProcess::startDetached(executable, plan->arguments)) {
        qCWarning(lcLauncher) << "could not start" << executable;
        return fail(QStringLiteral("The program %1 could not be started.").arg(executable));
    }
    return true;
}

} // namespace platform
