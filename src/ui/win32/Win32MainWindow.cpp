#include "ui/win32/Win32MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "core/form/MainControls.h"
#include "core/form/ShutdownControls.h"
#include "core/shell/MainMenus.h"
#include "core/texts/MainWindowTexts.h"
#include "core/texts/OnlineTexts.h"
#include "core/texts/ProgramName.h"
#include "platform/windows/WideText.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {

using namespace main_controls;
namespace {

using Kind = Win32FormBinder::Kind;

constexpr int TabWidth = 660;
constexpr int TabHeight = 460;
constexpr int HomeHeight = 80;
constexpr UINT SamplingTimer = 1, SecondTimer = 2, CountdownTimer = 3;
// The display tick folds in what the pointer source measured and repaints what changed, 4
// times a second whether the window is shown or hidden, as on Linux: the figures are read
// at that rate, and each tick of a shown window costs a wake-up and a repaint of the
// changed controls.
constexpr UINT DisplayTickMs = 250;
constexpr UINT TrayMessage = WM_APP + 1;
constexpr UINT TrayId = 1;

constexpr COLORREF Blue = RGB(0, 0, 0xd0), Left = RGB(0xc0, 0, 0xc0), Middle = RGB(0, 0x80, 0),
                   Right = RGB(0xd0, 0, 0), Red = RGB(0xd0, 0, 0);

// A face that has the Chinese characters: the system's own where it has one, else one of
// the Noto families (Wine on Debian finds these through fontconfig).
HFONT MakeFont() {
    HDC dc = GetDC(nullptr);
    std::wstring chosen;
    for (const wchar_t* face : {L"Microsoft YaHei UI", L"SimSun", L"Noto Sans CJK SC",
                                L"Noto Sans CJK TC", L"Noto Serif CJK SC"}) {
        LOGFONTW want{};
        want.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(want.lfFaceName, face, LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(
            dc, &want,
            [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
                *reinterpret_cast<bool*>(found) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = face;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    if (chosen.empty()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, chosen.c_str());
}

}  // namespace

Win32MainWindow::Win32MainWindow(MainServices services, MainParts& parts) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The program's own icon (resource 1); a build without it shows the generic one.
    m_icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!m_icon) m_icon = LoadIconW(nullptr, IDI_APPLICATION);
    RegisterWin32WindowClass(L"PathtallyMain", windowProc, GetSysColorBrush(COLOR_BTNFACE),
                             IDC_ARROW, m_icon);
    // The pages take the tab control's body colour.
    RegisterWin32WindowClass(L"PathtallyPage", pageProc, GetSysColorBrush(COLOR_WINDOW));

    m_font = MakeFont();
    if (!services.notifier) services.notifier = this;
    m_keepsDayHistory = services.history != nullptr;
    m_presenter = std::make_unique<MainPresenter>(services, parts, *this, m_commands);
    m_binder = std::make_unique<Win32FormBinder>(m_presenter->form(), m_font,
                                                 [this](ControlId id) { dispatch(id); });
    m_hwnd = CreateWindowExW(
        0, L"PathtallyMain", Widen(ProgramName).c_str(),
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
        CW_USEDEFAULT, TabWidth, TabHeight, nullptr, nullptr, instance, this);
    createControls();
}

Win32MainWindow::~Win32MainWindow() {
    trayIcon(NIM_DELETE);
    m_home.reset();  // the web controls close while their windows still exist
    m_news.reset();
    if (m_hwnd) DestroyWindow(m_hwnd);
}

void Win32MainWindow::createControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                             TabWidth, TabHeight, m_hwnd, nullptr, instance, nullptr);
    SendMessageW(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    for (int i = 0; i < MainTabCount; ++i) {
        m_pages[i] = CreateWindowExW(WS_EX_CONTROLPARENT, L"PathtallyPage", L"", WS_CHILD, 4, 28,
                                     TabWidth - 8, TabHeight - 32, m_hwnd, nullptr, instance, this);
        m_binder->bindCustom(main_controls::Tabs[i], [this, i](const Control& c) {
            m_tabText[i] = Widen(c.text);
            rebuildTabs();
        });
    }
    buildStatisticsPage(m_pages[TabIndex(MainTab::Statistics)]);
    buildShutdownPage(m_pages[TabIndex(MainTab::Shutdown)]);
    // The home strip under the tabs and the news page fill their areas with the system's
    // web control when they are first seen; where it cannot be created they say so.
    RECT newsArea;
    HWND newsPage = m_pages[TabIndex(MainTab::News)];
    GetClientRect(newsPage, &newsArea);
    m_news = std::make_unique<Win32WebPage>(newsPage, newsArea, m_font);
    m_home = std::make_unique<Win32WebPage>(
        m_hwnd, RECT{0, TabHeight, TabWidth, TabHeight + HomeHeight}, m_font);

    // The status bar: sunken panels along the bottom edge, each a label of its own, so that
    // a panel whose text changes repaints alone (a common-controls status bar repaints whole,
    // at once, for every text it is given, and some panels change twice a second).
    for (int i = 0; i < StatusPanelCount; ++i) {
        const ControlId panel = main_controls::Panels[i];
        m_panels[i] = m_binder->add(panel == MakerPanel ? Kind::LinkPanel : Kind::Panel, panel,
                                    m_hwnd, 0, 0, 1, 1);
    }
    layOutPanels();

    m_binder->bindCustom(
        Window, [this](const Control& c) { SetWindowTextW(m_hwnd, Widen(c.text).c_str()); });
    m_binder->bindCustom(TrayIcon, [this](const Control& c) { setTrayTip(Widen(c.toolTip)); });
    buildMenus();
    trayIcon(NIM_ADD);
}

void Win32MainWindow::layOutPanels() {
    // Where each panel ends; the last one reaches the right edge.
    constexpr int PanelEnds[StatusPanelCount] = {200, 320, 430, 540, -1};
    RECT client{};
    GetClientRect(m_hwnd, &client);
    TEXTMETRICW metrics{};
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, m_font);
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
    const int height = metrics.tmHeight + 8;
    int left = 0;
    for (int i = 0; i < StatusPanelCount; ++i) {
        const int right = PanelEnds[i] < 0 ? client.right : PanelEnds[i];
        MoveWindow(m_panels[i], left, client.bottom - height, right - left, height, TRUE);
        left = right;
    }
}

