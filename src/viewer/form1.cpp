#include "viewer/form1.h"

#include "platform/droptarget.h"
#include "platform/programicon.h"
#include "settings/conversions.h"
#include "settings/fieldreader.h"
#include "settings/settingserror.h"
#include "settings/settingsfiles.h"
#include "textarea/oemtextarea.h"
#include "viewer/layout.h"
#include "viewer/program.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QScreen>

Q_LOGGING_CATEGORY(lcViewer, "quorvin.viewer")

namespace viewer {

namespace {

const QString ErrorTitle = QStringLiteral("Quorvin error");
const QByteArray BadFileText = QByteArrayLiteral("--> bad file <--");

QString storedText(const QByteArray &field)
{
    return QString::fromLatin1(field);
}

} // namespace

Form1::Form1(platform::Services &services, SharedState &state, Program &program)
    : m_services(services)
    , m_state(state)
    , m_program(program)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvin viewer"));
    setWindowIcon(QIcon(platform::programIcon()));

    // The drop target is created first and covers the whole window.
    FMDrop1 = new platform::DropTarget(this);
    connect(FMDrop1, &platform::DropTarget::DropFiles, this, &Form1::FMDrop1_DropFiles);

    auto *client = new QWidget(this);
    setCentralWidget(client);
    Text1 = new textarea::OemTextArea(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(0, twipsToPixels(Text1TopTwips), twipsToPixels(5715), twipsToPixels(3405));
    connect(Text1, &textarea::OemTextArea::keyDown, this, &Form1::Text1_KeyDown);
    connect(Text1, &textarea::OemTextArea::keyPress, this, &Form1::Text1_KeyPress);
    connect(Text1, &textarea::OemTextArea::doubleClicked, this, &Form1::Text1_DblClick);
    connect(Text1, &textarea::OemTextArea::copyRequested, this, &Form1::copy_Click);
    connect(Text1, &textarea::OemTextArea::zoomRequested, this, &Form1::Text1_Zoom);
    connect(Text1, &textarea::OemTextArea::linkActivated, this, &Form1::openLink);
    connect(Text1, &textarea::OemTextArea::linkCopyRequested, this, &Form1::copyLinkAddress);
    connect(Text1, &textarea::OemTextArea::saveImageRequested, this, &Form1::saveImage_Click);
    setFocusProxy(Text1);

    // The menu bar stays in the window, also where the desktop offers a global menu: its
    // height is part of the window's stored size. Not asking also spares start-up a call over
    // the session bus.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    createMenus();
    auto *readAsUtf8 = new QAction(QStringLiteral("Read as UTF-8"), this);
    readAsUtf8->setObjectName(QStringLiteral("readAsUtf8"));
    readAsUtf8->setCheckable(true);
    readAsUtf8->setEnabled(false);
    connect(readAsUtf8, &QAction::triggered, this, &Form1::readAsUtf8_Click);
    Text1->addMenuAction(readAsUtf8);

    // The design's client area, 5715 x 3495 twips below the menu bar.
    resize(twipsToPixels(5715), menuBarHeightFor(twipsToPixels(5715)) + twipsToPixels(3495));
}

void Form1::createNativeWindow()
{
    // The window system's window and its normal pointer are made before the window is shown,
    // while the window system is idle. Taking the pointer from the cursor theme asks the X
    // server several questions; asked when a load restores the pointer, each answer would wait
    // until the server had drawn the newly shown window. The window is made once it has its
    // place: a window moved after it was made is told of the move, and Qt then asks the server
    // for the window's frame before the window's first frame is drawn.
    winId();
    setCursor(Qt::ArrowCursor);
}

Form1::~Form1() = default;

// ---- Window metrics ------------------------------------------------------------------------

int Form1::menuBarHeightFor(int width) const
{
    // The height the main window's layout gives the menu bar at this width. Asked at every
    // resize and metric read, so the last answer is kept until the width or the style changes.
    if (width != m_menuBarWidth) {
        const int forWidth = menuBar()->heightForWidth(width);
        m_menuBarHeight = forWidth >= 0 ? forWidth : menuBar()->sizeHint().height();
        m_menuBarWidth = width;
    }
    return m_menuBarHeight;
}

int Form1::windowStateValue() const
{
    const Qt::WindowStates states = windowState();
    if (states & Qt::WindowMinimized)
        return Minimized;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return Maximized;
    return Normal;
}

void Form1::setWindowStateValue(int state)
{
    Qt::WindowStates states
        = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == Minimized)
        states |= Qt::WindowMinimized;
    else if (state == Maximized)
        states |= Qt::WindowMaximized;
    if (isVisible() && state == Normal)
        showNormal();
    else
        setWindowState(states);
    Form_Resize();
}

