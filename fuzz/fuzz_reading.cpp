// Writes arbitrary bytes to a file and reads it as a load would: the probe, then both reading
// modes. Checks each mode's exact output against the rule it implements and that files past
// the size limit are refused.
#include "expectedtext.h"
#include "viewer/filereading.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace viewer;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

using expected::converted;
using expected::withoutFinalBreak;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.nfo"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    const bool tooLarge = bytes.size() > MaxFileBytes;
    check(fileLength(path) == bytes.size());

    const qsizetype firstBreak = bytes.indexOf('\r') < 0 ? bytes.indexOf('\n')
        : bytes.indexOf('\n') < 0                        ? bytes.indexOf('\r')
                                  : qMin(bytes.indexOf('\r'), bytes.indexOf('\n'));
    try {
        qsizetype pumps = 0;
        const ReadMode mode = probeLineBreaks(path, [&pumps] { return ++pumps, true; });
        check(!tooLarge || firstBreak >= 0);
        check(pumps == (firstBreak < 0 ? bytes.size() : firstBreak));
        check((mode == ReadMode::Direct) == (firstBreak >= 0 && bytes[firstBreak] == '\r'));
    } catch (const LoadError &) {
        check(tooLarge && (firstBreak < 0 || firstBreak >= MaxFileBytes));
    }

    try {
        check(directRead(path) == withoutFinalBreak(bytes));
        check(!tooLarge);
    } catch (const LoadError &) {
        check(tooLarge);
    }

    try {
        qsizetype shows = 0;
        const QByteArray expected = converted(bytes);
        const QByteArray text = convertingRead(
            path,
            [&](const QByteArray &soFar) {
                ++shows;
                check(soFar == converted(bytes.left(shows * ProgressPeriod)));
            },
            [] { return true; });
        check(text == expected);
        check(shows == bytes.size() / ProgressPeriod);
        check(!tooLarge);
    } catch (const LoadError &) {
        check(tooLarge);
    }
    return 0;
}