void Win32MainWindow::buildStatisticsPage(HWND p) {
    Win32FormBinder& b = *m_binder;
    b.add(Kind::Group, TravelFrame, p, 6, 4, 380, 112);
    const ControlId travel[4][2] = {{TodayTravelCaption, TodayTravel},
                                    {TotalTravelCaption, TotalTravel},
                                    {PositionCaption, Position},
                                    {TravelRecordCaption, TravelRecord}};
    for (int row = 0; row < 4; ++row) {
        b.add(Kind::Label, travel[row][0], p, 16, 24 + row * 21, 132, 20);
        b.add(Kind::Label, travel[row][1], p, 150, 24 + row * 21, 230, 20);
        b.setTextColor(travel[row][1], Blue);
    }
    b.add(Kind::Group, KeysFrame, p, 392, 4, 254, 112);
    b.add(Kind::Label, TodayKeys, p, 402, 26, 236, 20);
    b.add(Kind::Label, TotalKeys, p, 402, 50, 236, 20);

    b.add(Kind::Group, ClicksFrame, p, 6, 120, 640, 86);
    const auto& line1 = TodayClickLineLabels;
    const auto& line2 = TotalClickLineLabels;
    b.addChain(line1, p, 16, 140, 20);
    b.addChain(line2, p, 16, 161, 20);
    for (const auto* line : {&line1, &line2}) {
        const COLORREF colors[15] = {0,      Blue,   0, Left,  Left,  Left,  0, Middle,
                                     Middle, Middle, 0, Right, Right, Right, 0};
        for (size_t i = 0; i < std::size(*line); ++i)
            if (colors[i]) b.setTextColor((*line)[i], colors[i]);
    }
    b.add(Kind::Label, ClickRecord, p, 16, 182, 620, 20);

    b.add(Kind::Group, TimeFrame, p, 6, 210, 640, 66);
    const ControlId time[4][2] = {{TodayUseTimeCaption, TodayUseTime},
                                  {TotalUseTimeCaption, TotalUseTime},
                                  {UptimeCaption, Uptime},
                                  {UseTimeRecordCaption, UseTimeRecord}};
    for (int i = 0; i < 4; ++i) {
        const int x = 16 + (i % 2) * 316, y = 230 + (i / 2) * 21;
        b.add(Kind::Label, time[i][0], p, x, y, 150, 20);
        b.add(Kind::Label, time[i][1], p, x + 152, y, 156, 20);
        b.setTextColor(time[i][1], Blue);
    }

    b.add(Kind::CheckBox, StartInTray, p, 8, 284, 210, 22);
    b.add(Kind::Label, LevelCaption, p, 222, 287, 66, 20);
    b.add(Kind::Label, Level, p, 288, 287, 48, 20);
    b.add(Kind::Label, PointsCaption, p, 338, 287, 72, 20);
    b.add(Kind::Label, Points, p, 410, 287, 104, 20);
    b.add(Kind::Link, RankingLink, p, 516, 287, 70, 20);
    b.add(Kind::Label, TestModeMark, p, 588, 287, 58, 20);
    for (ControlId red : {Level, Points, TestModeMark}) b.setTextColor(red, Red);
    b.setTextColor(RankingLink, RGB(0, 0, 0xff));
}