float Form1::leftTwips() const
{
    return pixelsToTwips(frameGeometry().x());
}

float Form1::topTwips() const
{
    return pixelsToTwips(frameGeometry().y());
}

float Form1::widthTwips() const
{
    return pixelsToTwips(width()) + FrameWidthTwips;
}

float Form1::heightTwips() const
{
    return pixelsToTwips(height() - menuBarHeightFor(width())) + FrameHeightTwips;
}

void Form1::setWidthTwips(float width)
{
    resize(clientWidthForTwips(width), height());
    Form_Resize();
}

void Form1::setHeightTwips(float height)
{
    resize(width(), menuBarHeightFor(width()) + clientHeightForTwips(height));
    Form_Resize();
}

void Form1::moveAndSizeTwips(float left, float top, float width, float height)
{
    const int clientWidth = clientWidthForTwips(width);
    const int clientHeight = clientHeightForTwips(height);
    QRect frame(twipsToPixels(left), twipsToPixels(top), clientWidth, clientHeight);
    // A stored position that would put the window wholly off every screen is brought onto the
    // primary screen, so the window can always be seen and reached.
    bool onScreen = false;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens)
        onScreen = onScreen || screen->geometry().intersects(frame.adjusted(0, 0, 1, 1));
    if (!onScreen && QGuiApplication::primaryScreen()) {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        frame.moveTopLeft(available.topLeft());
    }
    move(frame.topLeft());
    resize(clientWidth, menuBarHeightFor(clientWidth) + clientHeight);
    Form_Resize();
}

// ---- Start-up ------------------------------------------------------------------------------

void Form1::Form_Load()
{
    try {
        const QString directory = m_services.programDirectory();
        if (directory.endsWith(QDir::separator())) {
            m_services.criticalMessage(nullptr, ErrorTitle,
                QStringLiteral("Quorvin can't be run from\r\na root directory, please reinstall."));
            m_ended = true;
            m_services.endProgram();
            return;
        }

        const QString iniPath
            = settings::besideProgram(directory, QLatin1String(settings::QuorvinIniName));
        if (settings::isRegularFile(iniPath)) {
            settings::FieldReader ini(settings::readSettingsFile(iniPath));
            ini.next();
            Text1->setTextColour(settings::toColour(settings::dropLeading(ini.next(), 4)));
            Text1->setBackColour(settings::toColour(settings::dropLeading(ini.next(), 4)));
            setWindowStateValue(settings::toWindowState(settings::dropLeading(ini.next(), 7)));
            m_state.WinTop = storedText(settings::dropLeading(ini.next(), 4));
            m_state.WinLeft = storedText(settings::dropLeading(ini.next(), 5));
            m_state.NfoHeight = storedText(settings::dropLeading(ini.next(), 8));
            m_state.NfoWidth = storedText(settings::dropLeading(ini.next(), 7));
            m_state.DizHeight = storedText(settings::dropLeading(ini.next(), 8));
            m_state.DizWidth = storedText(settings::dropLeading(ini.next(), 7));
        } else {
            m_state.WinTop = QStringLiteral("1500");
            m_state.WinLeft = QStringLiteral("990");
            m_state.NfoWidth = QStringLiteral("10000");
            m_state.NfoHeight = QStringLiteral("6000");
            m_state.DizHeight = QStringLiteral("3000");
            m_state.DizWidth = QStringLiteral("6000");
        }

        m_state.NfoWidthAtStart = m_state.NfoWidth;

        if (m_state.DizHeight == QLatin1String("0") || m_state.DizHeight.isEmpty()) {
            m_state.DizHeight = QStringLiteral("6000");
            m_state.DizWidth = QStringLiteral("10000");
        }

        if (windowStateValue() == Normal) {
            const float left = settings::toTwips(m_state.WinLeft);
            const float top = settings::toTwips(m_state.WinTop);
            const float width = settings::toTwips(m_state.NfoWidth);
            const float height = settings::toTwips(m_state.NfoHeight);
            moveAndSizeTwips(left, top, width, height);
        }

        const QString sizePath
            = settings::besideProgram(directory, QLatin1String(settings::FontSizeIniName));
        if (settings::isRegularFile(sizePath)) {
            settings::FieldReader fontSize(settings::readSettingsFile(sizePath));
            const QByteArray size = fontSize.next();
            ClearFontSizeChecks();
            Text1->setFontSize(settings::toFontSize(size));
            Text1->setBold(false);
            for (const char *name : { "f5", "f6", "f9", "f12", "f14" }) {
                if (action(name)->text().toLatin1() == size)
                    action(name)->setChecked(true);
            }
        }

        createNativeWindow();
        const QString argument = m_services.argumentString();
        if (argument.isEmpty()) {
            show();
            return;
        }
        request({ Entry::CommandLine, argument });
    } catch (const settings::SettingsError &error) {
        qCInfo(lcViewer) << "start-up failed:" << error.what();
        showFailure();
    }
}

