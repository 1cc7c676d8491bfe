#include <gtest/gtest.h>

#include "platform/linux/InputBackendSelection.h"

namespace pt {
namespace {

std::string Chosen(std::string type, std::string display, std::string wayland,
                   std::string forced = {}) {
    return ChooseInputBackend({type, display, wayland, forced}).name;
}

TEST(InputBackendSelection, TheSessionTypeDecidesThenTheDisplays) {
    EXPECT_EQ(Chosen("x11", ":0", ""), "x11");
    // An X11 session that also runs a nested Wayland compositor stays on X11.
    EXPECT_EQ(Chosen("x11", ":0", "wayland-0"), "x11");
    // A Wayland session with Xwayland: the X server sees only its own clients' input.
    EXPECT_EQ(Chosen("wayland", ":0", "wayland-0"), "libinput");
    EXPECT_EQ(Chosen("wayland", ":1", ""), "libinput");
    EXPECT_EQ(Chosen("", ":0", "wayland-0"), "libinput");
    EXPECT_EQ(Chosen("", "", "wayland-0"), "libinput");
    EXPECT_EQ(Chosen("", ":0", ""), "x11");
    EXPECT_EQ(Chosen("tty", ":0", ""), "x11");
    EXPECT_EQ(Chosen("", "", ""), "x11");
}

TEST(InputBackendSelection, ForcedChoiceWinsAndAnUnknownOneIsIgnoredWithAReason) {
    EXPECT_EQ(Chosen("wayland", ":0", "wayland-0", "x11"), "x11");
    EXPECT_EQ(Chosen("x11", ":0", "", "libinput"), "libinput");
    const InputBackendChoice odd = ChooseInputBackend({"x11", ":0", "", "evdev"});
    EXPECT_EQ(odd.name, "x11");
    EXPECT_NE(odd.reason.find("PATHTALLY_INPUT=evdev ignored"), std::string::npos) << odd.reason;
    EXPECT_NE(ChooseInputBackend({"wayland", "", "w", ""}).reason.find("XDG_SESSION_TYPE=wayland"),
              std::string::npos);
}

}  // namespace
}  // namespace pt
