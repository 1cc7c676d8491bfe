#pragma once

#include <memory>
#include <string>

#include "core/online/SiteBrowserPresenter.h"
#include "core/texts/Language.h"
#include "platform/windows/Win32.h"
#include "ui/win32/Win32WebPage.h"

namespace pt {

// The small browser on the product website, on Win32: the page in the system's web control
// under back, forward and reload buttons; the window's title follows the page's, as the
// presenter decides every 100 ms. Modeless; closing it destroys it (open() is then false).
class Win32SiteBrowserWindow {
public:
    Win32SiteBrowserWindow(HWND owner, HFONT font, Language lang, const std::string& siteRoot);
    ~Win32SiteBrowserWindow();
    Win32SiteBrowserWindow(const Win32SiteBrowserWindow&) = delete;
    Win32SiteBrowserWindow& operator=(const Win32SiteBrowserWindow&) = delete;

    bool open() const { return m_hwnd != nullptr; }
    HWND handle() const { return m_hwnd; }
    void bringToFront();
    Win32WebPage& page() { return *m_page; }

    enum Control : int { BackButton = 101, ForwardButton, ReloadButton };

private:
    // The presenter's browser: the page in the web control.
    class PageBrowser : public Browser {
    public:
        Win32WebPage* page = nullptr;
        void navigate(const std::string& url) override {
            if (page) page->navigate(url);
        }
        std::string title() const override { return page ? page->title() : std::string(); }
        void onTitleChanged(std::function<void(const std::string&)>) override {}
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void layout();
    void showTitle();

    HFONT m_font;
    PageBrowser m_browser;
    SiteBrowserPresenter m_presenter;
    std::unique_ptr<Win32WebPage> m_page;
    HWND m_hwnd = nullptr;
    std::string m_shownTitle;
};

}  // namespace pt
