#include "X11WindowHints.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace pt {

void SetSkipTaskbar(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom skip = XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    // Unmapped: the window manager reads the property when the window is mapped.
    XChangeProperty(display, window, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&skip), 1);
    // Mapped: ask the window manager.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
    event.xclient.data.l[1] = static_cast<long>(skip);
    event.xclient.data.l[3] = 1;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XCloseDisplay(display);
}

}  // namespace pt