void Win32MainWindow::buildShutdownPage(HWND p) {
    using namespace shutdown_controls;
    Win32FormBinder& b = *m_binder;
    b.add(Kind::Group, RulesFrame, p, 6, 4, 640, 340);
    auto buttons = [&](ControlId enable, ControlId cancel, int y) {
        b.add(Kind::Button, enable, p, 530, y - 2, 104, 24);
        b.add(Kind::Button, cancel, p, 530, y - 2, 104, 24);
    };
    b.add(Kind::CheckBox, CountdownBox, p, 16, 24, 170, 22);
    b.add(Kind::Edit, CountdownMinutes, p, 190, 24, 64, 22);
    b.add(Kind::Label, CountdownUnit, p, 260, 27, 260, 20);
    buttons(StartCountdown, StopCountdown, 24);
    b.add(Kind::Label, CountdownWarning, p, 16, 50, 612, 36);
    b.setTextColor(CountdownWarning, Red);
    for (ClockRule clockRule : ClockRules) {
        const RuleControls& rule = Rule(clockRule);
        const int y = 92 + static_cast<int>(Place(clockRule)) * 31;
        b.add(Kind::CheckBox, rule.box, p, 16, y, 170, 22);
        int x = 190;
        auto field = [&](ControlId edit, ControlId label) {
            b.add(Kind::Edit, edit, p, x, y, 44, 22);
            b.add(Kind::Label, label, p, x + 48, y + 3, 30, 20);
            x += 82;
        };
        if (rule.fieldCount == 4) {
            field(rule.fields[0], MonthLabel);
            field(rule.fields[1], DayLabel);
        }
        field(rule.hour(), rule.hourLabel);
        field(rule.minute(), rule.minuteLabel);
        buttons(rule.enable, rule.cancel, y);
    }
    b.add(Kind::Group, PowerFrame, p, 6, 350, 640, 64);
    b.add(Kind::Button, LogOffNow, p, 40, 374, 170, 28);
    b.add(Kind::Button, RebootNow, p, 240, 374, 170, 28);
    b.add(Kind::Button, PowerOffNow, p, 440, 374, 170, 28);
}

