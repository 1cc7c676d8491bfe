#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/form/FormModel.h"
#include "core/texts/Language.h"

namespace pt {

// One text of a main-window control: its caption, or its tooltip.
struct WindowText {
    ControlId control;
    Text text;
    bool toolTip = false;
};

// Every designed caption, tab title, status-bar text and tooltip and menu caption. The
// designed text is the Simplified one; most turn Traditional only for "B5".
const std::vector<WindowText>& MainWindowTexts();
// The fixed words of both click lines, written at every tick.
const std::vector<WindowText>& ClickLineWords();

// The designed texts, as the window starts.
void ApplyDesignedTexts(FormModel& form);
// Replaces the designed texts that read otherwise in `lang`.
void ApplyLanguageTexts(FormModel& form, Language lang);

// The record texts of the statistics page: the travel record's tooltip (Label8), the use
// time record's tooltip (Label16, without a colon) and the click record's caption and
// tooltip (Label25).
std::string MoveRecordTip(Language lang, std::string_view date);
std::string UseTimeRecordTip(Language lang, std::string_view date);
std::string ClickRecordText(Language lang, std::string_view count);
std::string ClickRecordTip(Language lang, std::string_view date);

// Said by a second start, which has brought the running window forward: the designed text
// points at the tray icon; where there is no tray it says that the window came forward.
std::string AlreadyRunningText(Language lang, bool trayAvailable);

// Said once at start when the settings store can be read but not written (`folder`).
std::string StoreReadOnlyText(Language lang, std::string_view folder);
// Said once when the settings database stays locked by another program at start.
std::string StoreLockedText(Language lang, std::string_view database);

// The main window's texts that the code puts together with figures.
namespace main_texts {

// Records (see the functions above).
inline constexpr Text MoveRecordTip{"最高记录发生于:", "最高記錄發生於:", "最高记录发生于:"};
inline constexpr Text UseTimeRecordTip{"最高记录发生于", "最高記錄發生於", "最高记录发生于"};
inline constexpr Text ClickRecord{"历史最高记录:", "歷史最高記錄:", "歷史最高記錄:"};
inline constexpr Text ClickRecordTip{"最高记录发生于:", "最高記錄發生於:", "最高記錄發生於:"};
inline constexpr Text Times{"次"};
inline constexpr Text StoreReadOnlyBefore{"设置文件夹 ", "設定資料夾 ", "设置文件夹 "};
inline constexpr Text StoreReadOnlyAfter{
    " 不能写入：已保存的统计数据照常读取，但本次运行的统计无法保存在那里。请让该文件夹可写。",
    " 不能寫入：已儲存的統計資料照常讀取，但本次執行的統計無法儲存在那裡。請讓該資料夾可寫。",
    " 不能写入：已保存的统计数据照常读取，但本次运行的统计无法保存在那里。请让该文件夹可写。"};
inline constexpr Text StoreLockedBefore{"设置数据库 ", "設定資料庫 ", "设置数据库 "};
inline constexpr Text StoreLockedAfter{
    " 正被另一个程序锁定，已保存的统计数据暂时无法读取。统计照常进行并保存在数据文件中，"
    "数据库解锁后即与已保存的数据合并。",
    " 正被另一個程式鎖定，已儲存的統計資料暫時無法讀取。統計照常進行並儲存在資料檔中，"
    "資料庫解鎖後即與已儲存的資料合併。",
    " 正被另一个程序锁定，已保存的统计数据暂时无法读取。统计照常进行并保存在数据文件中，"
    "数据库解锁后即与已保存的数据合并。"};

// A click total from 10000 on, in tenths of ten thousand: "1.2万".
inline constexpr Text TenThousand{"万", "萬", "万"};

// Points and level: "12分(差3分)", "2级", tooltip "离第3级还差3分".
inline constexpr Text PointsOpen{"分(差"};
inline constexpr Text PointsClose{"分)"};
inline constexpr Text LevelUnit{"级", "級", "級"};
inline constexpr Text PointsTipBefore{"离第", "離第", "離第"};
inline constexpr Text PointsTipMiddle{"级还差", "級還差", "級還差"};
inline constexpr Text PointsTipAfter{"分"};

// Keys: "今天:12", "累计:1.2万次" and their tooltips.
inline constexpr Text TodayKeys{"今天:"};
inline constexpr Text TodayKeysTip{"统计今天您的键盘共被您击打的次数",
                                   "統計今天您的鍵盤共被您擊打的次數",
                                   "統計今天您的鍵盤共被您擊打的次數"};
inline constexpr Text TotalKeysBefore{"累计:", "累計:", "累計:"};
inline constexpr Text TotalKeysAfter{"万次", "萬次", "萬次"};
inline constexpr Text TotalKeysTip{
    "统计您的键盘累计被您敲打的次数,目前:", "統計您的鍵盤累計被您敲打的次數:",
    "統計您的鍵盤累計被您敲打的次數:"};

// A desktop where the input devices cannot be read or the pointer's position is not given
// to programs: the statistics page's notice (what is not measured, the fix and its caveat),
// what stands where a figure would be, and what the position label says.
inline constexpr Text NoInputAccessNotice{
    "无法读取输入设备：鼠标移动距离、点击次数和击键次数未测量（使用时间照常统计）。"
    "修复方法：本程序的软件包已将 udev 规则 70-pathtally-input.rules（TAG+=\"uaccess\"）"
    "安装到 /usr/lib/udev/rules.d/ 并重新加载，执行 sudo udevadm trigger 即可生效"
    "（从源码安装时先将该规则复制到 /etc/udev/rules.d/）；"
    "或执行 sudo usermod -aG input $USER 后重新登录。"
    "注意：此后该用户的任何程序都能读取键盘输入；Pathtally 只统计次数。",
    "無法讀取輸入裝置：滑鼠移動距離、點擊次數和擊鍵次數未測量（使用時間照常統計）。"
    "修復方法：本程式的軟體套件已將 udev 規則 70-pathtally-input.rules（TAG+=\"uaccess\"）"
    "安裝到 /usr/lib/udev/rules.d/ 並重新載入，執行 sudo udevadm trigger 即可生效"
    "（從原始碼安裝時先將該規則複製到 /etc/udev/rules.d/）；"
    "或執行 sudo usermod -aG input $USER 後重新登入。"
    "注意：此後該使用者的任何程式都能讀取鍵盤輸入；Pathtally 只統計次數。",
    "无法读取输入设备：鼠标移动距离、点击次数和击键次数未测量（使用时间照常统计）。"
    "修复方法：本程序的软件包已将 udev 规则 70-pathtally-input.rules（TAG+=\"uaccess\"）"
    "安装到 /usr/lib/udev/rules.d/ 并重新加载，执行 sudo udevadm trigger 即可生效"
    "（从源码安装时先将该规则复制到 /etc/udev/rules.d/）；"
    "或执行 sudo usermod -aG input $USER 后重新登录。"
    "注意：此后该用户的任何程序都能读取键盘输入；Pathtally 只统计次数。"};
inline constexpr Text NotMeasured{"未测量", "未測量", "未测量"};
// The left, middle and right counts of a click line that cannot be measured.
inline constexpr Text NotMeasuredMark{"-"};
inline constexpr Text PositionUnavailable{"本桌面不提供", "此桌面不提供", "本桌面不提供"};

// Closing the program from the menu.
inline constexpr Text ConfirmExit{"你确定要关闭此程序吗?", "你確定要關閉此程式嗎?",
                                  "你確定要關閉此程式嗎?"};
inline constexpr Text ConfirmExitTitle{"关闭程序?", "關閉程式?", "關閉程式?"};

// A version number out of range, said at start.
inline constexpr Text MajorOutOfRange{"请修改 App.Major的值使其大于0且小于10"};
inline constexpr Text MinorOutOfRange{"请修改 App.Minor的值使其大于0且小于10"};
inline constexpr Text RevisionOutOfRange{"请修改 App.Revision的值使其大于0且小于10000"};

// Start-up: a second start, and a start that cannot go on (followed by the reason).
inline constexpr Text AlreadyRunning{
    "这个程序正在运行中，不能重复运行，若在屏幕上看不到，请点击右下角相应图标处即可显示此程"
    "序"};
// Where no tray holds an icon to point at, the second start says what it did instead.
inline constexpr Text AlreadyRunningBroughtForward{
    "这个程序正在运行中，不能重复运行，已将正在运行的窗口显示到屏幕最前面",
    "這個程式正在執行中，不能重複執行，已將正在執行的視窗顯示到螢幕最前面",
    "这个程序正在运行中，不能重复运行，已将正在运行的窗口显示到屏幕最前面"};
inline constexpr Text CannotStart{"Pathtally 无法启动："};

// The uptime caption on a system that is not Windows (the designed one names Windows).
inline constexpr Text SystemUptimeCaption{"系统已运行时间：", "系統已運行時間：",
                                          "系统已运行时间："};

}  // namespace main_texts

}  // namespace pt
