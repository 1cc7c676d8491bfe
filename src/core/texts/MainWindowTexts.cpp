#include "texts/MainWindowTexts.h"

namespace pt {

const std::vector<WindowText>& MainWindowTexts() {
    static const std::vector<WindowText> texts = {
        // Labels, frames, check box and buttons.
        {"Label1", "鼠标今天移动：", "滑鼠今天移動："},
        {"Label3", "鼠标累计移动：", "滑鼠累計移動："},
        {"Label5", "鼠标当前位置：", "滑鼠當前位置："},
        {"Label7", "历史最高记录：", "歷史最高記錄："},
        {"Label17", "等级称号:", "等級稱號:"},
        {"Label20", "等级积分:", "等級積分:"},
        {"Check2MinToSystray", "启动后自动最小化到系统托盘", "啟動後自動最小化到系統託盤"},
        {"Label9", "电脑今天用时：", "電腦今天用時："},
        {"Label11", "电脑累计用时：", "電腦累計用時："},
        {"Label13", "Windows已运行时间：", "Windows已運行時間："},
        {"Label15", "历史最高记录：", "歷史最高記錄："},
        {"Frame1", "设定自动关机", "設定自動關機"},
        {"Frame4", "鼠标移动里程统计", "滑鼠移動里程統計"},
        {"Frame5", "鼠标点击次数统计", "滑鼠點擊次數統計"},
        {"Frame3", "电脑用时统计", "電腦用時統計"},
        {"Frame6", "键盘按键次数统计", "鍵盤按鍵次數統計"},
        {"Label18", "分钟后自动关机", "分鐘後自動關機"},
        {"cmdLogoff", "立即注销", "立即註銷"},
        {"cmdReboot", "立即重启", "立即重啟"},
        {"cmdShutdown", "立即关机", "立即關機"},
        // Tab titles (the Traditional mode uses English words).
        {"SSTab1.Tab0", "统  计", "Main"},
        {"SSTab1.Tab1", "电脑用时", "Time"},
        {"SSTab1.Tab2", "保护眼睛", "Eye"},
        {"SSTab1.Tab3", "定时自动关机", "Auto Shut"},
        {"SSTab1.Tab4", "最新资讯", "News"},
        // Status-bar tooltips; the fifth panel keeps its design in both languages.
        {"StatusBar1.Panel1", "现在的日期、时间、星期", "今天的日期、時間、星期", true},
        {"StatusBar1.Panel2", "今天鼠标移动的路程", "今天滑鼠移動的路程(米)", true},
        {"StatusBar1.Panel3", "今日鼠标点击次数/今日键盘击打次数",
         "今日滑鼠點擊次數/今日鍵盤擊打次數", true},
        {"StatusBar1.Panel4", "今天电脑所用的时间", "今天電腦所用時間(時:分:秒)", true},
        // Menus.
        {"menuFile", "操作(&F)", "操作(&F)"},
        {"menuDayHistory", "每日统计(&D)...", "每日統計(&D)..."},
        {"menuClearAll", "数据重置", "數據重置"},
        {"menuOption", "选项(&O)", "選項(&O)"},
        {"menuClose", "退出(&X)", "退出(&X)"},
        {"menuHelp", "帮助(&H)", "幫助(&H)"},
        {"menuHelp1", "帮助内容", "幫助內容"},
        {"menuUpdate", "检查更新(&U)...", "檢查更新(&U)..."},
        {"menuEmailToMe", "Email给我(&E)", "Email給我(&E)"},
        {"menuAbout", "关于(&A) Pathtally...", "關於(&A) Pathtally..."},
        {"menuRightMenuShowMainWindow", "显示主窗口", "顯示主視窗"},
        {"menuRightAutoShutdown", "定时自动关机", "定時自動關機"},
        {"menuRightMenuDayHistory", "每日统计", "每日統計"},
        {"menuRightMenuMyWeb", "官方网站", "官方網站"},
        {"menuRightMenuAbout", "关于Pathtally", "關於Pathtally"},
        {"menuRightMenuClose", "退出", "退出"},
        // Help-menu entries of the automatic update check and the site browser.
        {"menuAutoUpdate", "自动检查新版本", "自動檢查新版本"},
        {"menuWebBrowser", "浏览官方网站(&W)", "瀏覽官方網站(&W)"},
        // One script only.
        {"menuHistory", "历史记录(&H)", ""},
        {"menuPaiHang", "排行榜(&P)", ""},
        {"menuCleanHistory", "清除历史记录", ""},
        {"menuCleanPaiHang", "清除排行榜", ""},
        {"menuWebhelp", "线上技术支持(&T)", ""},
        {"menuLiuYan", "给我留言(&L)", ""},
        {"RightMenu", "右键菜单", ""},
        // Designed captions that the ticks overwrite at run time.
        {"Label2", " 0.000m ", ""},
        {"Label4", " 0.000km ", ""},
        {"Label6", "( 0, 0)", ""},
        {"Label8", " 0.000m ", ""},
        {"Label10", "0:00:00", ""},
        {"Label12", "0:00:00", ""},
        {"Label14", "0:00:00", ""},
        {"Label16", "0:00:00", ""},
        {"Label19", "1级", ""},
        {"Label21", "0分", ""},
        {"Label25", "历史最高记录:0次", ""},
        {"Label73", "Today:", ""},
        {"Label74", "Total:", ""},
        {"Label75", "查看排名", ""},
        {"test1", "测试模式", ""},
        {"StatusBar1.Panel1", "2007-01-03 21:30 星期三", ""},
        {"StatusBar1.Panel2", "1000.000m", ""},
        {"StatusBar1.Panel3", "10000次", ""},
        {"StatusBar1.Panel4", "0:00:00", ""},
        {"StatusBar1.Panel5", "Corvandel", ""},
        {"StatusBar1.Panel5", "Pathtally 由 Corvandel 制作，点击访问官方网站", "", true},
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
