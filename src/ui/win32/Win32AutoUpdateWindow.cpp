#include "ui/win32/Win32AutoUpdateWindow.h"

#include "core/texts/OnlineTexts.h"
#include "platform/windows/WideText.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {
namespace {

constexpr UINT_PTR TickTimer = 1;
constexpr int Width = 520, Height = 300;

}  // namespace

Win32AutoUpdateWindow::Win32AutoUpdateWindow(HWND owner, HFONT font, Language lang,
                                             const std::string& versionText,
                                             const std::string& address,
                                             AutoUpdatePresenter::Mode mode)
    : m_presenter(m_pageTitle, lang, versionText, address, mode) {
    static const bool registered = RegisterWin32WindowClass(L"PathtallyAutoUpdate", windowProc,
                                                            GetSysColorBrush(COLOR_BTNFACE));
    if (!registered) return;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, Width, Height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    m_hwnd = CreateWindowExW(0, L"PathtallyAutoUpdate", L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                             frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                             GetModuleHandleW(nullptr), this);
    if (!m_hwnd) return;
    m_binder = std::make_unique<Win32FormBinder>(m_presenter.form(), font);
    m_binder->add(Win32FormBinder::Kind::Label, auto_update_controls::Status, m_hwnd, 12, 10,
                  Width - 24, 22);
    // The update page in the system's web control, loaded when the presenter shows it;
    // where there is no control the area says so.
    m_page = std::make_unique<Win32WebPage>(m_hwnd, RECT{12, 40, Width - 12, Height - 12}, font);
    m_page->setUnavailableText(Widen(std::string(page_texts::Unavailable.in(lang))));
    m_page->navigate(address);
    ShowWindow(m_page->handle(), SW_HIDE);
    m_binder->bindCustom(auto_update_controls::Page, [this](const Control& c) {
        if (!m_page) return;
        ShowWindow(m_page->handle(), c.visible ? SW_SHOW : SW_HIDE);
        if (c.visible) m_page->realise();
    });
    m_binder->bindCustom(auto_update_controls::Window, [this](const Control& c) {
        SetWindowTextW(m_hwnd, Widen(c.text).c_str());
        if (c.visible != (IsWindowVisible(m_hwnd) != FALSE))
            ShowWindow(m_hwnd, c.visible ? SW_SHOW : SW_HIDE);
    });
    m_binder->bindCustom(auto_update_controls::Timer, [this](const Control& c) {
        if (c.enabled)
            SetTimer(m_hwnd, TickTimer, AutoUpdatePresenter::TickMilliseconds, nullptr);
        else
            KillTimer(m_hwnd, TickTimer);
    });
    m_presenter.load();
    m_binder->syncAll();
}

Win32AutoUpdateWindow::~Win32AutoUpdateWindow() {
    destroy();
}

bool Win32AutoUpdateWindow::isVisible() const {
    return m_hwnd && IsWindowVisible(m_hwnd);
}

void Win32AutoUpdateWindow::bringToFront() {
    if (!m_hwnd) return;
    ShowWindow(m_hwnd, SW_RESTORE);
    SetForegroundWindow(m_hwnd);
}

void Win32AutoUpdateWindow::destroy() {
    if (!m_hwnd) return;
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    m_page.reset();
    KillTimer(hwnd, TickTimer);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

LRESULT CALLBACK Win32AutoUpdateWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    auto* self = WindowOwner<Win32AutoUpdateWindow>(hwnd, message, lParam);
    return self ? self->handle(hwnd, message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32AutoUpdateWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != TickTimer) break;
            m_pageTitle.poll();
            m_presenter.onTick();
            m_binder->sync();
            if (m_presenter.closeRequested()) destroy();  // nothing of this object is used after
            return 0;
        case WM_CLOSE:
            destroy();
            return 0;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(m_binder->controlColor(
                reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace pt
