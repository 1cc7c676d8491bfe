#pragma once

#include <functional>
#include <string>

#include "ui/win32/Win32FormBinder.h"

namespace pt {

// A modal dialog of bound controls: the owner is disabled while it runs, the close box
// counts as cancel, and it ends once closeRequested() holds after a click.
struct Win32DialogSpec {
    ControlId title;  // the control whose text is the window title
    int width = 400;
    int height = 200;
    std::function<void(Win32FormBinder&, HWND)> build;
    std::function<void(ControlId)> click;
    std::function<void()> cancel;
    std::function<bool()> closeRequested;
};

// What some dialogs add: a timer that calls tick every tickMs while the dialog runs, and
// the pointer moving over the dialog itself (not over its controls).
struct Win32DialogMotion {
    unsigned tickMs = 0;
    std::function<void()> tick;
    std::function<void()> mouseMove;
};

void RunWin32Dialog(HWND owner, HFONT font, FormModel& model, const Win32DialogSpec& spec,
                    const Win32DialogMotion& motion = {});

}  // namespace pt
