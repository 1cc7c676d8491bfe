#include "ui/win32/Win32AboutBox.h"

#include "core/online/Site.h"
#include "core/shell/AboutPresenter.h"
#include "core/texts/ProgramName.h"
#include "platform/windows/WideText.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {
namespace {

using Kind = Win32FormBinder::Kind;

constexpr int LogoWidth = 112;
constexpr int FrameHeight = 150;
constexpr int StripHeight = 260;
constexpr int TwipsPerPixel = 15;

HFONT g_logoFont = nullptr;  // the dialog's font, for the names under the icon
HICON g_logoIcon = nullptr;  // loaded once per box, not at every repaint

// Whole pixels of a position in twips, rounded down also below zero.
int TwipsToPixels(int twips) {
    return twips >= 0 ? twips / TwipsPerPixel : -((-twips + TwipsPerPixel - 1) / TwipsPerPixel);
}

// The logo frame: the program's icon and the product and maker names, one above the
// other, drawn at the presenter's strip position; a border while the pointer is on it.
LRESULT CALLBACK LogoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* presenter = reinterpret_cast<AboutPresenter*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT all;
            GetClientRect(hwnd, &all);
            HBRUSH sky = CreateSolidBrush(RGB(0xDC, 0xEA, 0xF7));
            FillRect(dc, &all, sky);
            DeleteObject(sky);
            if (presenter) {
                const int top = TwipsToPixels(presenter->logoTop());
                if (g_logoIcon)
                    DrawIconEx(dc, (LogoWidth - 64) / 2, top + 24, g_logoIcon, 64, 64, 0, nullptr,
                               DI_NORMAL);
                SetBkMode(dc, TRANSPARENT);
                if (g_logoFont) SelectObject(dc, g_logoFont);
                SetTextColor(dc, RGB(0x1F, 0x3F, 0x66));
                RECT name{0, top + 182, LogoWidth, top + 208};
                static const std::wstring programName = Widen(ProgramName);
                static const std::wstring makerName = Widen(MakerName);
                DrawTextW(dc, programName.c_str(), -1, &name,
                          DT_CENTER | DT_SINGLELINE | DT_VCENTER);
                SetTextColor(dc, RGB(0x55, 0x66, 0x77));
                RECT maker{0, top + 212, LogoWidth, top + 232};
                DrawTextW(dc, makerName.c_str(), -1, &maker,
                          DT_CENTER | DT_SINGLELINE | DT_VCENTER);
                if (presenter->logoBorder())
                    FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWTEXT));
            }
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (presenter) presenter->onPointerOverLogo();
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            if (presenter) presenter->click(about_controls::LogoFrame);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RunWin32AboutBox(HWND owner, HFONT font, AboutPresenter& presenter) {
    static const bool registered =
        RegisterWin32WindowClass(L"PathtallyLogo", LogoProc, nullptr, IDC_HAND);
    g_logoFont = font;
    g_logoIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 64, 64, 0));
    presenter.setLogoGeometry(FrameHeight * TwipsPerPixel, StripHeight * TwipsPerPixel);
    HWND logo = nullptr;
    Win32DialogSpec spec{
        about_controls::Window,
        470,
        214,
        [&](Win32FormBinder& b, HWND d) {
            if (registered) {
                logo = CreateWindowExW(
                    WS_EX_CLIENTEDGE, L"PathtallyLogo", L"", WS_CHILD | WS_VISIBLE, 16, 16,
                    LogoWidth + 4, FrameHeight + 4, d, nullptr, GetModuleHandleW(nullptr), nullptr);
                SetWindowLongPtrW(logo, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&presenter));
            }
            const int x = 148, w = 306;
            using namespace about_controls;
            b.add(Kind::Label, VersionAndMaker, d, x, 16, w, 20);
            b.add(Kind::Label, Version, d, x, 40, w, 20);
            b.add(Kind::Label, ComputerAndUser, d, x, 64, w, 20);
            b.add(Kind::Label, SiteCaption, d, x, 88, 80, 20);
            b.add(Kind::Link, Site, d, x + 82, 88, w - 82, 20);
            b.add(Kind::Label, BackupSiteCaption, d, x, 112, 80, 20);
            b.add(Kind::Link, BackupSite, d, x + 82, 112, w - 82, 20);
            b.add(Kind::Link, Mail, d, x, 136, w, 20);
            for (ControlId link : {Site, BackupSite, Mail}) b.setTextColor(link, RGB(0, 0, 0xff));
            b.add(Kind::Button, Ok, d, 364, 176, 90, 28);
        },
        [&presenter](ControlId id) { presenter.click(id); },
        [] {},
        [&presenter] { return presenter.closeRequested(); }};
    Win32DialogMotion motion{AboutPresenter::TimerIntervalMs,
                             [&presenter, &logo] {
                                 const int before = TwipsToPixels(presenter.logoTop());
                                 presenter.onScrollTick();
                                 if (logo && TwipsToPixels(presenter.logoTop()) != before)
                                     InvalidateRect(logo, nullptr, FALSE);
                             },
                             [&presenter, &logo] {
                                 presenter.onPointerOverWindow();
                                 if (logo) InvalidateRect(logo, nullptr, FALSE);
                             }};
    RunWin32Dialog(owner, font, presenter.form(), spec, motion);
    if (g_logoIcon) DestroyIcon(g_logoIcon);
    g_logoIcon = nullptr;
}

}  // namespace pt
