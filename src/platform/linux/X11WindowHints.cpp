#include "X11WindowHints.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace pt {
namespace {

bool HasAtom(Display* display, unsigned long window, Atom property, Atom wanted) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, XA_ATOM, &type, &format,
                           &count, &after, &data) != Success)
        return false;
    bool found = false;
    if (data && type == XA_ATOM && format == 32) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == wanted;
    }
    if (data) XFree(data);
    return found;
}

}  // namespace

void SetSkipTaskbar(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom skip = XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    // Unmapped: the window manager reads the property when the window is mapped. Added
    // once; the toolkit keeps atoms it does not know when it rewrites the property.
    if (!HasAtom(display, window, state, skip))
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
