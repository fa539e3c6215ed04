#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <stdexcept>

namespace viewer {

// The largest file a load accepts; one byte more is refused.
inline constexpr qint64 MaxFileBytes = 64000;
// The converting read shows the text so far every this many bytes read.
inline constexpr int ProgressPeriod = 500;

// A load failed: the file is missing, unreadable, not a regular file, or grew past
// MaxFileBytes while being read. The load's failure path catches it.
class LoadError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The window is closing under the load: stop at once without touching the window.
class LoadAborted : public std::exception
{ };

// Lets pending events run at one of the load's fixed points. Returns false when the load must
// stop (the window is closing); the reading functions then throw LoadAborted.
using EventPump = std::function<bool()>;

enum class ReadMode { Direct, Converting };

// The file's length as the file system reports it, before it is opened. Throws LoadError when
// the path names no regular file.
qint64 fileLength(const QString &path);

// Reads the file from the start, byte by byte, up to its first line break: a CR first means
// the direct read, an LF first or no break at all the converting read. After each byte that is
// neither, pump runs.
ReadMode probeLineBreaks(const QString &path, const EventPump &pump);

// Whether the file is read as UTF-8 (utf8reading.h), decided from the whole file before it is
// shown, so that a text shown while it is read never changes its reading.
bool fileReadsAsUtf8(const QString &path);

// The whole file as stored, less a final line break (CR LF, or a lone CR or LF) at its end.
QByteArray directRead(const QString &path);

// The file with each LF turned into CR LF and each CR dropped. Every ProgressPeriod bytes read
// (a dropped CR counts) it hands the text so far to showSoFar, then runs pump.
QByteArray convertingRead(const QString &path,
    const std::function<void(const QByteArray &)> &showSoFar, const EventPump &pump);

// The text a load shows for a file's whole bytes, without a window: the read that the first
// line break chooses, applied at once.
QByteArray shownText(const QByteArray &bytes);

// The caption for a path: the lower-cased text after the last separator, then " - Quorvin".
QString captionFor(const QString &path);

enum class FileType { Nfo, Diz, Other };

// The open command's type test: the last three characters, "NFO" or "DIZ" in any letter case.
FileType openFileType(const QString &path);
// The drop's type test: the last three characters compared exactly with "NFO" and "DIZ".
FileType dropFileType(const QString &path);
// The command line's type test: ".DIZ" in any letter case is a DIZ file, all else NFO.
FileType commandLineFileType(const QString &argument);

} // namespace viewer
