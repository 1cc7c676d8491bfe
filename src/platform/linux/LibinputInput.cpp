#include "platform/linux/LibinputInput.h"

#include <fcntl.h>
#include <libinput.h>
#include <libudev.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace pt {
namespace {

using Kind = DeviceEvent::Kind;

bool IsKeypadKey(std::uint32_t code) {
    return (code >= KEY_KP7 && code <= KEY_KPDOT) || code == KEY_KPENTER || code == KEY_KPSLASH ||
           code == KEY_KPCOMMA;
}

}  // namespace

LibinputInput::LibinputInput(std::string seat) : m_seat(std::move(seat)) {
    if (m_seat.empty()) {
        const char* fromSession = std::getenv("XDG_SEAT");
        m_seat = fromSession && *fromSession ? fromSession : "seat0";
    }
    static const libinput_interface kInterface{&LibinputInput::OpenRestricted,
                                               &LibinputInput::CloseRestricted};
    udev* udevContext = udev_new();
    if (!udevContext) {
        m_error = "udev is not available";
        return;
    }
    m_context = libinput_udev_create_context(&kInterface, this, udevContext);
    udev_unref(udevContext);  // the context keeps its own reference
    if (!m_context) {
        m_error = "no libinput context";
        return;
    }
    if (libinput_udev_assign_seat(m_context, m_seat.c_str()) != 0) {
        m_error = "the udev seat " + m_seat + " could not be assigned";
        libinput_unref(m_context);
        m_context = nullptr;
        return;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(libinput_get_fd(m_context), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { dispatch(); });
    dispatch();  // the devices present now arrive at once
}

LibinputInput::~LibinputInput() {
    m_notifier.reset();
    if (m_context) libinput_unref(m_context);  // closes every device through CloseRestricted
}

int LibinputInput::OpenRestricted(const char* path, int /*flags*/, void* self) {
    auto* input = static_cast<LibinputInput*>(self);
    // Read-only: the devices are only listened to.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) ++input->m_refused;
        return -error;
    }
    ++input->m_opened;
    input->m_fds[path] = fd;
    return fd;
}

void LibinputInput::CloseRestricted(int fd, void* self) {
    auto* input = static_cast<LibinputInput*>(self);
    for (auto it = input->m_fds.begin(); it != input->m_fds.end(); ++it)
        if (it->second == fd) {
            input->m_fds.erase(it);
            break;
        }
    close(fd);
}

void LibinputInput::updateScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const double scale = screen->devicePixelRatio();
    m_counter.setScale(scale > 0 ? scale : 1.0);
    const QSize size = screen->size();
    if (size.width() > 0 && size.height() > 0) {
        m_screenWidth = size.width() * scale;
        m_screenHeight = size.height() * scale;
    }
}

void LibinputInput::dispatch() {
    if (!m_context) return;
    updateScreen();
    libinput_dispatch(m_context);
    while (libinput_event* event = libinput_get_event(m_context)) {
        handle(event);
        libinput_event_destroy(event);
    }
}

std::uint32_t LibinputInput::deviceId(libinput_device* device) {
    auto [it, fresh] = m_deviceIds.try_emplace(device, m_nextDeviceId);
    if (fresh) ++m_nextDeviceId;
    return it->second;
}

std::optional<bool> LibinputInput::numLockLed(libinput_device* device) const {
    const auto it = m_fds.find(std::string("/dev/input/") + libinput_device_get_sysname(device));
    if (it == m_fds.end()) return std::nullopt;
    unsigned char leds[(LED_MAX + 8) / 8] = {};
    if (ioctl(it->second, EVIOCGLED(sizeof leds), leds) < 0) return std::nullopt;
    return (leds[LED_NUML / 8] & (1u << (LED_NUML % 8))) != 0;
}

