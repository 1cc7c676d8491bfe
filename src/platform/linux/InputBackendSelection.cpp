#include "platform/linux/InputBackendSelection.h"

#include <cstdlib>

namespace pt {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

SessionEnvironment SessionEnvironment::OfThisProcess() {
    return {Env("XDG_SESSION_TYPE"), Env("DISPLAY"), Env("WAYLAND_DISPLAY"),
            Env("PATHTALLY_INPUT")};
}

InputBackendChoice ChooseInputBackend(const SessionEnvironment& env) {
    std::string ignored;
    if (env.forced == kX11Input || env.forced == kLibinputInput)
        return {env.forced, "forced by PATHTALLY_INPUT=" + env.forced};
    if (!env.forced.empty())
        ignored = " (PATHTALLY_INPUT=" + env.forced + " ignored: use x11 or libinput)";
    if (env.sessionType == "x11")
        return {kX11Input, "X11 session (XDG_SESSION_TYPE=x11)" + ignored};
    if (env.sessionType == "wayland")
        return {kLibinputInput, "Wayland session (XDG_SESSION_TYPE=wayland)" + ignored};
    if (!env.waylandDisplay.empty())
        return {kLibinputInput,
                "Wayland session (WAYLAND_DISPLAY=" + env.waylandDisplay + ")" + ignored};
    if (!env.display.empty())
        return {kX11Input,
                "X11 session (DISPLAY=" + env.display + ", no WAYLAND_DISPLAY)" + ignored};
    return {kX11Input, "no session type, DISPLAY or WAYLAND_DISPLAY: X11 kept" + ignored};
}

}  // namespace pt
