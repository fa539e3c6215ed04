// webdial: the companion that Quorvin starts to open its author's web page, to begin an
// e-mail to the author, or to open a link of the text shown. It takes exactly one argument, a
// mark and an address:
//   $http://..., $https://... or $ftp://...   opens the web address
//   >mailto:name@host             opens the mail address
// and hands the checked address to the system's opener (xdg-open on Linux, ShellExecute on
// Windows) without waiting for it. Anything else is refused with a message and opens nothing,
// so the program cannot be used to open files or script addresses.
//
// Exit codes: 0 the opener was started, 2 the argument was refused, 3 the opener could not be
// started. An address refused and an opener that could not be started are the user's to see:
// besides stderr, they are shown in a "Quorvin error" message box wherever there is a screen
// to show it on.

#include "platform/addressopener.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextStream>
#include <QUrl>

#include <optional>

namespace {

constexpr int ExitStarted = 0;
constexpr int ExitRefused = 2;
constexpr int ExitNoOpener = 3;

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int refuse(const QString &why)
{
    err() << "webdial: " << why << Qt::endl
          << "usage: webdial '$https://host/path' | webdial '>mailto:name@host'" << Qt::endl;
    return ExitRefused;
}

// Blanks and control characters have no place in an address; StrictMode refuses most of them,
// this makes sure of all of them, Unicode ones included.
bool hasBlankOrControl(const QString &text)
{
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control
            || c.category() == QChar::Other_Format)
            return true;
    }
    return false;
}

// The address after the mark, checked for its use; nothing when it does not pass.
std::optional<QUrl> checkedAddress(QChar mark, const QString &address, QString *why)
{
    if (address.isEmpty()) {
        *why = QStringLiteral("the address is empty");
        return std::nullopt;
    }
    if (hasBlankOrControl(address)) {
        *why = QStringLiteral("the address holds a blank or a control character");
        return std::nullopt;
    }
    // A web address taken from a text may hold characters that an address carries
    // percent-encoded (| { } ^ \ and a % without two hex digits after it): they are encoded, as a
    // browser does. The scheme and the host are checked all the same.
    const QUrl url(address, mark == QLatin1Char('$') ? QUrl::TolerantMode : QUrl::StrictMode);
    if (!url.isValid()) {
        *why = QStringLiteral("not a valid address: ") + url.errorString();
        return std::nullopt;
    }
    const QString scheme = url.scheme();
    if (mark == QLatin1Char('$')) {
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")
            && scheme != QLatin1String("ftp")) {
            *why = QStringLiteral("a web address must start with http://, https:// or ftp://");
            return std::nullopt;
        }
        if (url.host().isEmpty()) {
            *why = QStringLiteral("the web address names no host");
            return std::nullopt;
        }
        return url;
    }
    if (scheme != QLatin1String("mailto")) {
        *why = QStringLiteral("a mail address must start with mailto:");
        return std::nullopt;
    }
    const QString recipient = url.path();
    if (!url.host().isEmpty() || recipient.isEmpty() || !recipient.contains(QLatin1Char('@'))
        || recipient.startsWith(QLatin1Char('@')) || recipient.endsWith(QLatin1Char('@'))) {
        *why = QStringLiteral("the mail address names no recipient of the form name@host");
        return std::nullopt;
    }
    return url;
}

// Whether a message box can be seen: a desktop session, not a headless platform.
bool screenAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return false;
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

// Checks the argument and starts the opener. On a refusal of the address or a failure to start
// the opener, failure says what could not be opened and why, in the user's words.
int dial(const QStringList &arguments, QString *failure)
{
    if (arguments.size() != 1)
        return refuse(
            QStringLiteral("expected exactly one argument, got %1").arg(arguments.size()));

    const QString argument = arguments.constFirst();
    const QChar mark = argument.isEmpty() ? QChar() : argument.front();
    if (mark != QLatin1Char('$') && mark != QLatin1Char('>'))
        return refuse(QStringLiteral("the argument must start with $ (web page) or > (e-mail)"));

    QString why;
    const std::optional<QUrl> url = checkedAddress(mark, argument.mid(1), &why);
    if (!url) {
        *failure = QStringLiteral("The address could not be opened:\r\n%1\r\n(%2)")
                       .arg(argument.mid(1), why);
        return refuse(why);
    }

    // The opener gets the address in its encoded form, exactly the text that was checked.
    const QString encoded = url->toString(QUrl::FullyEncoded);
    if (!platform::openAddress(encoded, &why)) {
        err() << "webdial: could not open " << encoded << ": " << why << Qt::endl;
        *failure
            = (mark == QLatin1Char('$')
                      ? QStringLiteral("The web page could not be opened:\r\n%1")
                            .arg(url->toDisplayString())
                      : QStringLiteral("No e-mail could be started to:\r\n%1").arg(url->path()))
            + QStringLiteral("\r\n") + why;
        return ExitNoOpener;
    }
    return ExitStarted;
}

} // namespace

int main(int argc, char *argv[])
{
    QString failure;
    int exitCode = ExitStarted;
    {
        const QCoreApplication app(argc, argv);
        exitCode = dial(QCoreApplication::arguments().mid(1), &failure);
    }
    if (!failure.isEmpty() && screenAvailable()) {
        const QApplication app(argc, argv);
        QMessageBox::critical(nullptr, QStringLiteral("Quorvin error"), failure, QMessageBox::Ok);
    }
    return exitCode;
}