void LibinputInput::handle(libinput_event* event) {
    libinput_device* device = libinput_event_get_device(event);
    DeviceEvent e;
    e.device = deviceId(device);
    switch (libinput_event_get_type(event)) {
        case LIBINPUT_EVENT_DEVICE_ADDED:
            e.kind = Kind::Added;
            break;
        case LIBINPUT_EVENT_DEVICE_REMOVED:
            e.kind = Kind::Removed;
            m_deviceIds.erase(device);  // the pointer may be reused by a later device
            break;
        case LIBINPUT_EVENT_POINTER_MOTION: {
            auto* p = libinput_event_get_pointer_event(event);
            e.kind = Kind::RelativeMotion;
            e.x = libinput_event_pointer_get_dx(p);
            e.y = libinput_event_pointer_get_dy(p);
            break;
        }
        case LIBINPUT_EVENT_POINTER_MOTION_ABSOLUTE: {
            auto* p = libinput_event_get_pointer_event(event);
            e.kind = Kind::AbsoluteMotion;
            e.x = libinput_event_pointer_get_absolute_x_transformed(p, m_screenWidth);
            e.y = libinput_event_pointer_get_absolute_y_transformed(p, m_screenHeight);
            break;
        }
        case LIBINPUT_EVENT_POINTER_BUTTON: {
            auto* p = libinput_event_get_pointer_event(event);
            e.kind = Kind::Button;
            e.code = libinput_event_pointer_get_button(p);
            e.value = libinput_event_pointer_get_button_state(p) == LIBINPUT_BUTTON_STATE_PRESSED;
            break;
        }
        case LIBINPUT_EVENT_KEYBOARD_KEY: {
            auto* k = libinput_event_get_keyboard_event(event);
            e.kind = Kind::Key;
            e.code = libinput_event_keyboard_get_key(k);
            e.value = libinput_event_keyboard_get_key_state(k) == LIBINPUT_KEY_STATE_PRESSED;
            // Keypad keys mean digits or navigation by the NumLock LED the compositor set.
            if (e.value == 1 && IsKeypadKey(e.code))
                if (const auto on = numLockLed(device)) {
                    DeviceEvent led = e;
                    led.kind = Kind::NumLockLed;
                    led.value = *on;
                    m_counter.handle(led);
                }
            break;
        }
        case LIBINPUT_EVENT_TOUCH_DOWN:
        case LIBINPUT_EVENT_TOUCH_MOTION: {
            auto* t = libinput_event_get_touch_event(event);
            e.kind = libinput_event_get_type(event) == LIBINPUT_EVENT_TOUCH_DOWN
                         ? Kind::TouchDown
                         : Kind::TouchMotion;
            e.slot = libinput_event_touch_get_slot(t);
            e.x = libinput_event_touch_get_x_transformed(t, m_screenWidth);
            e.y = libinput_event_touch_get_y_transformed(t, m_screenHeight);
            break;
        }
        case LIBINPUT_EVENT_TOUCH_UP:
            e.kind = Kind::TouchUp;
            e.slot = libinput_event_touch_get_slot(libinput_event_get_touch_event(event));
            break;
        case LIBINPUT_EVENT_TOUCH_CANCEL:
            e.kind = Kind::TouchUp;
            e.slot = -1;
            break;
        case LIBINPUT_EVENT_TABLET_TOOL_PROXIMITY:
        case LIBINPUT_EVENT_TABLET_TOOL_AXIS:
        case LIBINPUT_EVENT_TABLET_TOOL_TIP: {
            auto* t = libinput_event_get_tablet_tool_event(event);
            const auto type = libinput_event_get_type(event);
            e.x = libinput_event_tablet_tool_get_x_transformed(t, m_screenWidth);
            e.y = libinput_event_tablet_tool_get_y_transformed(t, m_screenHeight);
            if (type == LIBINPUT_EVENT_TABLET_TOOL_PROXIMITY) {
                e.kind = libinput_event_tablet_tool_get_proximity_state(t) ==
                                 LIBINPUT_TABLET_TOOL_PROXIMITY_STATE_IN
                             ? Kind::TabletProximityIn
                             : Kind::TabletProximityOut;
                break;
            }
            e.kind = Kind::TabletAxis;
            if (type == LIBINPUT_EVENT_TABLET_TOOL_TIP) {
                m_counter.handle(e);  // the point where the tip went down or up
                e.kind = Kind::TabletTip;
                e.value =
                    libinput_event_tablet_tool_get_tip_state(t) == LIBINPUT_TABLET_TOOL_TIP_DOWN;
            }
            break;
        }
        default:
            return;  // scrolling, gestures, switches: not counted
    }
    m_counter.handle(e);
}

std::optional<CursorReading> LibinputInput::take() {
    const std::uint64_t motions = m_counter.motionEvents();
    const auto point = m_position ? m_position->current() : std::nullopt;
    const bool pointMoved = point && point != m_positionTaken;
    if (motions == m_motionTaken && !pointMoved) return std::nullopt;
    CursorReading reading;
    if (point) {
        reading.x = point->x;
        reading.y = point->y;
        m_positionTaken = point;
    }
    reading.travel = m_counter.takeTravel();
    reading.samples = motions - m_motionTaken;
    m_motionTaken = motions;
    return reading;
}

bool LibinputInput::installMouseHook(ButtonSink sink) {
    if (!m_context) return false;
    m_counter.setButtonSink(std::move(sink));
    return true;
}

void LibinputInput::removeMouseHook() {
    m_counter.setButtonSink({});
}

bool LibinputInput::connectKeys(KeySink sink) {
    if (!m_context) return false;
    m_counter.setKeySink(std::move(sink));
    return true;
}

void LibinputInput::disconnectKeys() {
    m_counter.setKeySink({});
}

}  // namespace pt
