#include "platform/linux/DeviceEventCounter.h"

#include <linux/input-event-codes.h>

#include <cmath>
#include <optional>

#include "platform/linux/KeysymToVirtualKey.h"

namespace pt {
namespace {

constexpr std::int32_t kAllSlots = -1;
constexpr std::int32_t kToolSlot = -2;     // a tablet tool's line
constexpr std::int32_t kPointerSlot = -3;  // an absolute pointer's line

std::optional<MouseButton> CountedButton(std::uint32_t code) {
    switch (code) {
        case BTN_LEFT:
            return MouseButton::Left;
        case BTN_RIGHT:
            return MouseButton::Right;
        case BTN_MIDDLE:
            return MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool DeviceEventFromEvdev(std::uint16_t type, std::uint16_t code, std::int32_t value,
                          std::uint32_t device, DeviceEvent& out) {
    out = DeviceEvent{};
    out.device = device;
    out.code = code;
    out.value = value;
    if (type == EV_LED && code == LED_NUML) {
        out.kind = DeviceEvent::Kind::NumLockLed;
        return true;
    }
    if (type != EV_KEY) return false;
    // Buttons of pointers and tablets live in BTN_MISC..BTN_GEAR_UP; BTN_TOUCH and the
    // tool codes of touch and tablet devices are not presses of a button.
    if (code >= BTN_MOUSE && code < BTN_JOYSTICK) {
        out.kind = DeviceEvent::Kind::Button;
        return true;
    }
    if (code < BTN_MISC || (code >= KEY_OK && code < BTN_DPAD_UP)) {
        out.kind = DeviceEvent::Kind::Key;
        return true;
    }
    return false;
}

void DeviceEventCounter::handle(const DeviceEvent& e) {
    using K = DeviceEvent::Kind;
    switch (e.kind) {
        case K::Added:
            m_devices.insert(e.device);
            return;
        case K::Removed:
            removeDevice(e.device);
            return;
        case K::RelativeMotion:
            ++m_motionEvents;
            m_travel += std::hypot(e.x, e.y) * m_scale;
            return;
        case K::AbsoluteMotion:
            lineTo({e.device, kPointerSlot}, e.x, e.y);
            return;
        case K::TouchDown:
            endLine({e.device, e.slot});
            lineTo({e.device, e.slot}, e.x, e.y);
            return;
        case K::TouchMotion:
            lineTo({e.device, e.slot}, e.x, e.y);
            return;
        case K::TouchUp:
            if (e.slot == kAllSlots) {
                for (auto it = m_lines.lower_bound({e.device, 0});
                     it != m_lines.end() && it->first.first == e.device;)
                    it = m_lines.erase(it);
            } else {
                endLine({e.device, e.slot});
            }
            return;
        case K::TabletProximityIn:
            endLine({e.device, kToolSlot});
            lineTo({e.device, kToolSlot}, e.x, e.y);
            return;
        case K::TabletAxis:
            lineTo({e.device, kToolSlot}, e.x, e.y);
            return;
        case K::TabletProximityOut:
            endLine({e.device, kToolSlot});
            return;
        case K::TabletTip:
            if (press(e.device, BTN_LEFT, e.value) && m_buttons) m_buttons(MouseButton::Left);
            return;
        case K::Button:
            if (const std::optional<MouseButton> button = CountedButton(e.code);
                press(e.device, e.code, e.value) && button && m_buttons)
                m_buttons(*button);
            return;
        case K::Key:
            if (press(e.device, e.code, e.value) && m_keys)
                if (const int vk = VirtualKeyFromEvdevCode(static_cast<int>(e.code), m_numLock))
                    m_keys(vk);
            return;
        case K::NumLockLed:
            m_numLock = e.value != 0;
            return;
    }
}

void DeviceEventCounter::lineTo(PointKey key, double x, double y) {
    ++m_motionEvents;
    auto [it, fresh] = m_lines.try_emplace(key, Point{x, y});
    if (fresh) return;
    m_travel += std::hypot(x - it->second.x, y - it->second.y);
    it->second = {x, y};
}

bool DeviceEventCounter::press(std::uint32_t device, std::uint32_t code, std::int32_t value) {
    auto& holders = m_held[code];
    if (value == 0) {
        holders.erase(device);
        if (holders.empty()) m_held.erase(code);
        return false;
    }
    if (value != 1) return false;  // auto-repeat
    // A second press without a release from the same device (events lost in between)
    // is the same hold.
    const bool first = holders.empty();
    holders.insert(device);
    return first;
}

void DeviceEventCounter::removeDevice(std::uint32_t device) {
    m_devices.erase(device);
    for (auto it = m_held.begin(); it != m_held.end();) {
        it->second.erase(device);
        it = it->second.empty() ? m_held.erase(it) : std::next(it);
    }
    for (auto it = m_lines.begin(); it != m_lines.end();)
        it = it->first.first == device ? m_lines.erase(it) : std::next(it);
}

double DeviceEventCounter::takeTravel() {
    const double travel = m_travel;
    m_travel = 0;
    return travel;
}

}  // namespace pt
