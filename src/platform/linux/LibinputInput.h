#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/ports/CursorSource.h"
#include "core/ports/InputAccess.h"
#include "core/ports/InputEvents.h"
#include "platform/linux/DeviceEventCounter.h"
#include "platform/linux/PointerPosition.h"

struct libinput;
struct libinput_device;
struct libinput_event;
class QSocketNotifier;

namespace pt {

// Travel, button presses and key presses of a Wayland session, read from the kernel's
// input devices through a libinput context on the session's udev seat ($XDG_SEAT, else
// "seat0"): a compositor shows no client the global pointer or other programs' input.
// Devices are opened read-only by this process, so they must be readable by the user
// (a "uaccess" udev rule or the input group); devices added and removed while running are
// followed through udev. The context's descriptor is watched by the Qt event loop of the
// thread that creates the object; every event is reduced to a DeviceEvent and counted by
// DeviceEventCounter, so only counts and distances leave the handler. The pointer's
// position is not known here (the compositor keeps it) unless the compositor reports it
// through a PointerPosition.
class LibinputInput : public CursorSource, public InputEvents, public InputAccess {
public:
    // An empty seat means $XDG_SEAT, else "seat0".
    explicit LibinputInput(std::string seat = {});
    ~LibinputInput() override;
    LibinputInput(const LibinputInput&) = delete;
    LibinputInput& operator=(const LibinputInput&) = delete;

    // The position the desktop reports, where it does (not owned; may be null). Travel
    // never depends on it.
    void setPointerPosition(const PointerPosition* position) { m_position = position; }

    // CursorSource: the travel since the last take, and the position where the desktop
    // reports one (else 0, 0). Also not empty when only the position changed.
    std::optional<CursorReading> take() override;

    // InputEvents
    bool installMouseHook(ButtonSink sink) override;
    void removeMouseHook() override;
    bool connectKeys(KeySink sink) override;
    void disconnectKeys() override;

    // InputAccess
    bool devicesReadable() const override { return m_counter.devices() > 0; }
    bool pointerPositionKnown() const override {
        return m_position && m_position->current().has_value();
    }

    // Handles every event queued on the context (the socket notifier calls it).
    void dispatch();

    const std::string& seat() const { return m_seat; }
    // Why the context could not be set up, empty while it works.
    const std::string& error() const { return m_error; }
    // Device nodes this process could open and could not (permission) so far.
    int devicesOpened() const { return m_opened; }
    int devicesRefused() const { return m_refused; }

private:
    static int OpenRestricted(const char* path, int flags, void* self);
    static void CloseRestricted(int fd, void* self);
    void handle(libinput_event* event);
    std::uint32_t deviceId(libinput_device* device);
    std::optional<bool> numLockLed(libinput_device* device) const;
    void updateScreen();

    std::string m_seat;
    std::string m_error;
    libinput* m_context = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    DeviceEventCounter m_counter;
    std::map<libinput_device*, std::uint32_t> m_deviceIds;
    std::uint32_t m_nextDeviceId = 1;
    std::map<std::string, int> m_fds;  // device node -> descriptor opened for it
    int m_opened = 0;
    int m_refused = 0;
    std::uint64_t m_motionTaken = 0;
    const PointerPosition* m_position = nullptr;
    std::optional<PointerPosition::Point> m_positionTaken;
    double m_screenWidth = 1920;  // device pixels, for absolute devices
    double m_screenHeight = 1080;
};

}  // namespace pt
