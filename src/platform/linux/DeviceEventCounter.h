#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include "core/ports/InputEvents.h"

namespace pt {

// One event of one input device, reduced to what counting needs. The libinput source fills
// these from libinput's events; the key, button and LED kinds also come straight from the
// kernel's event records (DeviceEventFromEvdev).
struct DeviceEvent {
    enum class Kind : std::uint8_t {
        Added,
        Removed,
        RelativeMotion,      // x, y: accelerated motion, about one logical pixel per unit
        AbsoluteMotion,      // x, y: screen pixels (pointers with absolute axes)
        TouchDown,           // x, y: screen pixels of the touch in slot
        TouchMotion,         // x, y: screen pixels of the touch in slot
        TouchUp,             // the touch in slot lifted; slot -1: every touch of the device
        TabletProximityIn,   // x, y: screen pixels where the tool came into proximity
        TabletAxis,          // x, y: screen pixels
        TabletProximityOut,  // the tool left
        TabletTip,           // value 1: the tip touched the surface, 0: lifted
        Button,              // code: BTN_*; value 1 press, 0 release
        Key,                 // code: KEY_*; value 1 press, 0 release, 2 auto-repeat
        NumLockLed,          // value: the keyboard's NumLock LED, 1 on, 0 off
    };
    Kind kind = Kind::Added;
    std::uint32_t device = 0;  // any number that stays the same for one device
    std::int32_t slot = 0;
    std::uint32_t code = 0;
    std::int32_t value = 0;
    double x = 0;
    double y = 0;
};

// The kernel's record of one event (struct input_event's type, code and value) as a device
// event; false for records that counting does not use (sync, relative and absolute axes,
// misc, ...).
bool DeviceEventFromEvdev(std::uint16_t type, std::uint16_t code, std::int32_t value,
                          std::uint32_t device, DeviceEvent& out);

// Turns the device events of one seat into travel, button presses and key presses, the way
// an X11 session counts them:
// - travel: relative motion times the screen's scale (so figures match an X11 session on
//   a scaled screen), plus straight segments between consecutive absolute points of each
//   touch, tablet tool and absolute pointer; a lift, a proximity-out or the device's
//   removal ends a line, so no segment joins two separate strokes;
// - the left, right and middle buttons (a tablet's tip as the left one) reach the button
//   sink when the seat's count for that button goes to 1: a press that
//   another device already holds (two devices forwarding one press) is not counted again;
// - keys likewise, once per seat press, as the counting's key codes, keypad digits by the
//   last NumLock LED state seen; auto-repeat is never counted.
// Only counts and distances leave it; it keeps which codes are held, never which were
// pressed.
class DeviceEventCounter {
public:
    void setButtonSink(InputEvents::ButtonSink sink) { m_buttons = std::move(sink); }
    void setKeySink(InputEvents::KeySink sink) { m_keys = std::move(sink); }
    // Device pixels per logical pixel of the screen (relative motion only).
    void setScale(double scale) { m_scale = scale; }

    void handle(const DeviceEvent& event);

    // Travel since the last call, in screen pixels.
    double takeTravel();
    std::uint64_t motionEvents() const { return m_motionEvents; }
    // Devices added and not yet removed.
    int devices() const { return static_cast<int>(m_devices.size()); }
    bool numLock() const { return m_numLock; }

private:
    using PointKey = std::pair<std::uint32_t, std::int32_t>;  // device, slot
    struct Point {
        double x, y;
    };
    void lineTo(PointKey key, double x, double y);
    void endLine(PointKey key) { m_lines.erase(key); }
    // True when this press is the seat's first hold of the code.
    bool press(std::uint32_t device, std::uint32_t code, std::int32_t value);
    void removeDevice(std::uint32_t device);

    InputEvents::ButtonSink m_buttons;
    InputEvents::KeySink m_keys;
    double m_scale = 1.0;
    double m_travel = 0;
    std::uint64_t m_motionEvents = 0;
    bool m_numLock = false;
    std::set<std::uint32_t> m_devices;
    std::map<PointKey, Point> m_lines;
    std::map<std::uint32_t, std::set<std::uint32_t>> m_held;  // code -> devices holding it
};

}  // namespace pt
