#pragma once

#include <bitset>
#include <optional>

#include "core/ports/InputEvents.h"

namespace pt {

// Desktop-wide mouse-button and key presses from the low-level hooks (WH_MOUSE_LL,
// WH_KEYBOARD_LL), installed from and delivered on the thread that creates the object,
// which must run a message loop. Presses of the left, middle and right buttons pass as
// they come; keys as virtual-key codes with the left/right variants of Shift, Ctrl and Alt folded
// into the generic codes (16, 17, 18), so either Shift is the one Shift key. A held key counts
// once: its auto-repeated key-downs are not reported. At most one object is active at a time
// and each hook is installed at most once.
class WinInputEvents : public InputEvents {
public:
    WinInputEvents();
    ~WinInputEvents() override;
    WinInputEvents(const WinInputEvents&) = delete;
    WinInputEvents& operator=(const WinInputEvents&) = delete;

    bool installMouseHook(ButtonSink sink) override;
    void removeMouseHook() override;
    bool connectKeys(KeySink sink) override;
    void disconnectKeys() override;

    // The virtual-key code a key-down reports, or 0 for an auto-repeat of a held key.
    // Also called for key-ups (down = false), which end a hold.
    int keyTransition(int virtualKey, bool down);

private:
    static long long __stdcall mouseProc(int code, unsigned long long wParam, long long lParam);
    static long long __stdcall keyboardProc(int code, unsigned long long wParam, long long lParam);

    void* m_mouseHook = nullptr;
    void* m_keyboardHook = nullptr;
    ButtonSink m_buttons;
    KeySink m_keys;
    std::bitset<256> m_held;
};

// The button a low-level mouse message presses: the left, right and middle button-down
// messages; nothing for any other (moves, releases, wheels, the X buttons).
std::optional<MouseButton> ButtonPressOfMessage(unsigned message);

// The generic virtual-key code of a left or right variant (160/161 -> 16, 162/163 -> 17,
// 164/165 -> 18); any other code unchanged.
int GenericVirtualKey(int virtualKey);

}  // namespace pt
