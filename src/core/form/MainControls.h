#pragma once

#include <vector>

#include "core/form/ControlId.h"

// The main window's controls: the window, tray icon, menus, status bar, tabs and the
// statistics page. Each name is the widget's object name; the shutdown page's controls are
// in ShutdownControls.h.
namespace pt::main_controls {

inline constexpr ControlId Window{"Form1"};
inline constexpr ControlId TrayIcon{"cSysTray1"};
inline constexpr ControlId TrayMenu{"RightMenu"};
inline constexpr ControlId HomePage{"WebBrowser1"};
inline constexpr ControlId NewsPage{"WebBrowser2"};
inline constexpr ControlId InputAccessNotice{"InputAccessNotice"};

// The main window's tab pages in their order; the use-time and eye-care pages are part of the
// designed window but never shown.
enum class MainTab { Statistics, UseTime, EyeCare, Shutdown, News };
inline constexpr int MainTabCount = 5;
constexpr int TabIndex(MainTab tab) {
    return static_cast<int>(tab);
}

// Tab titles, by page index.
inline constexpr ControlId Tabs[MainTabCount] = {
    {"SSTab1.Tab0"}, {"SSTab1.Tab1"}, {"SSTab1.Tab2"}, {"SSTab1.Tab3"}, {"SSTab1.Tab4"}};
// Status-bar panels: date and time, today's travel, today's clicks/keys, today's use time,
// the maker's link.
inline constexpr ControlId DatePanel{"StatusBar1.Panel1"};
inline constexpr ControlId TravelPanel{"StatusBar1.Panel2"};
inline constexpr ControlId CountsPanel{"StatusBar1.Panel3"};
inline constexpr ControlId UseTimePanel{"StatusBar1.Panel4"};
inline constexpr ControlId MakerPanel{"StatusBar1.Panel5"};
inline constexpr ControlId Panels[5] = {DatePanel, TravelPanel, CountsPanel, UseTimePanel,
                                        MakerPanel};

// Travel.
inline constexpr ControlId TravelFrame{"Frame4"};
inline constexpr ControlId TodayTravelCaption{"Label1"};
inline constexpr ControlId TodayTravel{"Label2"};
inline constexpr ControlId TotalTravelCaption{"Label3"};
inline constexpr ControlId TotalTravel{"Label4"};
inline constexpr ControlId PositionCaption{"Label5"};
inline constexpr ControlId Position{"Label6"};
inline constexpr ControlId TravelRecordCaption{"Label7"};
inline constexpr ControlId TravelRecord{"Label8"};

// Keystrokes.
inline constexpr ControlId KeysFrame{"Frame6"};
inline constexpr ControlId TodayKeys{"Label73"};
inline constexpr ControlId TotalKeys{"Label74"};

// Clicks: two lines of words and counts ("... N 次(其中 左 键点击 N 次, 中 ..."), and the record.
inline constexpr ControlId ClicksFrame{"Frame5"};
inline constexpr ControlId TodayClickLine{"ClickLineToday"};
inline constexpr ControlId TotalClickLine{"ClickLineTotal"};
inline constexpr ControlId TodayClicksCaption{"Label26"};
inline constexpr ControlId TodayClicks{"Label27"};
inline constexpr ControlId TodayClicksOpen{"Label28"};
inline constexpr ControlId TodayLeftWord{"Label29"};
inline constexpr ControlId TodayLeftKeyWord{"Label30"};
inline constexpr ControlId TodayLeftClicks{"Label31"};
inline constexpr ControlId TodayLeftEnd{"Label33"};
inline constexpr ControlId TodayMiddleWord{"Label34"};
inline constexpr ControlId TodayMiddleKeyWord{"Label35"};
inline constexpr ControlId TodayMiddleClicks{"Label36"};
inline constexpr ControlId TodayMiddleEnd{"Label37"};
inline constexpr ControlId TodayRightWord{"Label38"};
inline constexpr ControlId TodayRightKeyWord{"Label39"};
inline constexpr ControlId TodayRightClicks{"Label40"};
inline constexpr ControlId TodayClickLineEnd{"Label41"};
inline constexpr ControlId TotalClicksCaption{"Label24"};
inline constexpr ControlId TotalClicks{"Label42"};
inline constexpr ControlId TotalClicksOpen{"Label43"};
inline constexpr ControlId TotalLeftWord{"Label44"};
inline constexpr ControlId TotalLeftKeyWord{"Label45"};
inline constexpr ControlId TotalLeftClicks{"Label46"};
inline constexpr ControlId TotalLeftEnd{"Label47"};
inline constexpr ControlId TotalMiddleWord{"Label48"};
inline constexpr ControlId TotalMiddleKeyWord{"Label49"};
inline constexpr ControlId TotalMiddleClicks{"Label50"};
inline constexpr ControlId TotalMiddleEnd{"Label51"};
inline constexpr ControlId TotalRightWord{"Label52"};
inline constexpr ControlId TotalRightKeyWord{"Label53"};
inline constexpr ControlId TotalRightClicks{"Label54"};
inline constexpr ControlId TotalClickLineEnd{"Label55"};
inline constexpr ControlId ClickRecord{"Label25"};
// The labels of each line in reading order.
inline constexpr ControlId TodayClickLineLabels[15] = {
    TodayClicksCaption, TodayClicks,    TodayClicksOpen,   TodayLeftWord,      TodayLeftKeyWord,
    TodayLeftClicks,    TodayLeftEnd,   TodayMiddleWord,   TodayMiddleKeyWord, TodayMiddleClicks,
    TodayMiddleEnd,     TodayRightWord, TodayRightKeyWord, TodayRightClicks,   TodayClickLineEnd};
inline constexpr ControlId TotalClickLineLabels[15] = {
    TotalClicksCaption, TotalClicks,    TotalClicksOpen,   TotalLeftWord,      TotalLeftKeyWord,
    TotalLeftClicks,    TotalLeftEnd,   TotalMiddleWord,   TotalMiddleKeyWord, TotalMiddleClicks,
    TotalMiddleEnd,     TotalRightWord, TotalRightKeyWord, TotalRightClicks,   TotalClickLineEnd};

// Computer time.
inline constexpr ControlId TimeFrame{"Frame3"};
inline constexpr ControlId TodayUseTimeCaption{"Label9"};
inline constexpr ControlId TodayUseTime{"Label10"};
inline constexpr ControlId TotalUseTimeCaption{"Label11"};
inline constexpr ControlId TotalUseTime{"Label12"};
inline constexpr ControlId UptimeCaption{"Label13"};
inline constexpr ControlId Uptime{"Label14"};
inline constexpr ControlId UseTimeRecordCaption{"Label15"};
inline constexpr ControlId UseTimeRecord{"Label16"};

// Start in the tray, level and points, ranking link, test-mode mark.
inline constexpr ControlId StartInTray{"Check2MinToSystray"};
inline constexpr ControlId LevelCaption{"Label17"};
inline constexpr ControlId Level{"Label19"};
inline constexpr ControlId PointsCaption{"Label20"};
inline constexpr ControlId Points{"Label21"};
inline constexpr ControlId RankingLink{"Label75"};
inline constexpr ControlId TestModeMark{"test1"};

// Menu bar.
inline constexpr ControlId FileMenu{"menuFile"};
inline constexpr ControlId HistoryItem{"menuHistory"};
inline constexpr ControlId RankingItem{"menuPaiHang"};
inline constexpr ControlId ClearHistoryItem{"menuCleanHistory"};
inline constexpr ControlId ClearRankingItem{"menuCleanPaiHang"};
inline constexpr ControlId ClearAllItem{"menuClearAll"};
inline constexpr ControlId DayHistoryItem{"menuDayHistory"};
inline constexpr ControlId OptionsItem{"menuOption"};
inline constexpr ControlId ExitItem{"menuClose"};
inline constexpr ControlId HelpMenu{"menuHelp"};
inline constexpr ControlId HelpItem{"menuHelp1"};
inline constexpr ControlId OnlineSupportItem{"menuWebhelp"};
inline constexpr ControlId UpdateItem{"menuUpdate"};
inline constexpr ControlId AutoUpdateItem{"menuAutoUpdate"};
inline constexpr ControlId SiteBrowserItem{"menuWebBrowser"};
inline constexpr ControlId MessageItem{"menuLiuYan"};
inline constexpr ControlId FeedbackItem{"menuEmailToMe"};
inline constexpr ControlId AboutItem{"menuAbout"};
// Tray menu.
inline constexpr ControlId TrayShowWindowItem{"menuRightMenuShowMainWindow"};
inline constexpr ControlId TrayShutdownItem{"menuRightAutoShutdown"};
inline constexpr ControlId TrayDayHistoryItem{"menuRightMenuDayHistory"};
inline constexpr ControlId TrayWebsiteItem{"menuRightMenuMyWeb"};
inline constexpr ControlId TrayAboutItem{"menuRightMenuAbout"};
inline constexpr ControlId TrayExitItem{"menuRightMenuClose"};

// Names the window's containers and menu separators carry; no control of the model.
inline constexpr ControlId TabControl{"SSTab1"};
inline constexpr ControlId StatusBar{"StatusBar1"};
inline constexpr ControlId FileSeparators[3] = {{"menuLine1"}, {"menuLine2"}, {"menuLine3"}};
inline constexpr ControlId HelpSeparators[3] = {
    {"menuHelpLine1"}, {"menuHelpLine2"}, {"menuHelpLine3"}};
inline constexpr ControlId TraySeparators[2] = {{"menuRightLine1"}, {"menuRightMenuLine2"}};

}  // namespace pt::main_controls

namespace pt {
// Every control of the main window, the shutdown page's included.
std::vector<ControlId> MainWindowControls();
}  // namespace pt