HACCEL Win32MainWindow::createAccelerators() {
    std::vector<ACCEL> keys;
    auto add = [&](std::span<const MenuEntry> entries) {
        for (const MenuEntry& entry : entries) {
            if (entry.neverShown || entry.shortcut.key == MenuShortcut::Key::None) continue;
            WORD key = 0;
            switch (entry.shortcut.key) {
                case MenuShortcut::Key::F1:
                    key = VK_F1;
                    break;
                case MenuShortcut::Key::F2:
                    key = VK_F2;
                    break;
                case MenuShortcut::Key::F3:
                    key = VK_F3;
                    break;
                case MenuShortcut::Key::X:
                    key = 'X';
                    break;
                case MenuShortcut::Key::None:
                    break;
            }
            const BYTE flags = FVIRTKEY | (entry.shortcut.control ? FCONTROL : 0);
            keys.push_back({flags, key, static_cast<WORD>(m_binder->menuCommand(entry.id))});
        }
    };
    for (const MenuTree& tree : main_menus::Bar) add(tree.entries);
    add(main_menus::Tray);
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void Win32MainWindow::buildMenus() {
    Win32FormBinder& b = *m_binder;
    // Win32 menus cannot hide an item (a hidden one is greyed): entries that are never
    // shown, or need a day history where none is kept, get no item; they keep their names
    // in the model.
    auto fill = [&](std::span<const MenuEntry> entries) {
        HMENU menu = CreatePopupMenu();
        for (const MenuEntry& entry : entries) {
            if (entry.neverShown || (entry.needsDayHistory && !m_keepsDayHistory)) continue;
            if (entry.kind == MenuEntry::Kind::Separator)
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            else
                AppendMenuW(menu, MF_STRING, b.menuCommand(entry.id), L"-");
        }
        b.bindMenu(menu);
        return menu;
    };
    m_menuBar = CreateMenu();
    for (const MenuTree& tree : main_menus::Bar)
        AppendMenuW(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(fill(tree.entries)), L"-");
    m_rightMenu = fill(main_menus::Tray);
    for (UINT i = 0; i < std::size(main_menus::Bar); ++i)
        b.bindCustom(main_menus::Bar[i].title, [this, i](const Control& c) {
            const std::wstring text = Widen(c.text);
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STRING;
            info.dwTypeData = const_cast<wchar_t*>(text.c_str());
            SetMenuItemInfoW(m_menuBar, i, TRUE, &info);
            DrawMenuBar(m_hwnd);
        });
    SetMenu(m_hwnd, m_menuBar);
}

void Win32MainWindow::rebuildTabs() {
    SendMessageW(m_tabs, TCM_DELETEALLITEMS, 0, 0);
    int position = 0, selected = -1;
    for (int i = 0; i < MainTabCount; ++i) {
        if (!m_tabShown[i]) continue;
        TCITEMW tab{};
        tab.mask = TCIF_TEXT | TCIF_PARAM;
        tab.pszText = m_tabText[i].data();
        tab.lParam = i;
        SendMessageW(m_tabs, TCM_INSERTITEMW, static_cast<WPARAM>(position),
                     reinterpret_cast<LPARAM>(&tab));
        if (i == m_current) selected = position;
        ++position;
    }
    if (selected < 0) {
        selected = 0;
        for (int i = 0; i < MainTabCount; ++i)
            if (m_tabShown[i]) {
                m_current = i;
                break;
            }
    }
    SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
    showPage(m_current);
}

void Win32MainWindow::showPage(int index) {
    m_current = index;
    for (int i = 0; i < MainTabCount; ++i) ShowWindow(m_pages[i], i == index ? SW_SHOW : SW_HIDE);
    if (index == TabIndex(MainTab::News) && isWindowVisible()) m_news->realise();
}

void Win32MainWindow::start() {
    m_presenter->start();
    const std::wstring unavailable =
        Widen(std::string(page_texts::Unavailable.in(m_presenter->lang())));
    m_home->setUnavailableText(unavailable);
    m_news->setUnavailableText(unavailable);
    m_binder->syncAll();
    SetTimer(m_hwnd, SamplingTimer, DisplayTickMs, nullptr);
    SetTimer(m_hwnd, SecondTimer, secondTickMs, nullptr);
}

void Win32MainWindow::showAtStart() {
    if (!m_presenter->startsHidden() || !m_trayAdded) showWindow(true);
}

std::vector<std::string> Win32MainWindow::controlsWithoutCommand() const {
    return m_commands.withoutCommand(m_binder->clickableControls());
}

void Win32MainWindow::dispatch(ControlId id) {
    m_commands.run(id);
    m_binder->sync();
}

void Win32MainWindow::trayIcon(DWORD action, bool tipOnly) {
    if (action == NIM_DELETE && !m_trayAdded) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hwnd;
    data.uID = TrayId;
    data.uFlags = tipOnly ? NIF_TIP : NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = TrayMessage;
    data.hIcon = m_icon;
    lstrcpynW(data.szTip, m_trayTip.c_str(), ARRAYSIZE(data.szTip));
    const BOOL ok = Shell_NotifyIconW(action, &data);
    if (action == NIM_ADD) m_trayAdded = ok;
    if (action == NIM_DELETE) m_trayAdded = false;
}

void Win32MainWindow::showTrayTip() {
    setTrayTip(Widen(m_presenter->form().get(main_controls::TrayIcon).toolTip));
}

void Win32MainWindow::setTrayTip(std::wstring tip) {
    if (tip == m_trayTip) return;
    m_trayTip = std::move(tip);
    // The tip alone: the icon's pictures are not sent to the tray again every second.
    if (m_trayAdded) trayIcon(NIM_MODIFY, true);
}

void Win32MainWindow::notify(const std::string& title, const std::string& text) {
    if (!m_trayAdded) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hwnd;
    data.uID = TrayId;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    lstrcpynW(data.szInfoTitle, Widen(title).c_str(), ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, Widen(text).c_str(), ARRAYSIZE(data.szInfo));
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

// --- MainView ---------------------------------------------------------------------

void Win32MainWindow::layOut() {
    m_current = TabIndex(MainTab::Statistics);
    for (MainTab hidden : {MainTab::UseTime, MainTab::EyeCare, MainTab::News})
        m_tabShown[TabIndex(hidden)] = false;
    rebuildTabs();
    m_homeShown = true;
    RECT frame{0, 0, TabWidth, TabHeight + HomeHeight + 24};
    AdjustWindowRectEx(&frame, GetWindowLongW(m_hwnd, GWL_STYLE), TRUE, 0);
    SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::hideFromTaskList() {
    // Only where the tray icon leads back to the window.
    if (!m_trayAdded) return;
    ShowWindow(m_hwnd, SW_HIDE);
    SetWindowLongW(m_hwnd, GWL_EXSTYLE, GetWindowLongW(m_hwnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

bool Win32MainWindow::isWindowVisible() const {
    return IsWindowVisible(m_hwnd) != FALSE;
}

void Win32MainWindow::hideWindow() {
    ShowWindow(m_hwnd, SW_HIDE);
}

void Win32MainWindow::showWindow(bool normalState) {
    ShowWindow(m_hwnd, normalState ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(m_hwnd);
    m_binder->sync();
    if (m_homeShown) m_home->realise();
    if (m_current == TabIndex(MainTab::News)) m_news->realise();
    if (m_shown) m_shown();
}

void Win32MainWindow::selectTab(MainTab tab) {
    m_current = TabIndex(tab);
    rebuildTabs();
}

void Win32MainWindow::setTabShown(MainTab tab, bool shown) {
    m_tabShown[TabIndex(tab)] = shown;
    rebuildTabs();
}

void Win32MainWindow::navigateHome(const std::string& url) {
    ShowWindow(m_home->handle(), SW_SHOW);
    m_home->navigate(url);
    if (isWindowVisible()) m_home->realise();
}

void Win32MainWindow::collapseHome() {
    if (!m_homeShown) return;
    m_homeShown = false;
    ShowWindow(m_home->handle(), SW_HIDE);
    RECT r;
    GetWindowRect(m_hwnd, &r);
    SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top - HomeHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::navigateNews(const std::string& url) {
    m_news->navigate(url);
    if (isWindowVisible() && m_current == TabIndex(MainTab::News)) m_news->realise();
}

void Win32MainWindow::runCountdownTimer(bool running) {
    if (running)
        SetTimer(m_hwnd, CountdownTimer, 1000, nullptr);
    else
        KillTimer(m_hwnd, CountdownTimer);
}

void Win32MainWindow::quit() {
    trayIcon(NIM_DELETE);
    PostQuitMessage(0);
}

// --- messages ----------------------------------------------------------------------

LRESULT CALLBACK Win32MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = WindowOwner<Win32MainWindow>(hwnd, message, lParam);
    if (self && message == WM_NCCREATE) self->m_hwnd = hwnd;
    return self ? self->handle(message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

// Pages pass their controls' notifications to the main window.
LRESULT CALLBACK Win32MainWindow::pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner<Win32MainWindow>(hwnd, message, lParam);
    if (self &&
        (message == WM_COMMAND || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN))
        return self->handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (m_binder && m_binder->command(wParam, lParam)) return 0;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(m_binder->controlColor(
                reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == m_tabs && header->code == TCN_SELCHANGE) {
                TCITEMW tab{};
                tab.mask = TCIF_PARAM;
                const auto selected = SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0);
                SendMessageW(m_tabs, TCM_GETITEMW, static_cast<WPARAM>(selected),
                             reinterpret_cast<LPARAM>(&tab));
                showPage(static_cast<int>(tab.lParam));
            }
            return 0;
        }
        case WM_TIMER:
            switch (wParam) {
                case SamplingTimer:
                    m_presenter->onSamplingTick();
                    if (isWindowVisible()) m_binder->sync();
                    break;
                case SecondTimer:
                    m_presenter->onSecondTick();
                    if (isWindowVisible())
                        m_binder->sync();
                    else
                        showTrayTip();  // today's figures, also while the window is hidden
                    break;
                case CountdownTimer:
                    m_presenter->onCountdownTick();
                    if (isWindowVisible()) m_binder->sync();
                    break;
                default:
                    break;
            }
            return 0;
        case TrayMessage:
            if (lParam == WM_LBUTTONDOWN) {
                m_presenter->trayButtonDown(1);
                m_binder->sync();
            } else if (lParam == WM_RBUTTONDOWN) {
                m_presenter->trayButtonDown(2);
                POINT at;
                GetCursorPos(&at);
                SetForegroundWindow(m_hwnd);
                TrackPopupMenu(m_rightMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hwnd, nullptr);
            }
            return 0;
        case WM_CLOSE:
            m_presenter->onCloseBox();
            m_binder->sync();
            return 0;
        case WM_QUERYENDSESSION:
            m_presenter->saveAll();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) m_presenter->saveAll();
            return 0;
        case WM_SIZE:
            if (m_panels[0]) layOutPanels();
            break;
        default:
            break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

}  // namespace pt
