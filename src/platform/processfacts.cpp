#include "platform/processfacts.h"

namespace platform {

QString argumentStringFromCommandLine(const QString &commandLine)
{
    const auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
    };
    qsizetype at = 0;
    if (commandLine.startsWith(QLatin1Char('"'))) {
        at = commandLine.indexOf(QLatin1Char('"'), 1);
        at = at < 0 ? commandLine.size() : at + 1;
    } else {
        while (at < commandLine.size() && !blank(commandLine[at]))
            ++at;
    }
    while (at < commandLine.size() && blank(commandLine[at]))
        ++at;
    return commandLine.mid(at);
}

} // namespace platform
