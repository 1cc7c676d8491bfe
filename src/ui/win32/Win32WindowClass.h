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

}  // namespace pt
