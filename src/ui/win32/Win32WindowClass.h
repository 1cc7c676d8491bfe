#pragma once

#include <windows.h>

namespace pt {

// Registers a window class of this program in its own module; true where the class exists
// afterwards. No icon unless one is given.
inline bool RegisterWin32WindowClass(const wchar_t* name, WNDPROC proc, HBRUSH background,
                                     const wchar_t* cursor = IDC_ARROW, HICON icon = nullptr) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hIcon = icon;
    cls.hCursor = LoadCursorW(nullptr, cursor);
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    return RegisterClassExW(&cls) != 0;
}

// The object a window of this program was created for (CreateWindowExW's last argument),
// kept in the window's user data from WM_NCCREATE on; null before that and once cleared.
template <typename Owner>
Owner* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace pt
