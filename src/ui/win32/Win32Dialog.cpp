#include "ui/win32/Win32Dialog.h"

#include "platform/windows/WideText.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {
namespace {

struct DialogState {
    Win32FormBinder* binder;
    const Win32DialogSpec* spec;
    const Win32DialogMotion* motion;
    bool done = false;
};

LRESULT CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            if (state && state->binder->command(wParam, lParam)) return 0;
            if (state && LOWORD(wParam) == IDCANCEL) {  // Esc, as the close box
                state->spec->cancel();
                state->done = true;
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (state)
                return reinterpret_cast<LRESULT>(state->binder->controlColor(
                    reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
            break;
        case WM_TIMER:
            if (state && state->motion->tick) {
                state->motion->tick();
                state->binder->sync();
            }
            return 0;
        case WM_MOUSEMOVE:
            if (state && state->motion->mouseMove) state->motion->mouseMove();
            return 0;
        case WM_CLOSE:
            if (state) {
                state->spec->cancel();
                state->done = true;
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void RunWin32Dialog(HWND owner, HFONT font, FormModel& model, const Win32DialogSpec& spec,
                    const Win32DialogMotion& motion) {
    static const bool registered =
        RegisterWin32WindowClass(L"PathtallyDialog", DialogProc, GetSysColorBrush(COLOR_BTNFACE));
    if (!registered) return;
    DialogState state{nullptr, &spec, &motion};
    Win32FormBinder binder(model, font, [&](ControlId id) {
        spec.click(id);
        binder.sync();
        if (spec.closeRequested()) state.done = true;
    });
    state.binder = &binder;
    RECT frame{0, 0, spec.width, spec.height};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    RECT ownerRect{};
    if (owner) GetWindowRect(owner, &ownerRect);
    HWND hwnd =
        CreateWindowExW(WS_EX_DLGMODALFRAME, L"PathtallyDialog", L"", style, ownerRect.left + 60,
                        ownerRect.top + 60, frame.right - frame.left, frame.bottom - frame.top,
                        owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    binder.bindCustom(spec.title,
                      [hwnd](const Control& c) { SetWindowTextW(hwnd, Widen(c.text).c_str()); });
    spec.build(binder, hwnd);
    binder.syncAll();
    constexpr UINT_PTR TickTimer = 1;
    if (motion.tickMs && motion.tick) SetTimer(hwnd, TickTimer, motion.tickMs, nullptr);
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (!state.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (motion.tickMs && motion.tick) KillTimer(hwnd, TickTimer);
    if (owner) EnableWindow(owner, TRUE);
    DestroyWindow(hwnd);
    if (owner) SetForegroundWindow(owner);
}

}  // namespace pt
