#pragma once

#include "core/texts/Language.h"

// The texts of the windows that show pages of the site: the update window, the automatic
// update check, the ranking and the site browser, and what a page area says when its page
// cannot be shown.

namespace pt::update_texts {

inline constexpr Text Window{"Pathtally 更新升级...", "Pathtally 更新升級...",
                             "Pathtally 更新升级..."};
// "您当前的版本是：1.0.0  (请自行决定是否升级)"
inline constexpr Text VersionBefore{"您当前的版本是：", "您當前的版本是：", "您當前的版本是："};
inline constexpr Text VersionAfter{"  (请自行决定是否升级)", "  (請自行決定是否升級)",
                                   "  (請自行決定是否升級)"};

}  // namespace pt::update_texts

namespace pt::auto_update_texts {

// The window is designed as the automatic check; it reads as the update window in
// Traditional once a check starts.
inline constexpr Text Window{"自动检查更新...", "Pathtally 更新升級...", "自动检查更新..."};
// The progress line turns through four marks.
inline constexpr Text Progress[4] = {
    {"正在连线检查中...\\", "正在連線檢查中...\\", "正在連線檢查中...\\"},
    {"正在连线检查中...|", "正在連線檢查中...|", "正在連線檢查中...|"},
    {"正在连线检查中.../", "正在連線檢查中.../", "正在連線檢查中.../"},
    {"正在连线检查中...-", "正在連線檢查中...-", "正在連線檢查中...-"},
};
inline constexpr Text Newer{"已检测到有更新版本，请下载升级", "已檢測到有更新版本，請下載升級",
                            "已檢測到有更新版本，請下載升級"};
inline constexpr Text Current{"您正在使用的已经是最新版本，无需升级",
                              "您正在使用的已經是最新版本，無需升級",
                              "您正在使用的已經是最新版本，無需升級"};
inline constexpr Text NotReachable{"您的网络无法连通,无法在线升级", "您的網路無法連通,無法線上升級",
                                   "您的網路無法連通,無法線上升級"};

}  // namespace pt::auto_update_texts

namespace pt::ranking_texts {

inline constexpr Text Window{"查看您的排名"};
inline constexpr Text Instruction{"请将以下验证码复制到输入框中"};
inline constexpr Text CodeCaption{"验证码："};
// The close button, with its access key.
inline constexpr Text Close{"关闭(&C)", "關閉(&C)", "关闭(&C)"};
// Said instead of opening the ranking while the points are still 0.
inline constexpr Text ZeroPoints{"您的积分还是0分，当您积分大于0时再来查排名吧（1小时后可以来查）"};

}  // namespace pt::ranking_texts

namespace pt::site_browser_texts {

inline constexpr Text Back{"后退(&B)", "後退(&B)", "后退(&B)"};
inline constexpr Text Forward{"前进(&F)", "前進(&F)", "前进(&F)"};
inline constexpr Text Reload{"刷新(&R)", "重新整理(&R)", "刷新(&R)"};

}  // namespace pt::site_browser_texts

namespace pt::page_texts {

// Where the web module cannot be loaded at all.
inline constexpr Text Unavailable{"无法显示此网页：网页组件未能加载。",
                                  "無法顯示此網頁：網頁元件未能載入。",
                                  "无法显示此网页：网页组件未能加载。"};
// The small local page shown where a page of the site cannot be loaded (nothing is
// retried): a heading and the address that failed.
inline constexpr Text Unreachable{"无法打开此网页", "無法開啟此網頁", "无法打开此网页"};
inline constexpr Text UnreachableHint{"请检查网络连接。网址：", "請檢查網路連線。網址：",
                                      "请检查网络连接。网址："};

}  // namespace pt::page_texts
