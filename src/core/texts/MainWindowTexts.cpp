#include "texts/MainWindowTexts.h"

#include "form/MainControls.h"
#include "form/ShutdownControls.h"

namespace pt {

const std::vector<WindowText>& MainWindowTexts() {
    static const std::vector<WindowText> texts = {
        // Labels, frames, check box and buttons.
        {main_controls::TodayTravelCaption, "鼠标今天移动：", "滑鼠今天移動："},
        {main_controls::TotalTravelCaption, "鼠标累计移动：", "滑鼠累計移動："},
        {main_controls::PositionCaption, "鼠标当前位置：", "滑鼠當前位置："},
        {main_controls::TravelRecordCaption, "历史最高记录：", "歷史最高記錄："},
        {main_controls::LevelCaption, "等级称号:", "等級稱號:"},
        {main_controls::PointsCaption, "等级积分:", "等級積分:"},
        {main_controls::StartInTray, "启动后自动最小化到系统托盘", "啟動後自動最小化到系統託盤"},
        {main_controls::TodayUseTimeCaption, "电脑今天用时：", "電腦今天用時："},
        {main_controls::TotalUseTimeCaption, "电脑累计用时：", "電腦累計用時："},
        {main_controls::UptimeCaption, "Windows已运行时间：", "Windows已運行時間："},
        {main_controls::UseTimeRecordCaption, "历史最高记录：", "歷史最高記錄："},
        {shutdown_controls::RulesFrame, "设定自动关机", "設定自動關機"},
        {main_controls::TravelFrame, "鼠标移动里程统计", "滑鼠移動里程統計"},
        {main_controls::ClicksFrame, "鼠标点击次数统计", "滑鼠點擊次數統計"},
        {main_controls::TimeFrame, "电脑用时统计", "電腦用時統計"},
        {main_controls::KeysFrame, "键盘按键次数统计", "鍵盤按鍵次數統計"},
        {shutdown_controls::CountdownUnit, "分钟后自动关机", "分鐘後自動關機"},
        {shutdown_controls::LogOffNow, "立即注销", "立即註銷"},
        {shutdown_controls::RebootNow, "立即重启", "立即重啟"},
        {shutdown_controls::PowerOffNow, "立即关机", "立即關機"},
        // Tab titles (the Traditional mode uses English words).
        {main_controls::Tabs[0], "统  计", "Main"},
        {main_controls::Tabs[1], "电脑用时", "Time"},
        {main_controls::Tabs[2], "保护眼睛", "Eye"},
        {main_controls::Tabs[3], "定时自动关机", "Auto Shut"},
        {main_controls::Tabs[4], "最新资讯", "News"},
        // Status-bar tooltips; the fifth panel keeps its design in both languages.
        {main_controls::DatePanel, "现在的日期、时间、星期", "今天的日期、時間、星期", true},
        {main_controls::TravelPanel, "今天鼠标移动的路程", "今天滑鼠移動的路程(米)", true},
        {main_controls::CountsPanel, "今日鼠标点击次数/今日键盘击打次数",
         "今日滑鼠點擊次數/今日鍵盤擊打次數", true},
        {main_controls::UseTimePanel, "今天电脑所用的时间", "今天電腦所用時間(時:分:秒)", true},
        // Menus.
        {main_controls::FileMenu, "操作(&F)", "操作(&F)"},
        {main_controls::DayHistoryItem, "每日统计(&D)...", "每日統計(&D)..."},
        {main_controls::ClearAllItem, "数据重置", "數據重置"},
        {main_controls::OptionsItem, "选项(&O)", "選項(&O)"},
        {main_controls::ExitItem, "退出(&X)", "退出(&X)"},
        {main_controls::HelpMenu, "帮助(&H)", "幫助(&H)"},
        {main_controls::HelpItem, "帮助内容", "幫助內容"},
        {main_controls::UpdateItem, "检查更新(&U)...", "檢查更新(&U)..."},
        {main_controls::FeedbackItem, "Email给我(&E)", "Email給我(&E)"},
        {main_controls::AboutItem, "关于(&A) Pathtally...", "關於(&A) Pathtally..."},
        {main_controls::TrayShowWindowItem, "显示主窗口", "顯示主視窗"},
        {main_controls::TrayShutdownItem, "定时自动关机", "定時自動關機"},
        {main_controls::TrayDayHistoryItem, "每日统计", "每日統計"},
        {main_controls::TrayWebsiteItem, "官方网站", "官方網站"},
        {main_controls::TrayAboutItem, "关于Pathtally", "關於Pathtally"},
        {main_controls::TrayExitItem, "退出", "退出"},
        // Help-menu entries of the automatic update check and the site browser.
        {main_controls::AutoUpdateItem, "自动检查新版本", "自動檢查新版本"},
        {main_controls::SiteBrowserItem, "浏览官方网站(&W)", "瀏覽官方網站(&W)"},
        // One script only.
        {main_controls::HistoryItem, "历史记录(&H)", ""},
        {main_controls::RankingItem, "排行榜(&P)", ""},
        {main_controls::ClearHistoryItem, "清除历史记录", ""},
        {main_controls::ClearRankingItem, "清除排行榜", ""},
        {main_controls::OnlineSupportItem, "线上技术支持(&T)", ""},
        {main_controls::MessageItem, "给我留言(&L)", ""},
        {main_controls::TrayMenu, "右键菜单", ""},
        // Designed captions that the ticks overwrite at run time.
        {main_controls::TodayTravel, " 0.000m ", ""},
        {main_controls::TotalTravel, " 0.000km ", ""},
        {main_controls::Position, "( 0, 0)", ""},
        {main_controls::TravelRecord, " 0.000m ", ""},
        {main_controls::TodayUseTime, "0:00:00", ""},
        {main_controls::TotalUseTime, "0:00:00", ""},
        {main_controls::Uptime, "0:00:00", ""},
        {main_controls::UseTimeRecord, "0:00:00", ""},
        {main_controls::Level, "1级", ""},
        {main_controls::Points, "0分", ""},
        {main_controls::ClickRecord, "历史最高记录:0次", ""},
        {main_controls::TodayKeys, "Today:", ""},
        {main_controls::TotalKeys, "Total:", ""},
        {main_controls::RankingLink, "查看排名", ""},
        {main_controls::TestModeMark, "测试模式", ""},
        {main_controls::DatePanel, "2007-01-03 21:30 星期三", ""},
        {main_controls::TravelPanel, "1000.000m", ""},
        {main_controls::CountsPanel, "10000次", ""},
        {main_controls::UseTimePanel, "0:00:00", ""},
        {main_controls::MakerPanel, "Corvandel", ""},
        {main_controls::MakerPanel, "Pathtally 由 Corvandel 制作，点击访问官方网站", "", true},
    };
    return texts;
}

void ApplyDesignedTexts(FormModel& form) {
    for (const WindowText& t : MainWindowTexts()) {
        if (t.toolTip)
            form.setToolTip(t.control, t.simplified);
        else
            form.setText(t.control, t.simplified);
    }
}

void ApplyTraditionalTexts(FormModel& form) {
    for (const WindowText& t : MainWindowTexts()) {
        if (t.traditional.empty()) continue;
        if (t.toolTip)
            form.setToolTip(t.control, t.traditional);
        else
            form.setText(t.control, t.traditional);
    }
}

std::string MoveRecordTip(Language lang, std::string_view date) {
    return std::string(SimplifiedUnlessTraditional(lang, "最高记录发生于:", "最高記錄發生於:")) +
           std::string(date);
}

std::string UseTimeRecordTip(Language lang, std::string_view date) {
    return std::string(SimplifiedUnlessTraditional(lang, "最高记录发生于", "最高記錄發生於")) +
           std::string(date);
}

std::string StoreReadOnlyText(Language lang, std::string_view folder) {
    return std::string(SimplifiedUnlessTraditional(lang, "设置文件夹 ", "設定資料夾 ")) +
           std::string(folder) +
           std::string(SimplifiedUnlessTraditional(
               lang,
               " 不能写入：已保存的统计数据照常读取，但本次运行的统计无法保存在那里。"
               "请让该文件夹可写。",
               " 不能寫入：已儲存的統計資料照常讀取，但本次執行的統計無法儲存在那裡。"
               "請讓該資料夾可寫。"));
}

std::string ClickRecordText(Language lang, std::string_view count) {
    return std::string(TraditionalUnlessSimplified(lang, "历史最高记录:", "歷史最高記錄:")) +
           std::string(count) + "次";
}

std::string ClickRecordTip(Language lang, std::string_view date) {
    return std::string(TraditionalUnlessSimplified(lang, "最高记录发生于:", "最高記錄發生於:")) +
           std::string(date);
}

}  // namespace pt
