#include "x11session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

struct X11Session::Display
{
    ::Display *display = nullptr;
    ~Display()
    {
        if (display)
            XCloseDisplay(display);
    }
};

X11Session::X11Session()
    : m_display(std::make_unique<Display>())
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        m_display->display = XOpenDisplay(nullptr);
    const QString built = QStringLiteral(QUORVIN_BINARY_DIR);
    for (const char *name : { "quorvin", "howl.wav", "contents.txt", "webdial" }) {
        const QString source = built + QLatin1Char('/') + QLatin1String(name);
        if (QFile::exists(source))
            QFile::copy(source, path(QLatin1String(name)));
    }
}

X11Session::~X11Session()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool X11Session::isOpen() const
{
    return m_display->display != nullptr;
}

QString X11Session::programDirectory() const
{
    return m_directory.path();
}

QString X11Session::path(const QString &name) const
{
    return m_directory.filePath(name);
}

void X11Session::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray X11Session::read(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of a window property of the given type, empty when it is not set.
static QByteArray windowProperty(
    ::Display *display, Window window, const char *name, Atom type, long length)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    QByteArray bytes;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, length, False,
            type, &actualType, &format, &items, &after, &data)
            == Success
        && data)
        bytes = QByteArray(reinterpret_cast<const char *>(data),
            qsizetype(items) * (format == 32 ? qsizetype(sizeof(long)) : format / 8));
    if (data)
        XFree(data);
    return bytes;
}

static long windowPid(::Display *display, Window window)
{
    const QByteArray pid = windowProperty(display, window, "_NET_WM_PID", XA_CARDINAL, 1);
    return pid.size() == sizeof(long) ? *reinterpret_cast<const long *>(pid.constData()) : -1;
}

bool X11Session::start(const QStringList &arguments, const QString &programPath, int timeoutMs)
{
    if (!isOpen())
        return false;
    m_process.setProgram(programPath.isEmpty() ? path(QStringLiteral("quorvin")) : programPath);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    const long pid = m_process.processId();
    ::Display *display = m_display->display;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        XSync(display, False);
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && !m_window; ++i) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, children[i], &attributes)
                    && attributes.map_state == IsViewable && attributes.c_class == InputOutput
                    && windowPid(display, children[i]) == pid)
                    m_window = children[i];
            }
            if (children)
                XFree(children);
        }
        if (m_window)
            return true;
        QThread::msleep(20);
    }
    return false;
}

QRect X11Session::windowGeometry() const
{
    ::Display *display = m_display->display;
    XWindowAttributes attributes;
    if (!m_window || !XGetWindowAttributes(display, m_window, &attributes))
        return {};
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, m_window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return QRect(x, y, attributes.width, attributes.height);
}

QString X11Session::windowName() const
{
    ::Display *display = m_display->display;
    return QString::fromUtf8(windowProperty(
        display, m_window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False), 1024));
}

void X11Session::requestClose() const
{
    ::Display *display = m_display->display;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, m_window, False, NoEventMask, &event);
    XFlush(display);
}

bool X11Session::waitForExit(int timeoutMs)
{
    return m_process.waitForFinished(timeoutMs);
}
