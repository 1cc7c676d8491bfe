#include "ui/win32/Win32SiteBrowserWindow.h"

#include "core/form/OnlineControls.h"
#include "core/texts/OnlineTexts.h"
#include "core/texts/ProgramName.h"
#include "platform/windows/WideText.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {
namespace {

constexpr wchar_t WindowClass[] = L"PathtallySiteBrowser";
constexpr UINT_PTR TitleTimer = 1;
constexpr int BarHeight = 32;

}  // namespace

Win32SiteBrowserWindow::Win32SiteBrowserWindow(HWND owner, HFONT font, Language lang,
                                               const std::string& siteRoot)
    : m_font(font), m_presenter(m_browser, siteRoot) {
    static const bool registered =
        RegisterWin32WindowClass(WindowClass, windowProc, GetSysColorBrush(COLOR_BTNFACE));
    (void)registered;
    m_hwnd = CreateWindowExW(0, WindowClass, Widen(ProgramName).c_str(),
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                             960, 700, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!m_hwnd) return;
    const struct {
        int id;
        Text text;
    } buttons[] = {{BackButton, site_browser_texts::Back},
                   {ForwardButton, site_browser_texts::Forward},
                   {ReloadButton, site_browser_texts::Reload}};
    int x = 4;
    for (const auto& b : buttons) {
        HWND button = CreateWindowExW(0, L"BUTTON", Widen(b.text.in(lang)).c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 4, 84,
                                      BarHeight - 8, m_hwnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)),
                                      GetModuleHandleW(nullptr), nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
        x += 88;
    }
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_page = std::make_unique<Win32WebPage>(m_hwnd, RECT{0, BarHeight, client.right, client.bottom},
                                            m_font);
    m_page->setUnavailableText(Widen(page_texts::Unavailable.in(lang)));
    m_browser.page = m_page.get();
    m_presenter.load();
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    m_page->realise();
    showTitle();
    SetTimer(m_hwnd, TitleTimer, SiteBrowserPresenter::TickMilliseconds, nullptr);
}

Win32SiteBrowserWindow::~Win32SiteBrowserWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

void Win32SiteBrowserWindow::bringToFront() {
    if (!m_hwnd) return;
    if (IsIconic(m_hwnd)) ShowWindow(m_hwnd, SW_RESTORE);
    SetForegroundWindow(m_hwnd);
}

void Win32SiteBrowserWindow::layout() {
    if (!m_page) return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_page->move(RECT{0, BarHeight, client.right, client.bottom});
}

void Win32SiteBrowserWindow::showTitle() {
    const std::string& title = m_presenter.form().get(site_browser_controls::Window).text;
    if (title == m_shownTitle) return;
    m_shownTitle = title;
    SetWindowTextW(m_hwnd, Widen(title.empty() ? std::string(ProgramName) : title).c_str());
}

LRESULT CALLBACK Win32SiteBrowserWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    auto* self = WindowOwner<Win32SiteBrowserWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(hwnd, message, wParam, lParam);
}

LRESULT Win32SiteBrowserWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layout();
            return 0;
        case WM_TIMER:
            if (wParam == TitleTimer) {
                m_presenter.onTick();
                showTitle();
            }
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case BackButton:
                    m_page->goBack();
                    break;
                case ForwardButton:
                    m_page->goForward();
                    break;
                case ReloadButton:
                    m_page->reload();
                    break;
                case IDCANCEL:
                    DestroyWindow(hwnd);  // Esc
                    break;
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, TitleTimer);
            m_page.reset();
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            m_hwnd = nullptr;
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace pt
