#include "platform/linux/X11InputEvents.h"

#include "platform/linux/XConnectionLoss.h"

#include <QObject>
#include <QSocketNotifier>

// X headers last: their macros (None, Bool, Status ...) clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace pt {

X11InputEvents::X11InputEvents(std::string displayName) : m_displayName(std::move(displayName)) {}

X11InputEvents::~X11InputEvents() {
    closeConnection();
}

bool X11InputEvents::installMouseHook(ButtonSink sink) {
    if (!ensureConnection()) return false;
    m_buttons = std::move(sink);
    if (updateSelection()) return true;
    m_buttons = nullptr;
    return false;
}

void X11InputEvents::removeMouseHook() {
    m_buttons = nullptr;
    if (m_display) updateSelection();
}

bool X11InputEvents::connectKeys(KeySink sink) {
    if (!ensureConnection()) return false;
    m_keys = std::move(sink);
    if (updateSelection()) return true;
    m_keys = nullptr;
    return false;
}

void X11InputEvents::disconnectKeys() {
    m_keys = nullptr;
    if (m_display) updateSelection();
}

bool X11InputEvents::ensureConnection() {
    if (m_display) return true;
    m_display = XOpenDisplay(m_displayName.empty() ? nullptr : m_displayName.c_str());
    if (!m_display) {
        m_error = "cannot open the X display";
        return false;
    }
    m_lost = false;
    WatchConnectionLoss(m_display, &m_lost);
    int event = 0, error = 0;
    if (!XQueryExtension(m_display, "XInputExtension", &m_xiOpcode, &event, &error)) {
        m_error = "the X server has no XInput extension";
        closeConnection();
        return false;
    }
    int major = 2, minor = 2;
    if (XIQueryVersion(m_display, &major, &minor) != Success || major < 2) {
        m_error = "the X server's XInput is older than 2.0";
        closeConnection();
        return false;
    }
    int xkbOpcode = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(m_display, &xkbOpcode, &m_xkbEventBase, &xkbError, &xkbMajor,
                          &xkbMinor)) {
        XkbSelectEvents(m_display, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                        XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
        const unsigned long details = XkbModifierStateMask | XkbGroupStateMask;
        XkbSelectEventDetails(m_display, XkbUseCoreKbd, XkbStateNotify, details, details);
    } else {
        m_xkbEventBase = -1;  // keys still map through the core keyboard map
    }
    m_root = DefaultRootWindow(m_display);
    refreshKeymap();
    readKeyboardState();

    m_notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { drain(); });
    m_error.clear();
    return true;
}

void X11InputEvents::closeConnection() {
    if (m_notifier) {
        // May run inside the notifier's own signal.
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    if (m_xkb) {
        XkbFreeKeyboard(m_xkb, 0, True);
        m_xkb = nullptr;
    }
    if (m_display) {
        XCloseDisplay(m_display);
        ForgetConnectionLoss(m_display);
        m_display = nullptr;
    }
}

bool X11InputEvents::checkLost() {
    if (!m_display || !m_lost.load(std::memory_order_acquire)) return false;
    closeConnection();
    m_error = "the connection to the X server was lost";
    return true;
}

bool X11InputEvents::updateSelection() {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (m_buttons) XISetMask(bits, XI_RawButtonPress);
    if (m_keys) XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    const bool ok = XISelectEvents(m_display, m_root, &mask, 1) == Success;
    XSync(m_display, False);
    drain();  // the reply may have brought events along
    return ok && m_display != nullptr;
}

void X11InputEvents::refreshKeymap() {
    if (m_xkb) XkbFreeKeyboard(m_xkb, 0, True);
    m_xkb =
        XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
    m_numLockMask = 0;
    if (!m_xkb) return;
    // The modifier that NumLock's key sets (usually Mod2).
    for (int kc = m_xkb->min_key_code; kc <= m_xkb->max_key_code; ++kc) {
        const int syms = XkbKeyNumSyms(m_xkb, kc);
        const KeySym* sym = XkbKeySymsPtr(m_xkb, kc);
        for (int i = 0; i < syms; ++i)
            if (sym[i] == XK_Num_Lock) m_numLockMask |= m_xkb->map->modmap[kc];
    }
}

void X11InputEvents::readKeyboardState() {
    XkbStateRec state{};
    if (m_xkbEventBase >= 0 && XkbGetState(m_display, XkbUseCoreKbd, &state) == Success) {
        m_mods = state.mods;
        m_group = state.group;
    }
}

void X11InputEvents::drain() {
    if (!m_display) return;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        handle(event);
    }
    checkLost();
}

void X11InputEvents::handle(XEvent& event) {
    if (event.type == GenericEvent && event.xcookie.extension == m_xiOpcode) {
        XGenericEventCookie* cookie = &event.xcookie;
        if (!XGetEventData(m_display, cookie)) return;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        const int type = cookie->evtype;
        const int detail = raw->detail;
        XFreeEventData(m_display, cookie);
        ++m_eventsHandled;
        if (type == XI_RawButtonPress)
            handleRawButton(detail);
        else if (type == XI_RawKeyPress)
            handleRawKey(detail);
        return;
    }
    if (m_xkbEventBase >= 0 && event.type == m_xkbEventBase) {
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        switch (xkb.any.xkb_type) {
            case XkbStateNotify:
                m_mods = xkb.state.mods;
                m_group = xkb.state.group;
                break;
            case XkbNewKeyboardNotify:
            case XkbMapNotify:
                refreshKeymap();
                readKeyboardState();
                break;
            default:
                break;
        }
        return;
    }
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request != MappingPointer) refreshKeymap();
    }
}

void X11InputEvents::handleRawButton(int button) {
    if (!m_buttons) return;
    MouseButton pressed;
    switch (button) {
        case 1:
            pressed = MouseButton::Left;
            break;
        case 2:
            pressed = MouseButton::Middle;
            break;
        case 3:
            pressed = MouseButton::Right;
            break;
        default:
            return;  // 4-7 are the wheels, 8 and up extra buttons
    }
    const ButtonSink sink = m_buttons;  // the sink may remove the hook
    sink(pressed);
}

void X11InputEvents::handleRawKey(int keycode) {
    if (!m_keys) return;
    KeyLevels levels;
    if (m_xkb && keycode >= m_xkb->min_key_code && keycode <= m_xkb->max_key_code) {
        const int groups = XkbKeyNumGroups(m_xkb, keycode);
        if (groups > 0) {
            const int group = m_group % groups;
            const int width = XkbKeyGroupWidth(m_xkb, keycode, group);
            levels.level0 = static_cast<std::uint32_t>(XkbKeySymEntry(m_xkb, keycode, 0, group));
            if (width > 1)
                levels.level1 =
                    static_cast<std::uint32_t>(XkbKeySymEntry(m_xkb, keycode, 1, group));
        }
    }
    const bool numLock = m_numLockMask != 0 && (m_mods & m_numLockMask) != 0;
    const int vk = VirtualKeyFor(levels, numLock, keycode);
    if (vk == 0) return;
    const KeySink sink = m_keys;
    sink(vk);
}

}  // namespace pt
