#include "x11session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>

namespace {

using DisplayPointer = std::unique_ptr<::Display, decltype(&XCloseDisplay)>;

DisplayPointer openDisplay()
{
    return DisplayPointer(XOpenDisplay(nullptr), &XCloseDisplay);
}

// The bytes of a window property of the given type, empty when it is not set.
QByteArray property(::Display *display, Window window, const char *name, Atom type)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    QByteArray bytes;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
            &actualType, &format, &items, &after, &data)
            == Success
        && data)
        bytes = QByteArray(reinterpret_cast<const char *>(data),
            qsizetype(items) * (format == 32 ? qsizetype(sizeof(long)) : format / 8));
    if (data)
        XFree(data);
    return bytes;
}

} // namespace

QList<unsigned long> X11Session::visibleWindows() const
{
    QList<unsigned long> found;
    const DisplayPointer display = openDisplay();
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!display
        || !XQueryTree(
            display.get(), DefaultRootWindow(display.get()), &root, &parent, &children, &count))
        return found;
    const long pid = long(processId());
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        const QByteArray windowPid
            = property(display.get(), children[i], "_NET_WM_PID", XA_CARDINAL);
        if (XGetWindowAttributes(display.get(), children[i], &attributes)
            && attributes.map_state == IsViewable && attributes.c_class == InputOutput
            && windowPid == QByteArray(reinterpret_cast<const char *>(&pid), sizeof pid))
            found << children[i];
    }
    if (children)
        XFree(children);
    return found;
}

QRect X11Session::windowGeometry(unsigned long window) const
{
    const DisplayPointer display = openDisplay();
    XWindowAttributes attributes;
    int x = 0;
    int y = 0;
    Window child = 0;
    window = window ? window : m_window;
    if (!display || !XGetWindowAttributes(display.get(), window, &attributes)
        || !XTranslateCoordinates(
            display.get(), window, DefaultRootWindow(display.get()), 0, 0, &x, &y, &child))
        return {};
    return QRect(x, y, attributes.width, attributes.height);
}

QString X11Session::windowName(unsigned long window) const
{
    const DisplayPointer display = openDisplay();
    return display ? QString::fromUtf8(property(display.get(), window ? window : m_window,
               "_NET_WM_NAME", XInternAtom(display.get(), "UTF8_STRING", False)))
                   : QString();
}

void X11Session::requestClose() const
{
    const DisplayPointer display = openDisplay();
    if (!display)
        return;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), m_window, False, NoEventMask, &event);
    XFlush(display.get());
}
