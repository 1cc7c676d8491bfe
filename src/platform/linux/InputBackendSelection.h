#pragma once

#include <string>

#include "core/ports/PlatformServices.h"

namespace pt {

// The environment variables that decide which input backend a Linux session needs.
struct SessionEnvironment {
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string forced;          // PATHTALLY_INPUT: "x11" or "libinput"

    static SessionEnvironment OfThisProcess();
};

inline constexpr const char* kX11Input = "x11";
inline constexpr const char* kLibinputInput = "libinput";

// PATHTALLY_INPUT=x11|libinput wins (another value is ignored, and the reason says so); then
// XDG_SESSION_TYPE (x11 or wayland); then WAYLAND_DISPLAY (Wayland) or DISPLAY (X11). With
// none of them the X11 sources are kept, as before there was a choice.
InputBackendChoice ChooseInputBackend(const SessionEnvironment& env);

}  // namespace pt
