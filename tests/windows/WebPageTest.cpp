// The page areas of the Windows views: the system's web control hosted in place, under Wine
// (its WebBrowser control fetches pages through the system's own URL stack, so a local
// site sees each navigation), and the text shown where no control can be created.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/windows/Win32.h"
#include "ui/win32/Win32SiteBrowserWindow.h"
#include "ui/win32/Win32WebPage.h"
#include "windows/PumpUntil.h"
#include "windows/ScriptedSite.h"

namespace pt {
namespace {

HWND TopWindow() {
    return CreateWindowExW(0, L"STATIC", L"web page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           500, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

SIZE ClientSize(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST(Win32WebPage, LoadsOnlyOnceRealisedThenFollowsNavigationAndItsArea) {
    ScriptedSite site;
    ASSERT_TRUE(site.up()) << "the scripted site did not start";
    OleApartment ole;
    HWND top = TopWindow();
    {
        Win32WebPage page(top, RECT{0, 0, 400, 200}, nullptr);
        page.setUnavailableText(L"cannot be shown");
        page.navigate(site.url("/pt/h1/"));
        EXPECT_FALSE(page.hostsBrowser()) << "the control is created only when the area is seen";
        EXPECT_EQ(page.requestedUrl(), site.url("/pt/h1/"));

        page.realise();
        ASSERT_TRUE(page.hostsBrowser()) << "the system web control could not be created";
        EXPECT_FALSE(page.unavailable());
        EXPECT_TRUE(PumpUntil([&] { return site.requested("/pt/h1/"); }))
            << "the waiting page was not loaded";
        HWND control = GetWindow(page.handle(), GW_CHILD);
        ASSERT_NE(control, nullptr) << "the control did not activate inside the area";

        page.navigate(site.url("/current"));
        EXPECT_TRUE(PumpUntil([&] { return site.requested("/current"); }))
            << "a later address did not reach the live control";

        page.move(RECT{0, 0, 300, 120});
        EXPECT_TRUE(PumpUntil([&] {
            const SIZE s = ClientSize(control);
            return s.cx == 300 && s.cy == 120;
        })) << "the control does not follow its area";
    }
    DestroyWindow(top);
}

TEST(Win32WebPage, SaysThePageCannotBeShownWhereNoControlCanBeCreated) {
    // A class no system registers stands for a system without a web control.
    const CLSID missing = {
        0x6b1e3f1a, 0x52c4, 0x4d0e, {0x9a, 0x61, 0x0f, 0x3c, 0x27, 0x88, 0x14, 0xd5}};
    OleApartment ole;
    bool failed = false, hosts = true;
    std::wstring shown;
    {
        HWND top = TopWindow();
        {
            Win32WebPage page(top, RECT{0, 0, 400, 200}, nullptr, &missing);
            page.navigate("http://127.0.0.1:9/");
            page.setUnavailableText(L"first text");
            page.realise();
            page.setUnavailableText(L"cannot be shown");  // the language is known later
            failed = page.unavailable();
            hosts = page.hostsBrowser();
            wchar_t text[64] = {};
            GetWindowTextW(GetWindow(page.handle(), GW_CHILD), text, 64);
            shown = text;
        }
        DestroyWindow(top);
    }
    EXPECT_TRUE(failed);
    EXPECT_FALSE(hosts);
    EXPECT_EQ(shown, L"cannot be shown");
}

}  // namespace
}  // namespace pt

namespace pt {
namespace {

TEST(Win32SiteBrowserWindow, LoadsTheSiteAndFollowsNavigation) {
    ScriptedSite site;
    ASSERT_TRUE(site.up()) << "the scripted site did not start";
    OleApartment ole;
    Win32SiteBrowserWindow window(nullptr, nullptr, Language::Simplified, site.url("/"));
    ASSERT_TRUE(window.open());
    ASSERT_TRUE(window.page().hostsBrowser()) << "the system web control could not be created";
    EXPECT_TRUE(PumpUntil([&] { return site.requested("/"); })) << "the site was not loaded";
    window.page().navigate(site.url("/pt/news/"));
    EXPECT_TRUE(PumpUntil([&] { return site.requested("/pt/news/"); }));
    // The buttons reach the control (Wine's has no history to move through here).
    SendMessageW(window.handle(), WM_COMMAND, Win32SiteBrowserWindow::BackButton, 0);
    SendMessageW(window.handle(), WM_COMMAND, Win32SiteBrowserWindow::ReloadButton, 0);
    EXPECT_TRUE(window.page().hostsBrowser());
    // Esc closes it.
    SendMessageW(window.handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(window.open());
}

}  // namespace
}  // namespace pt
