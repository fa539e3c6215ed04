#pragma once

#include <QString>

namespace platform {

// Facts about the running program that the system gives, read once at start.

// The folder that holds the running program file: native separators, no trailing one except
// at the root of the file system ("/" on Linux, "C:\" on Windows).
QString programDirectoryOfProcess();

// The command-line argument string. On Linux the shell has already split and unquoted the
// words, so it is argv[1..] joined by single blanks (Qt must have been given nothing but the
// program's name). On Windows it is the raw command line after the program's name, as the
// system hands it over: see argumentStringFromCommandLine.
QString argumentStringOfProcess(int argc, char **argv);

// The argument string of a Windows command line: what follows the program's name (the first
// word, or the text between the first two quotes when the line starts with one) and the blanks
// after it, taken whole: no quote is removed, no blank trimmed at its end.
QString argumentStringFromCommandLine(const QString &commandLine);

} // namespace platform
