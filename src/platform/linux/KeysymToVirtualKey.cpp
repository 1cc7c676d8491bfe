#include "platform/linux/KeysymToVirtualKey.h"

#include <linux/input-event-codes.h>

#include <X11/keysym.h>

namespace pt {
namespace {

bool IsKeypadNavigation(std::uint32_t keysym) {
    return keysym >= XK_KP_Home && keysym <= XK_KP_Delete;  // Home ... Begin, Insert, Delete
}

bool IsKeypadValue(std::uint32_t keysym) {
    return (keysym >= XK_KP_0 && keysym <= XK_KP_9) || keysym == XK_KP_Decimal ||
           keysym == XK_KP_Separator;
}

}  // namespace

int VirtualKeyFromKeysym(std::uint32_t keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return 'A' + static_cast<int>(keysym - XK_a);
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<int>(keysym);
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<int>(keysym);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return 96 + static_cast<int>(keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym <= XK_F24) return 112 + static_cast<int>(keysym - XK_F1);
    switch (keysym) {
        case XK_BackSpace:
            return 8;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return 9;
        case XK_Clear:
        case XK_KP_Begin:
            return 12;
        case XK_Return:
        case XK_KP_Enter:
            return 13;
        case XK_Shift_L:
        case XK_Shift_R:
            return 16;
        case XK_Control_L:
        case XK_Control_R:
            return 17;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:
            return 18;
        case XK_Pause:
            return 19;
        case XK_Caps_Lock:
            return 20;
        case XK_Escape:
            return 27;
        case XK_space:
        case XK_KP_Space:
            return 32;
        case XK_Prior:
        case XK_KP_Prior:
            return 33;
        case XK_Next:
        case XK_KP_Next:
            return 34;
        case XK_End:
        case XK_KP_End:
            return 35;
        case XK_Home:
        case XK_KP_Home:
            return 36;
        case XK_Left:
        case XK_KP_Left:
            return 37;
        case XK_Up:
        case XK_KP_Up:
            return 38;
        case XK_Right:
        case XK_KP_Right:
            return 39;
        case XK_Down:
        case XK_KP_Down:
            return 40;
        case XK_Select:
            return 41;
        case XK_Print:
        case XK_Sys_Req:
            return 44;
        case XK_Insert:
        case XK_KP_Insert:
            return 45;
        case XK_Delete:
        case XK_KP_Delete:
            return 46;
        case XK_Help:
            return 47;
        case XK_Super_L:
            return 91;
        case XK_Super_R:
            return 92;
        case XK_Menu:
            return 93;
        case XK_KP_Multiply:
            return 106;
        case XK_KP_Add:
            return 107;
        case XK_KP_Subtract:
            return 109;
        // The keypad's decimal key, whichever mark the layout gives it ("." or ",").
        case XK_KP_Decimal:
        case XK_KP_Separator:
            return 110;
        case XK_KP_Divide:
            return 111;
        case XK_Num_Lock:
            return 144;
        case XK_Scroll_Lock:
            return 145;
        case XK_semicolon:
            return 186;
        case XK_equal:
            return 187;
        case XK_comma:
            return 188;
        case XK_minus:
            return 189;
        case XK_period:
            return 190;
        case XK_slash:
            return 191;
        case XK_grave:
            return 192;
        case XK_bracketleft:
            return 219;
        case XK_backslash:
            return 220;
        case XK_bracketright:
            return 221;
        case XK_apostrophe:
            return 222;
        case XK_less:  // the extra key beside the left Shift on ISO keyboards
            return 226;
        default:
            return 0;
    }
}

int VirtualKeyFromEvdevPosition(int evdevCode) {
    // Rows of the main block by evdev code: 2..13, 16..27, 30..41, 43..53.
    static constexpr unsigned char kCodes[] = {
        0,   0,   '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 189, 187, 0,   0,    // 0-15
        'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 219, 221, 0,   0,   'A', 'S',  // 16-31
        'D', 'F', 'G', 'H', 'J', 'K', 'L', 186, 222, 192, 0,   220, 'Z', 'X', 'C', 'V',  // 32-47
        'B', 'N', 'M', 188, 190, 191,                                                    // 48-53
    };
    if (evdevCode == 86) return 226;
    if (evdevCode < 0 || evdevCode >= static_cast<int>(sizeof kCodes)) return 0;
    return kCodes[evdevCode];
}

int VirtualKeyFromEvdevCode(int evdevCode, bool numLock) {
    if (const int vk = VirtualKeyFromEvdevPosition(evdevCode)) return vk;
    if (evdevCode >= KEY_F1 && evdevCode <= KEY_F10) return 112 + (evdevCode - KEY_F1);
    if (evdevCode >= KEY_F13 && evdevCode <= KEY_F24) return 124 + (evdevCode - KEY_F13);
    // Keypad: the digit with NumLock on, the navigation key under it otherwise.
    struct Keypad {
        int code, digit, navigation;
    };
    static constexpr Keypad kKeypad[] = {
        {KEY_KP0, 96, 45},  {KEY_KP1, 97, 35},  {KEY_KP2, 98, 40},    {KEY_KP3, 99, 34},
        {KEY_KP4, 100, 37}, {KEY_KP5, 101, 12}, {KEY_KP6, 102, 39},   {KEY_KP7, 103, 36},
        {KEY_KP8, 104, 38}, {KEY_KP9, 105, 33}, {KEY_KPDOT, 110, 46},
    };
    for (const Keypad& k : kKeypad)
        if (k.code == evdevCode) return numLock ? k.digit : k.navigation;
    switch (evdevCode) {
        case KEY_ESC:
            return 27;
        case KEY_BACKSPACE:
            return 8;
        case KEY_TAB:
            return 9;
        case KEY_ENTER:
        case KEY_KPENTER:
            return 13;
        case KEY_LEFTSHIFT:
        case KEY_RIGHTSHIFT:
            return 16;
        case KEY_LEFTCTRL:
        case KEY_RIGHTCTRL:
            return 17;
        case KEY_LEFTALT:
        case KEY_RIGHTALT:
            return 18;
        case KEY_PAUSE:
            return 19;
        case KEY_CAPSLOCK:
            return 20;
        case KEY_SPACE:
            return 32;
        case KEY_PAGEUP:
            return 33;
        case KEY_PAGEDOWN:
            return 34;
        case KEY_END:
            return 35;
        case KEY_HOME:
            return 36;
        case KEY_LEFT:
            return 37;
        case KEY_UP:
            return 38;
        case KEY_RIGHT:
            return 39;
        case KEY_DOWN:
            return 40;
        case KEY_SYSRQ:
        case KEY_PRINT:
            return 44;
        case KEY_INSERT:
            return 45;
        case KEY_DELETE:
            return 46;
        case KEY_HELP:
            return 47;
        case KEY_LEFTMETA:
            return 91;
        case KEY_RIGHTMETA:
            return 92;
        case KEY_COMPOSE:
            return 93;
        case KEY_KPASTERISK:
            return 106;
        case KEY_KPPLUS:
            return 107;
        case KEY_KPMINUS:
            return 109;
        case KEY_KPCOMMA:
            return 110;
        case KEY_KPSLASH:
            return 111;
        case KEY_F11:
            return 122;
        case KEY_F12:
            return 123;
        case KEY_NUMLOCK:
            return 144;
        case KEY_SCROLLLOCK:
            return 145;
        default:
            return 0;
    }
}

int VirtualKeyFor(const KeyLevels& levels, bool numLock, int xKeycode) {
    std::uint32_t keysym = levels.level0;
    if (numLock && IsKeypadNavigation(keysym) && IsKeypadValue(levels.level1))
        keysym = levels.level1;
    if (const int vk = VirtualKeyFromKeysym(keysym)) return vk;
    // Keysyms of other scripts (Cyrillic, Greek ...) and Latin characters without a code
    // of their own (AZERTY's & é " on the digit row): where the key sits.
    return VirtualKeyFromEvdevPosition(xKeycode - 8);
}

}  // namespace pt
