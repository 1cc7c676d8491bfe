#pragma once

#include "core/texts/Language.h"

// The texts of the shutdown page and of the power actions' boxes. The page is designed in
// Simplified; every language but Simplified reads the Traditional texts.
namespace pt::shutdown_texts {

// The rows' boxes: the countdown, today, Monday to Friday, Saturday, Sunday, a date and
// every day (three times).
inline constexpr Text CountdownBox{"设定", "設定", "設定"};
inline constexpr Text RuleBoxes[8] = {
    {"设定今天", "設定今天", "設定今天"},
    {"设定每周星期一至星期五", "設定每週星期一至星期五", "設定每週星期一至星期五"},
    {"设定每周星期六", "設定每週星期六", "設定每週星期六"},
    {"设定每周星期日", "設定每週星期日", "設定每週星期日"},
    {"设定", "設定", "設定"},
    {"设定每天", "設定每天", "設定每天"},
    {"设定每天", "設定每天", "設定每天"},
    {"设定每天", "設定每天", "設定每天"},
};
inline constexpr Text Enable{"启用", "啟 動", "啟 動"};
inline constexpr Text Cancel{"取消", "取 消", "取 消"};
// After the hour, on the page and in the messages.
inline constexpr Text HourLabel{"点", "點", "點"};
inline constexpr Text MinuteLabel{"分关机", "分關機", "分關機"};
inline constexpr Text MonthLabel{"月"};
inline constexpr Text DayLabel{"日"};
inline constexpr Text CountdownMinutesTip{"输入大于0的数，可以是小数"};

// Refused entries.
inline constexpr Text ErrorTitle{"错误提示", "錯誤提示", "錯誤提示"};
inline constexpr Text HourRange{"请输入 0 - 23 之间的数字", "請輸入 0 - 23 之間的數字",
                                "請輸入 0 - 23 之間的數字"};
inline constexpr Text MinuteRange{"请输入 0 - 59 之间的数字", "請輸入 0 - 59 之間的數字",
                                  "請輸入 0 - 59 之間的數字"};
// "你设定的时间(8点05分)已过了，现在已经是(9点30分)请重新设定"
inline constexpr Text TimePastOpen{"你设定的时间(", "你設定的時間(", "你設定的時間("};
inline constexpr Text TimePastMiddle{"分)已过了，现在已经是(", "分)已過了，現在已經是(",
                                     "分)已過了，現在已經是("};
inline constexpr Text Minute{"分"};
inline constexpr Text TimePastClose{")请重新设定", ")請重新設定", ")請重新設定"};
inline constexpr Text MonthRange{"请输入 1 - 12 之间的数字(月份只能是1-12)",
                                 "請輸入 1 - 12 之間的數字(月份只能是1-12)",
                                 "請輸入 1 - 12 之間的數字(月份只能是1-12)"};
inline constexpr Text DayMissing{"请输入日期", "請輸入日期", "請輸入日期"};
inline constexpr Text DayBelowOne{"你输入的日期错误(日期不能小于0)，请重新输入",
                                  "你輸入的日期錯誤(日期不能小於0)，請重新輸入",
                                  "你輸入的日期錯誤(日期不能小於0)，請重新輸入"};
// "你输入的日期错误(2024年2月只有29天)，请重新输入", "...(4月只有30天)..."
inline constexpr Text WrongDate{"你输入的日期错误(", "你輸入的日期錯誤(", "你輸入的日期錯誤("};
inline constexpr Text February29{"年2月只有29天)，请重新输入", "年2月只有29天)，請重新輸入",
                                 "年2月只有29天)，請重新輸入"};
inline constexpr Text February28{"年2月只有28天)，请重新输入", "年2月只有28天)，請重新輸入",
                                 "年2月只有28天)，請重新輸入"};
inline constexpr Text Month30{"月只有30天)，请重新输入", "月只有30天)，請重新輸入",
                              "月只有30天)，請重新輸入"};
inline constexpr Text Month31{"月只有31天)，请重新输入", "月只有31天)，請重新輸入",
                              "月只有31天)，請重新輸入"};
inline constexpr Text CountdownNotPositive{"只能输入大于0的数", "只能輸入大於0的數",
                                           "只能輸入大於0的數"};
inline constexpr Text CountdownErrorTitle{"错误提示信息", "錯誤提示資訊", "錯誤提示資訊"};

// The countdown's warning line: as it starts ("你的电脑将于5分钟之后…") and at every tick
// ("你的电脑将于( 0:04:59 )之后…").
inline constexpr Text CountdownStartOpen{"你的电脑将于"};
inline constexpr Text CountdownStartClose{"分钟之后自动关机，请及时保存你正在编辑的文件"};
inline constexpr Text CountdownOpen{"你的电脑将于( ", "你的電腦將於( ", "你的電腦將於( "};
inline constexpr Text CountdownClose{" )之后自动关机，请及时保存你正在编辑的文件",
                                     " )之後自動關機，請及時保存你正在編輯的文檔",
                                     " )之後自動關機，請及時保存你正在編輯的文檔"};

// Confirming a power action: title, question and advice.
struct Confirmation {
    Text title;
    Text question;
    Text advice;
};
inline constexpr Confirmation ConfirmLogOff{
    {"注销...", "註銷...", "註銷..."},
    {"你确定要注销吗?", "你確定要註銷嗎?", "你確定要註銷嗎?"},
    {"（请您保存好您正在编辑的文件后再按确定后注销）",
     "（請您保存好您正在編輯的檔後再按確定後註銷）",
     "（請您保存好您正在編輯的檔後再按確定後註銷）"}};
inline constexpr Confirmation ConfirmPowerOff{
    {"关机...", "關機...", "關機..."},
    {"你确定要关机吗?", "你確定要關機嗎?", "你確定要關機嗎?"},
    {"（请您保存好您正在编辑的文件后再按确定后关机）",
     "（請您保存好您正在編輯的檔後再按確定後關機）",
     "（請您保存好您正在編輯的檔後再按確定後關機）"}};
inline constexpr Confirmation ConfirmReboot{
    {"重启电脑...", "重啟電腦...", "重啟電腦..."},
    {"你确定要重新启动电脑吗?", "你確定要重新啟動電腦嗎?", "你確定要重新啟動電腦嗎?"},
    {"（请您保存好您正在编辑的文件后再按确定后重启电脑）",
     "（請您保存好您正在編輯的檔後再按確定後重啟電腦）",
     "（請您保存好您正在編輯的檔後再按確定後重啟電腦）"}};

// Test mode instead of a scheduled power-off.
inline constexpr Text PowerOffSoon{"您的电脑即将关闭"};

// A refused power action: what was refused, then "原因：" and the reason in a few words.
inline constexpr Text LogOffRefused{"系统拒绝了注销请求，您没有被注销。",
                                    "系統拒絕了註銷請求，您沒有被註銷。",
                                    "系統拒絕了註銷請求，您沒有被註銷。"};
inline constexpr Text RebootRefused{"系统拒绝了重启请求，电脑没有重新启动。",
                                    "系統拒絕了重啟請求，電腦沒有重新啟動。",
                                    "系統拒絕了重啟請求，電腦沒有重新啟動。"};
inline constexpr Text PowerOffRefused{"系统拒绝了关机请求，电脑没有关闭。",
                                      "系統拒絕了關機請求，電腦沒有關閉。",
                                      "系統拒絕了關機請求，電腦沒有關閉。"};
inline constexpr Text Reason{"原因："};
inline constexpr Text NotAuthorized{"没有权限", "沒有權限", "沒有權限"};
inline constexpr Text NoService{"找不到系统服务", "找不到系統服務", "找不到系統服務"};
inline constexpr Text NoAnswer{"系统没有回应", "系統沒有回應", "系統沒有回應"};
inline constexpr Text Denied{"系统拒绝了请求", "系統拒絕了請求", "系統拒絕了請求"};

}  // namespace pt::shutdown_texts
