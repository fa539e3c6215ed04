#include "x11session.h"

#include <X11/Xlib.h>

void X11Session::requestClose() const
{
    ::Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, m_window, False, NoEventMask, &event);
    XCloseDisplay(display);
}
