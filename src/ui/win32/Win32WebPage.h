#pragma once

#include <memory>
#include <string>

#include "platform/windows/Win32.h"

namespace pt {

class BrowserSite;

// OLE for this thread while it lives (the web control is an in-place OLE object).
class OleApartment {
public:
    OleApartment();
    ~OleApartment();
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;

private:
    bool m_initialised;
};

// A page area that shows a web page in the system's web control (the WebBrowser ActiveX
// control, hosted in place), or a line of text saying that the page cannot be shown where
// the control cannot be created. Costs nothing until it is realised: the control is created
// the first time the area is to be seen with an address waiting (the program started
// hidden in the tray never loads it), and then navigates to the last address requested.
// Needs COM initialised for the thread (OleInitialize) before realise().
class Win32WebPage {
public:
    // `control` names the COM class to host; the system's WebBrowser control when null.
    Win32WebPage(HWND parent, RECT area, HFONT font, const CLSID* control = nullptr);
    ~Win32WebPage();
    Win32WebPage(const Win32WebPage&) = delete;
    Win32WebPage& operator=(const Win32WebPage&) = delete;

    HWND handle() const { return m_area; }
    // Whether the system's web control can be created here (asked once per process).
    static bool controlAvailable();

    // Remembers the address; navigates at once where the control is live.
    void navigate(const std::string& url);
    // The shown page's title (empty without the control or before a page has one), and the
    // browser's moves through its history.
    std::string title() const;
    void goBack();
    void goForward();
    void reload();
    // Creates the control (once) and loads the waiting address; call when the area is shown.
    void realise();
    // The text shown instead of the page where no web control can be created.
    void setUnavailableText(const std::wstring& text);
    void move(RECT area);

    // The control is live in the area (false before realise() and where creation failed).
    bool hostsBrowser() const { return m_site != nullptr; }
    bool unavailable() const { return m_failed; }
    const std::string& requestedUrl() const { return m_url; }

private:
    static LRESULT CALLBACK areaProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void createBrowser();
    void showUnavailable();

    HWND m_area = nullptr;
    HWND m_text = nullptr;
    HFONT m_font = nullptr;
    const CLSID* m_control = nullptr;
    BrowserSite* m_site = nullptr;  // COM object: released, never deleted
    std::string m_url;
    std::wstring m_unavailableText;
    bool m_failed = false;
};

}  // namespace pt
