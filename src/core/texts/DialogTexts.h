#pragma once

#include "core/texts/Language.h"

// The texts of the About box, the Options dialog and the data-reset dialog, and of the
// feedback mail both the main menu and the About box start.

namespace pt::about_texts {

inline constexpr Text Window{"关于 Pathtally", "關於 Pathtally", "关于 Pathtally"};
inline constexpr Text Version{"版本:"};
inline constexpr Text VersionAndMaker{"版本："};
// Between the version and the maker's name.
inline constexpr Text VersionMakerSpace{"　"};
inline constexpr Text SiteCaption{"官方网站：", "官方網站：", "官方网站："};
inline constexpr Text BackupSiteCaption{"备用网址:", "備用網址:", "备用网址:"};
inline constexpr Text BackupSiteTip{"当上面的官方网站打不开时的备用网址",
                                    "當官方網站打不開時的備用網址",
                                    "当上面的官方网站打不开时的备用网址"};
inline constexpr Text Ok{"&OK"};

}  // namespace pt::about_texts

namespace pt::options_texts {

inline constexpr Text Window{"选项", "選項", "选项"};
inline constexpr Text StartWithSystem{"开机后自动启动本软件(强烈建议开启本功能)",
                                      "開機後自動啟動本軟體(強烈建議開啟本功能)",
                                      "开机后自动启动本软件(强烈建议开启本功能)"};
inline constexpr Text CheckForUpdates{"开启在线更新检查", "開啟線上更新檢查", "开启在线更新检查"};
inline constexpr Text NoClickCounting{"关闭统计鼠标点击次数功能", "關閉統計滑鼠點擊次數功能",
                                      "关闭统计鼠标点击次数功能"};
inline constexpr Text NoKeyCounting{"关闭键盘按键次数统计功能"};
inline constexpr Text Ok{"确定(&O)", "確定(&O)", "确定(&O)"};
inline constexpr Text Apply{"应用(&A)", "應用(&A)", "应用(&A)"};
inline constexpr Text Cancel{"取消(&C)"};

}  // namespace pt::options_texts

namespace pt::clear_all_texts {

// The dialog itself turns Traditional only for "B5" ...
inline constexpr Text Window{"数据重置", "數據重置", "数据重置"};
inline constexpr Text Warning{
    "请注意：如果您想将所有的统计数据重置（即所有的统计数据归零），请按[确定]，此操作不可逆，"
    "请谨慎考虑！",
    "請注意：如果您想將所有的統計資料重置（即所有的統計資料歸零），請按[確定]，此操作不可逆，"
    "請謹慎考慮！",
    "请注意：如果您想将所有的统计数据重置（即所有的统计数据归零），请按[确定]，此操作不可逆，"
    "请谨慎考虑！"};
inline constexpr Text Ok{"确定(&O)", "確定", "确定(&O)"};
inline constexpr Text Cancel{"取消(&C)", "取消", "取消(&C)"};
inline constexpr Text AlsoClearDays{"同时清除每日统计记录", "同時清除每日統計記錄",
                                    "同时清除每日统计记录"};
// ... while its message boxes stay Simplified only for "GB".
inline constexpr Text Confirm{"请再次确认是否要将所有的统计数据归零？",
                              "請再次確認是否要將所有的統計資料歸零？",
                              "請再次確認是否要將所有的統計資料歸零？"};
inline constexpr Text ConfirmTitle{"数据重置确认(此操作不可逆)", "資料重置確認(此操作不可逆)",
                                   "資料重置確認(此操作不可逆)"};
inline constexpr Text Done{"所有的统计数据已归零", "所有的統計資料已歸零", "所有的統計資料已歸零"};

}  // namespace pt::clear_all_texts

namespace pt::feedback_texts {

inline constexpr Text Subject{"Corvandel，你好"};
// The main menu always writes the Simplified text with the name quoted; the About box
// picks the script by the GB test, and only its Traditional text quotes the name.
inline constexpr Text MainMenuBody{
    "(请注意，给我来信中一定要包含有“Corvandel”，否则将会被当作垃圾邮件过滤掉)"};
inline constexpr Text AboutBoxBody{
    "(请注意，给我来信中一定要包含有Corvandel，否则将会被当作垃圾邮件过滤掉)",
    "(請注意，給我來信中一定要包含有“Corvandel”，否則將會被當作垃圾郵件過濾掉)",
    "(請注意，給我來信中一定要包含有“Corvandel”，否則將會被當作垃圾郵件過濾掉)"};

}  // namespace pt::feedback_texts
