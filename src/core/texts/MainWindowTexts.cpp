#include "core/texts/MainWindowTexts.h"

#include "core/form/MainControls.h"
#include "core/form/ShutdownControls.h"

namespace pt {

const std::vector<WindowText>& MainWindowTexts() {
    static const std::vector<WindowText> texts = {
        // Labels, frames, check box and buttons.
        {main_controls::TodayTravelCaption, {"鼠标今天移动：", "滑鼠今天移動：", "鼠标今天移动："}},
        {main_controls::TotalTravelCaption, {"鼠标累计移动：", "滑鼠累計移動：", "鼠标累计移动："}},
        {main_controls::PositionCaption, {"鼠标当前位置：", "滑鼠當前位置：", "鼠标当前位置："}},
        {main_controls::TravelRecordCaption,
         {"历史最高记录：", "歷史最高記錄：", "历史最高记录："}},
        {main_controls::LevelCaption, {"等级称号:", "等級稱號:", "等级称号:"}},
        {main_controls::PointsCaption, {"等级积分:", "等級積分:", "等级积分:"}},
        {main_controls::StartInTray,
         {"启动后自动最小化到系统托盘", "啟動後自動最小化到系統託盤",
          "启动后自动最小化到系统托盘"}},
        {main_controls::TodayUseTimeCaption,
         {"电脑今天用时：", "電腦今天用時：", "电脑今天用时："}},
        {main_controls::TotalUseTimeCaption,
         {"电脑累计用时：", "電腦累計用時：", "电脑累计用时："}},
        {main_controls::UptimeCaption,
         {"Windows已运行时间：", "Windows已運行時間：", "Windows已运行时间："}},
        {main_controls::UseTimeRecordCaption,
         {"历史最高记录：", "歷史最高記錄：", "历史最高记录："}},
        {shutdown_controls::RulesFrame, {"设定自动关机", "設定自動關機", "设定自动关机"}},
        {main_controls::TravelFrame, {"鼠标移动里程统计", "滑鼠移動里程統計", "鼠标移动里程统计"}},
        {main_controls::ClicksFrame, {"鼠标点击次数统计", "滑鼠點擊次數統計", "鼠标点击次数统计"}},
        {main_controls::TimeFrame, {"电脑用时统计", "電腦用時統計", "电脑用时统计"}},
        {main_controls::KeysFrame, {"键盘按键次数统计", "鍵盤按鍵次數統計", "键盘按键次数统计"}},
        {shutdown_controls::CountdownUnit, {"分钟后自动关机", "分鐘後自動關機", "分钟后自动关机"}},
        {shutdown_controls::LogOffNow, {"立即注销", "立即註銷", "立即注销"}},
        {shutdown_controls::RebootNow, {"立即重启", "立即重啟", "立即重启"}},
        {shutdown_controls::PowerOffNow, {"立即关机", "立即關機", "立即关机"}},
        // Tab titles (the Traditional mode uses English words).
        {main_controls::Tabs[0], {"统  计", "Main", "统  计"}},
        {main_controls::Tabs[1], {"电脑用时", "Time", "电脑用时"}},
        {main_controls::Tabs[2], {"保护眼睛", "Eye", "保护眼睛"}},
        {main_controls::Tabs[3], {"定时自动关机", "Auto Shut", "定时自动关机"}},
        {main_controls::Tabs[4], {"最新资讯", "News", "最新资讯"}},
        // Status-bar tooltips; the fifth panel keeps its design in both languages.
        {main_controls::DatePanel,
         {"现在的日期、时间、星期", "今天的日期、時間、星期", "现在的日期、时间、星期"},
         true},
        {main_controls::TravelPanel,
         {"今天鼠标移动的路程", "今天滑鼠移動的路程(米)", "今天鼠标移动的路程"},
         true},
        {main_controls::CountsPanel,
         {"今日鼠标点击次数/今日键盘击打次数", "今日滑鼠點擊次數/今日鍵盤擊打次數",
          "今日鼠标点击次数/今日键盘击打次数"},
         true},
        {main_controls::UseTimePanel,
         {"今天电脑所用的时间", "今天電腦所用時間(時:分:秒)", "今天电脑所用的时间"},
         true},
        // Menus.
        {main_controls::FileMenu, "操作(&F)"},
        {main_controls::DayHistoryItem, {"每日统计(&D)...", "每日統計(&D)...", "每日统计(&D)..."}},
        {main_controls::ClearAllItem, {"数据重置", "數據重置", "数据重置"}},
        {main_controls::OptionsItem, {"选项(&O)", "選項(&O)", "选项(&O)"}},
        {main_controls::ExitItem, "退出(&X)"},
        {main_controls::HelpMenu, {"帮助(&H)", "幫助(&H)", "帮助(&H)"}},
        {main_controls::HelpItem, {"帮助内容", "幫助內容", "帮助内容"}},
        {main_controls::UpdateItem, {"检查更新(&U)...", "檢查更新(&U)...", "检查更新(&U)..."}},
        {main_controls::FeedbackItem, {"Email给我(&E)", "Email給我(&E)", "Email给我(&E)"}},
        {main_controls::AboutItem,
         {"关于(&A) Pathtally...", "關於(&A) Pathtally...", "关于(&A) Pathtally..."}},
        {main_controls::TrayShowWindowItem, {"显示主窗口", "顯示主視窗", "显示主窗口"}},
        {main_controls::TrayShutdownItem, {"定时自动关机", "定時自動關機", "定时自动关机"}},
        {main_controls::TrayDayHistoryItem, {"每日统计", "每日統計", "每日统计"}},
        {main_controls::TrayWebsiteItem, {"官方网站", "官方網站", "官方网站"}},
        {main_controls::TrayAboutItem, {"关于Pathtally", "關於Pathtally", "关于Pathtally"}},
        {main_controls::TrayExitItem, "退出"},
        // Help-menu entries of the automatic update check and the site browser.
        {main_controls::AutoUpdateItem, {"自动检查新版本", "自動檢查新版本", "自动检查新版本"}},
        {main_controls::SiteBrowserItem,
         {"浏览官方网站(&W)", "瀏覽官方網站(&W)", "浏览官方网站(&W)"}},
        // One script only.
        {main_controls::HistoryItem, "历史记录(&H)"},
        {main_controls::RankingItem, "排行榜(&P)"},
        {main_controls::ClearHistoryItem, "清除历史记录"},
        {main_controls::ClearRankingItem, "清除排行榜"},
        {main_controls::OnlineSupportItem, "线上技术支持(&T)"},
        {main_controls::MessageItem, "给我留言(&L)"},
        {main_controls::TrayMenu, "右键菜单"},
        // Designed captions that the ticks overwrite at run time.
        {main_controls::TodayTravel, " 0.000m "},
        {main_controls::TotalTravel, " 0.000km "},
        {main_controls::Position, "( 0, 0)"},
        {main_controls::TravelRecord, " 0.000m "},
        {main_controls::TodayUseTime, "0:00:00"},
        {main_controls::TotalUseTime, "0:00:00"},
        {main_controls::Uptime, "0:00:00"},
        {main_controls::UseTimeRecord, "0:00:00"},
        {main_controls::Level, "1级"},
        {main_controls::Points, "0分"},
        {main_controls::ClickRecord, "历史最高记录:0次"},
        {main_controls::TodayKeys, "Today:"},
        {main_controls::TotalKeys, "Total:"},
        {main_controls::RankingLink, "查看排名"},
        {main_controls::TestModeMark, "测试模式"},
        {main_controls::DatePanel, "2007-01-03 21:30 星期三"},
        {main_controls::TravelPanel, "1000.000m"},
        {main_controls::CountsPanel, "10000次"},
        {main_controls::UseTimePanel, "0:00:00"},
        {main_controls::MakerPanel, "Corvandel"},
        {main_controls::MakerPanel, "Pathtally 由 Corvandel 制作，点击访问官方网站", true},
    };
    return texts;
}

const std::vector<WindowText>& ClickLineWords() {
    using namespace main_controls;
    static const std::vector<WindowText> words = {
        {TodayClicksCaption, {"今日鼠标点击次数", "今日滑鼠點擊次數", "今日鼠标点击次数"}},
        {TodayClicksOpen, "次(其中"},
        {TodayLeftWord, "左"},
        {TodayLeftKeyWord, {"键点击", "鍵點擊", "键点击"}},
        {TodayLeftEnd, "次,"},
        {TodayMiddleWord, "中"},
        {TodayMiddleKeyWord, {"键点击", "鍵點擊", "键点击"}},
        {TodayMiddleEnd, "次,"},
        {TodayRightWord, "右"},
        {TodayRightKeyWord, {"键点击", "鍵點擊", "键点击"}},
        {TodayClickLineEnd, "次)"},
        {TotalClicksCaption, {"鼠标累计点击次数", "滑鼠累計點擊次數", "鼠标累计点击次数"}},
        {TotalClicksOpen, "次(其中"},
        {TotalLeftWord, "左"},
        {TotalLeftKeyWord, {"键点击", "鍵點擊", "键点击"}},
        {TotalLeftEnd, "次,"},
        {TotalMiddleWord, "中"},
        {TotalMiddleKeyWord, {"键点击", "鍵點擊", "键点击"}},
        {TotalMiddleEnd, "次,"},
        {TotalRightWord, "右"},
        {TotalRightKeyWord, {"键点击", "鍵點擊", "键点击"}},
        {TotalClickLineEnd, "次)"},
    };
    return words;
}

void ApplyDesignedTexts(FormModel& form) {
    for (const WindowText& t : MainWindowTexts()) {
        if (t.toolTip)
            form.setToolTip(t.control, t.text.designed());
        else
            form.setText(t.control, t.text.designed());
    }
}

void ApplyLanguageTexts(FormModel& form, Language lang) {
    for (const WindowText& t : MainWindowTexts()) {
        const std::string_view text = t.text.in(lang);
        if (text == t.text.designed()) continue;
        if (t.toolTip)
            form.setToolTip(t.control, text);
        else
            form.setText(t.control, text);
    }
}

namespace {

std::string Joined(std::string_view a, std::string_view b, std::string_view c = {}) {
    std::string text(a);
    text += b;
    text += c;
    return text;
}

}  // namespace

std::string MoveRecordTip(Language lang, std::string_view date) {
    return Joined(main_texts::MoveRecordTip.in(lang), date);
}

std::string UseTimeRecordTip(Language lang, std::string_view date) {
    return Joined(main_texts::UseTimeRecordTip.in(lang), date);
}

std::string AlreadyRunningText(Language lang, bool trayAvailable) {
    return std::string(trayAvailable ? main_texts::AlreadyRunning.designed()
                                     : main_texts::AlreadyRunningBroughtForward.in(lang));
}

std::string StoreReadOnlyText(Language lang, std::string_view folder) {
    return Joined(main_texts::StoreReadOnlyBefore.in(lang), folder,
                  main_texts::StoreReadOnlyAfter.in(lang));
}

std::string StoreLockedText(Language lang, std::string_view database) {
    return Joined(main_texts::StoreLockedBefore.in(lang), database,
                  main_texts::StoreLockedAfter.in(lang));
}

std::string ClickRecordText(Language lang, std::string_view count) {
    return Joined(main_texts::ClickRecord.in(lang), count, main_texts::Times.in(lang));
}

std::string ClickRecordTip(Language lang, std::string_view date) {
    return Joined(main_texts::ClickRecordTip.in(lang), date);
}

}  // namespace pt
