#include "platform/qtservices.h"

#include "platform/launcher.h"
#include "platform/processfacts.h"
#include "platform/sound.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCryptographicHash>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace platform {

QString argumentStringFrom(int argc, char **argv)
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    return words.join(QLatin1Char(' '));
}

QString dialogPattern(const QString &pattern)
{
#ifdef Q_OS_WIN
    return pattern;
#else
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
#endif
}

static QString lockPathFor(const QString &programDirectory)
{
    // One lock per program directory: copies started from the same folder share the settings
    // files, copies from different folders do not.
    const QByteArray key
        = QCryptographicHash::hash(programDirectory.toUtf8(), QCryptographicHash::Sha1)
              .toHex()
              .left(16);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QLatin1String("/quorvin-") + QString::fromLatin1(key) + QLatin1String(".lock");
}

QtServices::QtServices(int argc, char **argv)
    : m_programDirectory(programDirectoryOfProcess())
    , m_argumentString(argumentStringOfProcess(argc, argv))
    , m_lock(lockPathFor(m_programDirectory))
{ }

QtServices::~QtServices() = default;

std::optional<QString> QtServices::openFileName(
    QWidget *owner, const QString &title, const QList<FileFilter> &filters)
{
    // Qt's own dialog, so that the patterns match names in any letter case on every desktop.
    QFileDialog dialog(owner, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name that does not exist is accepted
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Each entry is its description followed by the patterns that the dialog applies, which
    // it does not show: the list reads exactly as the descriptions, while "*.*", which asks
    // for every file on Windows, is "*" here, where "*.*" would hide every name without a dot.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList nameFilters;
    for (const FileFilter &filter : filters)
        nameFilters << filter.description + QLatin1String(" (") + dialogPattern(filter.pattern)
                + QLatin1Char(')');
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.first());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<QString> QtServices::saveFileName(
    QWidget *owner, const QString &title, const QString &suggestedPath)
{
    QFileDialog dialog(owner, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog); // as the open-file dialog
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PNG Images (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<Colour> QtServices::chooseColour(QWidget *owner)
{
    // Each opening starts from 16 black custom colours and black, colour 0, as the current
    // colour: the dialog is given no other colour to start from.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::black));
    QColorDialog dialog(QColor(Qt::black), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid())
        return std::nullopt;
    return Colour(chosen.red()) | Colour(chosen.green()) << 8 | Colour(chosen.blue()) << 16;
}

void QtServices::criticalMessage(QWidget *owner, const QString &title, const QString &text)
{
    QMessageBox::critical(owner, title, text, QMessageBox::Ok);
}

void QtServices::playSoundSync(const QString &path)
{
    playWavSync(path);
}

void QtServices::clearClipboard()
{
    QGuiApplication::clipboard()->clear();
}

void QtServices::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtServices::startProgram(const QString &commandLine, WindowStyle style)
{
    m_startFailure.clear();
    return launchCommandLine(commandLine, style, m_programDirectory, &m_startFailure);
}

QString QtServices::startFailure() const
{
    return m_startFailure;
}

QString QtServices::programDirectory() const
{
    return m_programDirectory;
}

QString QtServices::argumentString() const
{
    return m_argumentString;
}

bool QtServices::anotherCopyRunning() const
{
    return m_lock.heldByAnother();
}

void QtServices::endProgram()
{
    // Queued, so that it works before the event loop runs too (a refusal during start-up).
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace platform
