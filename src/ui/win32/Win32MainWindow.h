#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/DesktopNotifier.h"
#include "core/shell/CommandTable.h"
#include "core/startup/MainPresenter.h"
#include "core/startup/MainView.h"
#include "ui/win32/Win32FormBinder.h"
#include "ui/win32/Win32WebPage.h"

namespace pt {

// The main window ("Form1") as a plain Win32 window: tab control with the statistics and
// shutdown pages, the home strip and news pages (the system's web control), menus, status bar and
// tray icon. A passive view of the presenter's form model, like the Qt window. The sampling tick
// folds in what the cursor thread measured 10 times a second while shown, 4 while hidden.
// Also the desktop notifier: a notice is the tray icon's balloon.
class Win32MainWindow : public MainView, public DesktopNotifier {
public:
    Win32MainWindow(MainServices services, MainParts& parts);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    MainPresenter& presenter() { return *m_presenter; }
    HWND handle() const { return m_hwnd; }
    HFONT font() const { return m_font; }

    void start();
    void showAtStart();
    // The menus' shortcuts (F3 ranking, F1 help, Ctrl+X exit), for the message loop to
    // translate; the caller destroys the table.
    HACCEL createAccelerators();
    // `run` is called whenever the window is shown (at start, from the tray, by a second
    // start).
    void whenShown(std::function<void()> run) { m_shown = std::move(run); }
    // What a click on each control does: the presenter registers its own commands, the
    // composition root the program's (the dialogs, the site's pages). One per control.
    CommandTable& commands() { return m_commands; }
    // Controls a person can click that have no command (none when the wiring is complete).
    std::vector<std::string> controlsWithoutCommand() const;
    // Period of the one-second tick; only tests shorten it (set before start()).
    unsigned secondTickMs = 1000;

    // MainView
    void applySkin() override {}
    void layOut() override;
    void hideFromTaskList() override;
    bool isWindowVisible() const override;
    void hideWindow() override;
    void showWindow(bool normalState) override;
    void selectTab(main_controls::MainTab tab) override;
    void setTabShown(main_controls::MainTab tab, bool shown) override;
    void navigateHome(const std::string& url) override;
    void collapseHome() override;
    void navigateNews(const std::string& url) override;
    void runCountdownTimer(bool running) override;
    void quit() override;

    // DesktopNotifier
    void notify(const std::string& title, const std::string& text) override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void buildStatisticsPage(HWND page);
    void buildShutdownPage(HWND page);
    void buildMenus();
    void rebuildTabs();
    void showPage(int index);
    void dispatch(ControlId id);
    // Adds, changes or removes the tray icon; a change of the tip alone sends only the tip.
    void trayIcon(DWORD action, bool tipOnly = false);
    void setTrayTip(std::wstring tip);
    void showTrayTip();
    void layOutPanels();

    CommandTable m_commands;  // before the presenter, which registers its commands
    std::function<void()> m_shown;
    std::unique_ptr<MainPresenter> m_presenter;
    std::unique_ptr<Win32FormBinder> m_binder;
    HWND m_hwnd = nullptr;
    HWND m_tabs = nullptr;
    static constexpr int StatusPanelCount = 5;
    HWND m_panels[StatusPanelCount] = {};
    std::unique_ptr<Win32WebPage> m_home;
    std::unique_ptr<Win32WebPage> m_news;
    HWND m_pages[main_controls::MainTabCount] = {};
    HMENU m_menuBar = nullptr;
    HMENU m_rightMenu = nullptr;
    HFONT m_font = nullptr;
    HICON m_icon = nullptr;
    bool m_tabShown[main_controls::MainTabCount] = {true, true, true, true, true};
    std::wstring m_tabText[main_controls::MainTabCount];
    int m_current = 0;
    bool m_homeShown = true;
    bool m_keepsDayHistory = false;
    bool m_trayAdded = false;
    std::wstring m_trayTip;
};

}  // namespace pt
