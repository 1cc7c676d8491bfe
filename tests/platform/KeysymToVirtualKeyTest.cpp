#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "platform/linux/KeysymToVirtualKey.h"

namespace pt {
namespace {

int Vk(std::uint32_t level0, std::uint32_t level1 = 0, bool numLock = false, int keycode = 0) {
    return VirtualKeyFor({level0, level1}, numLock, keycode);
}

TEST(KeysymToVirtualKey, GenericCodesForBothSidesOfAKey) {
    EXPECT_EQ(Vk(XK_Shift_L), 16);
    EXPECT_EQ(Vk(XK_Shift_R), 16);
    EXPECT_EQ(Vk(XK_Control_L), 17);
    EXPECT_EQ(Vk(XK_Control_R), 17);
    EXPECT_EQ(Vk(XK_Alt_L), 18);
    EXPECT_EQ(Vk(XK_ISO_Level3_Shift), 18);
    EXPECT_EQ(Vk(XK_Return), 13);
    EXPECT_EQ(Vk(XK_KP_Enter), 13);
}

TEST(KeysymToVirtualKey, MainBlock) {
    EXPECT_EQ(Vk(XK_a, XK_A), 65);
    EXPECT_EQ(Vk(XK_z, XK_Z), 90);
    EXPECT_EQ(Vk(XK_0, XK_parenright), 48);
    EXPECT_EQ(Vk(XK_9, XK_parenleft), 57);
    EXPECT_EQ(Vk(XK_space), 32);
    EXPECT_EQ(Vk(XK_BackSpace), 8);
    EXPECT_EQ(Vk(XK_ISO_Left_Tab), 9);
    EXPECT_EQ(Vk(XK_Escape), 27);
    EXPECT_EQ(Vk(XK_Caps_Lock), 20);
    EXPECT_EQ(Vk(XK_Super_L), 91);
    EXPECT_EQ(Vk(XK_Super_R), 92);
    EXPECT_EQ(Vk(XK_F1), 112);
    EXPECT_EQ(Vk(XK_F12), 123);
    EXPECT_EQ(Vk(XK_F13), 124);
    EXPECT_EQ(Vk(XK_minus), 189);
    EXPECT_EQ(Vk(XK_equal), 187);
    EXPECT_EQ(Vk(XK_grave), 192);
    EXPECT_EQ(Vk(XK_semicolon), 186);
    EXPECT_EQ(Vk(XK_apostrophe), 222);
    EXPECT_EQ(Vk(XK_backslash), 220);
    EXPECT_EQ(Vk(XK_Delete), 46);
    EXPECT_EQ(Vk(XK_Home), 36);
    EXPECT_EQ(Vk(XK_Prior), 33);
    EXPECT_EQ(Vk(XK_Pause), 19);
    EXPECT_EQ(Vk(XK_Num_Lock), 144);
}

TEST(KeysymToVirtualKey, KeypadFollowsNumLock) {
    EXPECT_EQ(Vk(XK_KP_Begin, XK_KP_5, false), 12);
    EXPECT_EQ(Vk(XK_KP_Begin, XK_KP_5, true), 101);
    EXPECT_EQ(Vk(XK_KP_Insert, XK_KP_0, true), 96);
    EXPECT_EQ(Vk(XK_KP_Insert, XK_KP_0, false), 45);
    EXPECT_EQ(Vk(XK_KP_Up, XK_KP_8, false), 38);
    EXPECT_EQ(Vk(XK_KP_Prior, XK_KP_9, true), 105);
    EXPECT_EQ(Vk(XK_KP_Delete, XK_KP_Decimal, true), 110);
    EXPECT_EQ(Vk(XK_KP_Delete, XK_KP_Decimal, false), 46);
    EXPECT_EQ(Vk(XK_KP_Delete, XK_KP_Separator, true), 110) << "a layout's keypad comma";
    // Operators do not depend on NumLock.
    EXPECT_EQ(Vk(XK_KP_Multiply, XK_KP_Multiply, false), 106);
    EXPECT_EQ(Vk(XK_KP_Add, 0, true), 107);
    EXPECT_EQ(Vk(XK_KP_Subtract), 109);
    EXPECT_EQ(Vk(XK_KP_Divide), 111);
    // A main-block navigation key is never turned into a digit.
    EXPECT_EQ(Vk(XK_Home, XK_KP_7, true), 36);
}

TEST(KeysymToVirtualKey, NonLatinLayoutsFallBackToThePosition) {
    // Russian: the A position (X keycode 38) carries Cyrillic ef; the Q position (24)
    // Cyrillic short i; the comma position (59) Cyrillic be.
    EXPECT_EQ(Vk(XK_Cyrillic_ef, XK_Cyrillic_EF, false, 38), 'A');
    EXPECT_EQ(Vk(XK_Cyrillic_shorti, XK_Cyrillic_SHORTI, false, 24), 'Q');
    EXPECT_EQ(Vk(XK_Cyrillic_be, XK_Cyrillic_BE, false, 59), 188);
    // French: the digit row's level 0 is punctuation; it counts as the digit keys do.
    EXPECT_EQ(Vk(XK_ampersand, XK_1, false, 10), '1');
    EXPECT_EQ(Vk(XK_eacute, XK_2, false, 11), '2');
    EXPECT_EQ(Vk(XK_agrave, XK_0, false, 19), '0');
    // Keys with no Windows code and no main-block position stay uncounted.
    EXPECT_EQ(Vk(0x1008ff12 /* XF86AudioMute */, 0, false, 121), 0);
    EXPECT_EQ(Vk(0, 0, false, 0), 0);
    EXPECT_EQ(VirtualKeyFromEvdevPosition(-3), 0);
    EXPECT_EQ(VirtualKeyFromEvdevPosition(1000), 0);
}

}  // namespace
}  // namespace pt
