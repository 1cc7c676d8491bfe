#include "texts/HistoryTexts.h"

namespace pt {

std::string_view HistoryTextOf(Wlang lang, HistoryText text) {
    switch (text) {
        case HistoryText::Title:
            return B5Test(lang, "每日统计", "每日統計");
        case HistoryText::Figure:
            return B5Test(lang, "统计项目：", "統計項目：");
        case HistoryText::Range:
            return B5Test(lang, "时间范围：", "時間範圍：");
        case HistoryText::Last7Days:
            return B5Test(lang, "最近7天", "最近7天");
        case HistoryText::Last30Days:
            return B5Test(lang, "最近30天", "最近30天");
        case HistoryText::Last365Days:
            return B5Test(lang, "最近365天", "最近365天");
        case HistoryText::HoursOf:
            return B5Test(lang, "每小时：", "每小時：");
        case HistoryText::NoHoursForUseTime:
            return B5Test(lang, "电脑用时没有每小时的记录", "電腦用時沒有每小時的記錄");
        case HistoryText::Date:
            return B5Test(lang, "日期", "日期");
        case HistoryText::BestDays:
            return B5Test(lang, "最高纪录", "最高紀錄");
        case HistoryText::NoBestDay:
            return B5Test(lang, "暂无记录", "暫無記錄");
        case HistoryText::Export:
            return B5Test(lang, "导出CSV(&E)...", "匯出CSV(&E)...");
        case HistoryText::ExportFailed:
            return B5Test(lang, "无法保存文件：", "無法儲存檔案：");
        case HistoryText::ExportTitle:
            return B5Test(lang, "导出每日统计", "匯出每日統計");
        case HistoryText::AllClicks:
            return B5Test(lang, "鼠标点击（左中右键合计）", "滑鼠點擊（左中右鍵合計）");
    }
    return {};
}

std::string_view FigureName(Wlang lang, DayFigure figure) {
    switch (figure) {
        case DayFigure::Travel:
            return B5Test(lang, "鼠标移动距离", "滑鼠移動距離");
        case DayFigure::LeftClicks:
            return B5Test(lang, "左键点击", "左鍵點擊");
        case DayFigure::MiddleClicks:
            return B5Test(lang, "中键点击", "中鍵點擊");
        case DayFigure::RightClicks:
            return B5Test(lang, "右键点击", "右鍵點擊");
        case DayFigure::Keys:
            return B5Test(lang, "键盘击打", "鍵盤擊打");
        case DayFigure::UseTime:
            return B5Test(lang, "电脑用时", "電腦用時");
    }
    return {};
}

}  // namespace pt
