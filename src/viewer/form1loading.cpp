// The main window's three ways of loading a file (the Open command, a drop and the command
// line), the common load sequence, and the type sizing that gives the window its NFO or DIZ
// size.

#include "viewer/form1.h"

#include "platform/droptarget.h"
#include "platform/hourglass.h"
#include "settings/conversions.h"
#include "settings/settingserror.h"
#include "textarea/oemtextarea.h"
#include "viewer/layout.h"
#include "viewer/links.h"
#include "viewer/utf8reading.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcViewer)

namespace viewer {

namespace {

const QString ErrorTitle = QStringLiteral("Quorvin error");
const QByteArray BadFileText = QByteArrayLiteral("--> bad file <--");

// Events are let run at the load's fixed points, but at most once a frame (60 per second): a
// fixed point that comes sooner takes the fast path and returns at once. A load of 64000 bytes
// has up to 64000 fixed points, and asking the window system each time would cost more than the
// whole load; drawing the window more often than the screen shows it would too.

// A caption as Qt's window title: Qt reads "[*]" as the place of its modified mark and shows a
// doubled "[*][*]" as one "[*]", so each one in a file's name is doubled to be shown as it is.
QString literalTitle(QString caption)
{
    return caption.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

} // namespace

void Form1::open_Click()
{
    request({ Entry::Open, {} });
}

void Form1::FMDrop1_DropFiles()
{
    const QStringList dropped = FMDrop1->droppedFiles();
    if (dropped.isEmpty())
        return;
    request({ Entry::Drop, dropped.first() });
}

void Form1::request(PendingLoad load)
{
    if (m_unloaded)
        return;
    if (m_loading) {
        m_pending = std::move(load); // runs when the current load has ended; the latest wins
        return;
    }
    runLoad(load);
    while (m_pending && !m_unloaded) {
        const PendingLoad next = *std::exchange(m_pending, std::nullopt);
        runLoad(next);
    }
}

void Form1::runLoad(const PendingLoad &load)
{
    m_loading = true;
    if (load.entry == Entry::Open)
        openLoad();
    else
        loadFile(load.entry, load.path);
    m_loading = false;
}

void Form1::openLoad()
{
    const QList<platform::FileFilter> filters
        = { { QStringLiteral("NFO Files (*.nfo)"), QStringLiteral("*.nfo") },
              { QStringLiteral("Diz Files (*.diz)"), QStringLiteral("*.diz") },
              { QStringLiteral("All Files (*.*)"), QStringLiteral("*.*") } };
    const std::optional<QString> chosen
        = m_services.openFileName(this, QStringLiteral("Open file"), filters);
    if (!chosen || chosen->trimmed().isEmpty() || m_unloaded)
        return;
    loadFile(Entry::Open, chosen->trimmed());
}

bool Form1::pumpEvents()
{
    if (m_unloaded)
        return false;
    if (!m_sincePump.isValid() || m_sincePump.nsecsElapsed() >= s_pumpIntervalNs) {
        QCoreApplication::processEvents();
        m_sincePump.start();
    }
    return !m_unloaded;
}

void Form1::setBusy(bool busy)
{
    // The busy pointer is the main window's alone: the window and the text area, whose own
    // pointer it stands in for while the load runs. Other windows, such as a message box that
    // a load shows, keep their normal pointer.
    if (busy == m_busy)
        return;
    m_busy = busy;
    QWidget *textView = Text1->viewport();
    if (busy) {
        m_textCursor = textView->cursor();
        setCursor(platform::hourglassCursor());
        textView->setCursor(platform::hourglassCursor());
    } else {
        setCursor(Qt::ArrowCursor);
        textView->setCursor(m_textCursor);
    }
}

void Form1::loadFile(Entry entry, const QString &path)
{
    const EventPump pump = [this] {
        return pumpEvents();
    };
    // The first fixed point of a load lets events run at once, unless the load shows the window
    // (below).
    m_sincePump.invalidate();
    try {
        switch (entry) {
        case Entry::Open:
            Text1->setText({});
            if (!pump())
                throw LoadAborted();
            setBusy(true);
            break;
        case Entry::Drop:
            setBusy(true);
            Text1->setText({});
            break;
        case Entry::CommandLine:
            setBusy(true);
            break;
        }

        setWindowTitle(literalTitle(captionFor(path)));
        setShownFile(std::nullopt);
        m_shownPath = path;

        if (fileLength(path) > MaxFileBytes) {
            m_services.criticalMessage(
                isVisible() ? this : nullptr, ErrorTitle, QStringLiteral("File size too large"));
            setBusy(false);
            return;
        }
        if (entry == Entry::Drop && !pump())
            throw LoadAborted();

        if (!isVisible()) {
            show();
            // A window just shown is drawn whole once its first frame is due, with whatever
            // the load has read by then: drawing it at once, empty, would be replaced before
            // the screen could show it.
            m_sincePump.start();
        }

        m_utf8 = fileReadsAsUtf8(path);
        const ReadMode mode = probeLineBreaks(path, pump);
        if (mode == ReadMode::Direct) {
            setShownFile(directRead(path));
        } else {
            // A UTF-8 text is converted piece by piece as it grows, up to a character's edge.
            Utf8Text soFar;
            qsizetype converted = 0;
            const auto showSoFar = [&](const QByteArray &text) {
                if (!m_utf8) {
                    Text1->setText(text);
                    return;
                }
                const qsizetype whole = completeUtf8Length(text);
                appendUtf8Text(soFar, QByteArrayView(text).sliced(converted, whole - converted),
                    converted == 0);
                converted = whole;
                Text1->setText(soFar.glyphs, soFar.characters);
            };
            setShownFile(convertingRead(path, showSoFar, pump));
        }
        setBusy(false);

        if (entry != Entry::CommandLine) {
            for (auto [value, fallback] :
                { std::pair { &m_state.NfoWidthAtStart, "10000" },
                    std::pair { &m_state.WinTop, "2220" }, std::pair { &m_state.NfoWidth, "10000" },
                    std::pair { &m_state.DizHeight, "3000" },
                    std::pair { &m_state.DizWidth, "6000" } }) {
                if (value->isEmpty())
                    *value = QLatin1String(fallback);
            }
        }

        switch (entry) {
        case Entry::Open:
            sizeForType(entry, openFileType(path));
            break;
        case Entry::Drop:
            sizeForType(entry, dropFileType(path));
            break;
        case Entry::CommandLine:
            sizeForType(entry, commandLineFileType(path));
            break;
        }

        if (entry != Entry::CommandLine)
            show();
    } catch (const LoadAborted &) {
        // The window is closing: it has written the settings; leave it alone.
        setBusy(false);
    } catch (const LoadError &error) {
        qCInfo(lcViewer) << "load failed:" << path << error.what();
        showFailure();
    } catch (const settings::SettingsError &error) {
        qCInfo(lcViewer) << "load failed:" << path << error.what();
        showFailure();
    }
}

void Form1::showText(const QByteArray &text)
{
    if (!m_utf8) {
        Text1->setText(text);
        return;
    }
    const Utf8Text shown = utf8Text(text);
    Text1->setText(shown.glyphs, shown.characters);
}

void Form1::setShownFile(std::optional<QByteArray> bytes)
{
    m_shownBytes = std::move(bytes);
    QAction *item = action("readAsUtf8");
    item->setEnabled(m_shownBytes.has_value());
    item->setChecked(m_shownBytes && m_utf8);
    if (m_shownBytes) {
        showText(*m_shownBytes);
        Text1->setLinks(findLinks(Text1->text()));
    }
}

void Form1::readAsUtf8_Click()
{
    if (!m_shownBytes || m_loading)
        return;
    m_utf8 = !m_utf8;
    setShownFile(std::exchange(m_shownBytes, std::nullopt));
}

void Form1::sizeForType(Entry entry, FileType type)
{
    if (type == FileType::Diz) {
        m_state.DizSized = true;
        m_state.DizMode = true;
        if (windowStateValue() != Normal)
            setWindowStateValue(Normal);
        setHeightTwips(settings::toTwips(m_state.DizHeight));
        setWidthTwips(settings::toTwips(m_state.DizWidth));
        return;
    }
    if (type == FileType::Other)
        return;

    m_state.DizMode = false;
    const bool normal = windowStateValue() == Normal;
    switch (entry) {
    case Entry::Open:
        if (normal && m_state.DizSized)
            applyNfoSize(true);
        m_state.DizSized = false;
        break;
    case Entry::Drop:
        m_state.DizSized = false;
        if (normal)
            applyNfoSize(true);
        break;
    case Entry::CommandLine:
        m_state.DizSized = false;
        if (normal)
            applyNfoSize(false);
        break;
    }
}

void Form1::applyNfoSize(bool finalWidthAtStart)
{
    // Each step is recorded as NFO geometry by the resize handler, so the height is taken
    // before the first step can replace it.
    const float height = settings::toTwips(m_state.NfoHeight);
    setHeightTwips(height);
    setWidthTwips(settings::toTwips(m_state.NfoWidth));
    if (finalWidthAtStart)
        setWidthTwips(settings::toTwips(m_state.NfoWidthAtStart));
}

} // namespace viewer
