#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/ports/InputEvents.h"
#include "platform/linux/KeysymToVirtualKey.h"

struct _XDisplay;
struct _XkbDesc;
union _XEvent;
class QSocketNotifier;

namespace pt {

// Desktop-wide mouse-button and key presses from the X server's XInput2 raw events,
// selected on the root window for the master devices (a slave device would count every
// press twice). Uses an X connection of its own: selecting on the toolkit's connection
// would replace the toolkit's own event masks. Events are read from the Qt event loop
// of the thread that creates the object, through a socket notifier, and delivered there
// at once; the X server delivers raw events to every client, so nothing is delayed or
// taken from other programs. Buttons, as the device reports them (a swap of the buttons in
// the pointer map does not change which counter a press goes to): 1 left, 2 middle,
// 3 right; the wheels (4-7) and extra buttons are not reported. Keys: Windows virtual-key codes
// (see KeysymToVirtualKey.h).
class X11InputEvents : public InputEvents {
public:
    // An empty display name means $DISPLAY. The connection opens on first use.
    explicit X11InputEvents(std::string displayName = {});
    ~X11InputEvents() override;
    X11InputEvents(const X11InputEvents&) = delete;
    X11InputEvents& operator=(const X11InputEvents&) = delete;

    bool installMouseHook(ButtonSink sink) override;
    void removeMouseHook() override;
    bool connectKeys(KeySink sink) override;
    void disconnectKeys() override;

    // Handles every event queued on the connection; the socket notifier calls it, and so
    // does every request that may have read events along with its reply.
    void drain();

    // Raw events decoded since creation (benchmarks).
    std::uint64_t eventsHandled() const { return m_eventsHandled; }
    // Why the source is unavailable, empty while it works. A lost X server stops the
    // source without ending the process; installing again reconnects.
    const std::string& error() const { return m_error; }

private:
    bool ensureConnection();
    void closeConnection();
    // The X server went away: the connection is closed and error() says so.
    bool checkLost();
    bool updateSelection();
    void refreshKeymap();
    void readKeyboardState();
    void handle(_XEvent& event);
    void handleRawButton(int button);
    void handleRawKey(int keycode);

    std::string m_displayName;
    std::string m_error;
    _XDisplay* m_display = nullptr;
    std::atomic<bool> m_lost{false};
    unsigned long m_root = 0;
    int m_xiOpcode = -1;
    int m_xkbEventBase = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;

    // Keyboard map: the keysyms of the first two levels per keycode in the active group.
    _XkbDesc* m_xkb = nullptr;
    unsigned m_numLockMask = 0;
    unsigned m_mods = 0;
    int m_group = 0;

    ButtonSink m_buttons;
    KeySink m_keys;
    std::uint64_t m_eventsHandled = 0;
};

}  // namespace pt
