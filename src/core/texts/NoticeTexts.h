#pragma once

#include <string>
#include <vector>

#include "core/texts/Language.h"

// What the program says outside its windows (the tray icon's tooltip, desktop notifications)
// and what it says about the data it keeps.

namespace pt::notice_texts {

// The tray tooltip's second line: "今天：移动 2.947m，点击 12 次，击键 30 次，用时 0:12:34".
inline constexpr Text TodayTip{"今天：移动 ", "今天：移動 ", "今天：移动 "};
inline constexpr Text ClicksTip{"，点击 ", "，點擊 ", "，点击 "};
inline constexpr Text KeysTip{"，击键 ", "，擊鍵 ", "，击键 "};
inline constexpr Text TimesTip{" 次"};
inline constexpr Text UseTimeTip{"，用时 ", "，用時 ", "，用时 "};

// Desktop notifications on a new best of a run or a new level.
inline constexpr Text TravelRecord{"新纪录：本次运行鼠标已移动 ", "新紀錄：本次執行滑鼠已移動 ",
                                   "新纪录：本次运行鼠标已移动 "};
inline constexpr Text TravelRecordAfter{"，超过了历史最高记录", "，超過了歷史最高記錄",
                                        "，超过了历史最高记录"};
inline constexpr Text UseTimeRecord{"新纪录：本次运行电脑已用时 ", "新紀錄：本次執行電腦已用時 ",
                                    "新纪录：本次运行电脑已用时 "};
inline constexpr Text ClicksRecord{"新纪录：本次运行鼠标已点击 ", "新紀錄：本次執行滑鼠已點擊 ",
                                   "新纪录：本次运行鼠标已点击 "};
inline constexpr Text ClicksRecordAfter{" 次，超过了历史最高记录", " 次，超過了歷史最高記錄",
                                        " 次，超过了历史最高记录"};
inline constexpr Text NewLevelBefore{"恭喜：已升到第 ", "恭喜：已升到第 ", "恭喜：已升到第 "};
inline constexpr Text NewLevelAfter{" 级", " 級", " 级"};

// The Options dialog's switch for those notifications.
inline constexpr Text NotifySwitch{"创造新记录或升级时显示桌面通知",
                                   "創造新記錄或升級時顯示桌面通知",
                                   "创造新记录或升级时显示桌面通知"};

// The About box and the Options dialog: what is measured and kept, then where.
inline constexpr Text KeptData{
    "本软件只统计数量：鼠标移动距离、点击次数、击键次数和使用时间；"
    "不记录按了哪个键、输入的文字或鼠标位置。数据保存在：",
    "本軟體只統計數量：滑鼠移動距離、點擊次數、擊鍵次數和使用時間；"
    "不記錄按了哪個鍵、輸入的文字或滑鼠位置。資料儲存在：",
    "本软件只统计数量：鼠标移动距离、点击次数、击键次数和使用时间；"
    "不记录按了哪个键、输入的文字或鼠标位置。数据保存在："};

}  // namespace pt::notice_texts

namespace pt {

// The line of the About box and the Options dialog: what is kept, then the places.
inline std::string KeptDataText(Language lang, const std::vector<std::string>& places) {
    std::string text(notice_texts::KeptData.in(lang));
    for (size_t i = 0; i < places.size(); ++i) text += (i ? "；" : "") + places[i];
    return text;
}

}  // namespace pt
