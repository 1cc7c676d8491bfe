#pragma once

#include <memory>
#include <string>

#include "core/online/AutoUpdatePresenter.h"
#include "platform/windows/Win32.h"
#include "platform/windows/WinHttpPageTitle.h"
#include "ui/win32/Win32FormBinder.h"
#include "ui/win32/Win32WebPage.h"

namespace pt {

// The update check's window on plain Win32 controls, modeless: the page is read over HTTP
// (WinHTTP, no browser), the presenter ticks every 200 ms and decides when the window
// shows and what it says; the page itself is shown in the system's web control once the
// presenter shows its area. The window destroys itself when the presenter asks to close or the user
// closes it; finished() then holds.
class Win32AutoUpdateWindow {
public:
    Win32AutoUpdateWindow(HWND owner, HFONT font, Language lang, const std::string& versionText,
                          const std::string& address, AutoUpdatePresenter::Mode mode);
    ~Win32AutoUpdateWindow();
    Win32AutoUpdateWindow(const Win32AutoUpdateWindow&) = delete;
    Win32AutoUpdateWindow& operator=(const Win32AutoUpdateWindow&) = delete;

    AutoUpdatePresenter& presenter() { return m_presenter; }
    bool finished() const { return m_hwnd == nullptr; }
    bool isVisible() const;
    void bringToFront();

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void destroy();

    WinHttpPageTitle m_pageTitle;
    AutoUpdatePresenter m_presenter;
    std::unique_ptr<Win32FormBinder> m_binder;
    std::unique_ptr<Win32WebPage> m_page;
    HWND m_hwnd = nullptr;
};

}  // namespace pt