void Form1::showFailure()
{
    setBusy(false);
    Text1->setText(BadFileText);
}

// ---- Resize and close ----------------------------------------------------------------------

void Form1::Form_Resize()
{
    const int state = windowStateValue();
    const float width = widthTwips();
    const float height = heightTwips();
    const std::optional<TextPlacement> placement = text1Placement(state, width, height);
    if (!placement)
        return;
    Text1->setGeometry(twipsToPixels(placement->left), twipsToPixels(Text1TopTwips),
        twipsToPixels(placement->width), twipsToPixels(placement->height));
    if (!recordsGeometry(state, m_state.DizMode))
        return;
    m_state.WinTop = settings::twipsText(topTwips());
    m_state.WinLeft = settings::twipsText(leftTwips());
    m_state.NfoHeight = settings::twipsText(height);
    m_state.NfoWidth = settings::twipsText(width);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_menuBarWidth = -1;
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true; // also tells a running load to stop without touching the window

    if (!m_services.anotherCopyRunning()) {
        const int state = windowStateValue();
        if (state == Maximized) {
            if (m_state.WinTop == QLatin1String("0"))
                m_state.WinTop = settings::twipsText(topTwips());
            if (m_state.WinLeft == QLatin1String("0"))
                m_state.WinLeft = settings::twipsText(leftTwips());
        } else if (state == Normal && m_state.DizMode) {
            m_state.DizWidth = settings::twipsText(widthTwips());
            m_state.DizHeight = settings::twipsText(heightTwips());
        } else if (state == Normal) {
            m_state.WinLeft = settings::twipsText(leftTwips());
            m_state.WinTop = settings::twipsText(topTwips());
            m_state.NfoHeight = settings::twipsText(heightTwips());
            m_state.NfoWidth = settings::twipsText(widthTwips());
        }

        settings::QuorvinIni ini;
        ini.versionText = m_state.VersionText;
        ini.textColour = Text1->textColour();
        ini.backColour = Text1->backColour();
        ini.windowState = windowStateValue();
        ini.winTop = m_state.WinTop;
        ini.winLeft = m_state.WinLeft;
        ini.nfoHeight = m_state.NfoHeight;
        ini.nfoWidth = m_state.NfoWidth;
        ini.dizHeight = m_state.DizHeight;
        ini.dizWidth = m_state.DizWidth;
        const QString path = settings::besideProgram(
            m_services.programDirectory(), QLatin1String(settings::QuorvinIniName));
        // A directory that cannot be written keeps the old file whole; the program ends anyway.
        if (!settings::writeWholeFile(path, settings::serializeQuorvinIni(ini)))
            qCWarning(lcViewer) << "could not write" << path;
    }

    m_program.unloadForm2();
    m_services.endProgram();
}

} // namespace viewer
