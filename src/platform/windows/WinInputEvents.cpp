#include "platform/windows/WinInputEvents.h"

#include "platform/windows/Win32.h"

namespace pt {
namespace {

WinInputEvents* g_active = nullptr;  // hook procedures carry no context of their own

}  // namespace

std::optional<MouseButton> ButtonPressOfMessage(unsigned message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return MouseButton::Left;
        case WM_RBUTTONDOWN:
            return MouseButton::Right;
        case WM_MBUTTONDOWN:
            return MouseButton::Middle;
        default:
            return std::nullopt;
    }
}

int GenericVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return virtualKey;
    }
}

WinInputEvents::WinInputEvents() {
    g_active = this;
}

WinInputEvents::~WinInputEvents() {
    removeMouseHook();
    disconnectKeys();
    if (g_active == this) g_active = nullptr;
}

long long __stdcall WinInputEvents::mouseProc(int code, unsigned long long wParam,
                                              long long lParam) {
    if (code == HC_ACTION && g_active && g_active->m_buttons) {
        if (const std::optional<MouseButton> button =
                ButtonPressOfMessage(static_cast<unsigned>(wParam)))
            g_active->m_buttons(*button);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

long long __stdcall WinInputEvents::keyboardProc(int code, unsigned long long wParam,
                                                 long long lParam) {
    if (code == HC_ACTION && g_active && g_active->m_keys) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        if (const int key = g_active->keyTransition(static_cast<int>(info->vkCode), down))
            g_active->m_keys(key);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int WinInputEvents::keyTransition(int virtualKey, bool down) {
    if (virtualKey <= 0 || virtualKey > 255) return 0;
    const bool wasHeld = m_held.test(static_cast<size_t>(virtualKey));
    m_held.set(static_cast<size_t>(virtualKey), down);
    return down && !wasHeld ? GenericVirtualKey(virtualKey) : 0;
}

bool WinInputEvents::installMouseHook(ButtonSink sink) {
    m_buttons = std::move(sink);
    if (!m_mouseHook)
        m_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, &mouseProc, GetModuleHandleW(nullptr), 0);
    return m_mouseHook != nullptr;
}

void WinInputEvents::removeMouseHook() {
    if (m_mouseHook) UnhookWindowsHookEx(static_cast<HHOOK>(m_mouseHook));
    m_mouseHook = nullptr;
    m_buttons = nullptr;
}

bool WinInputEvents::connectKeys(KeySink sink) {
    m_keys = std::move(sink);
    if (!m_keyboardHook)
        m_keyboardHook =
            SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardProc, GetModuleHandleW(nullptr), 0);
    return m_keyboardHook != nullptr;
}

void WinInputEvents::disconnectKeys() {
    if (m_keyboardHook) UnhookWindowsHookEx(static_cast<HHOOK>(m_keyboardHook));
    m_keyboardHook = nullptr;
    m_keys = nullptr;
    m_held.reset();
}

}  // namespace pt
