#include "texts/HistoryTexts.h"

namespace pt {

std::string_view HistoryTextOf(Language lang, HistoryText text) {
    switch (text) {
        case HistoryText::Title:
            return SimplifiedUnlessTraditional(lang, "每日统计", "每日統計");
        case HistoryText::Figure:
            return SimplifiedUnlessTraditional(lang, "统计项目：", "統計項目：");
        case HistoryText::Range:
            return SimplifiedUnlessTraditional(lang, "时间范围：", "時間範圍：");
        case HistoryText::Last7Days:
            return SimplifiedUnlessTraditional(lang, "最近7天", "最近7天");
        case HistoryText::Last30Days:
            return SimplifiedUnlessTraditional(lang, "最近30天", "最近30天");
        case HistoryText::Last365Days:
            return SimplifiedUnlessTraditional(lang, "最近365天", "最近365天");
        case HistoryText::HoursOf:
            return SimplifiedUnlessTraditional(lang, "每小时：", "每小時：");
        case HistoryText::NoHoursForUseTime:
            return SimplifiedUnlessTraditional(lang, "电脑用时没有每小时的记录",
                                               "電腦用時沒有每小時的記錄");
        case HistoryText::Date:
            return SimplifiedUnlessTraditional(lang, "日期", "日期");
        case HistoryText::BestDays:
            return SimplifiedUnlessTraditional(lang, "最高纪录", "最高紀錄");
        case HistoryText::NoBestDay:
            return SimplifiedUnlessTraditional(lang, "暂无记录", "暫無記錄");
        case HistoryText::Export:
            return SimplifiedUnlessTraditional(lang, "导出CSV(&E)...", "匯出CSV(&E)...");
        case HistoryText::ExportFailed:
            return SimplifiedUnlessTraditional(lang, "无法保存文件：", "無法儲存檔案：");
        case HistoryText::ExportTitle:
            return SimplifiedUnlessTraditional(lang, "导出每日统计", "匯出每日統計");
        case HistoryText::AllClicks:
            return SimplifiedUnlessTraditional(lang, "鼠标点击（左中右键合计）",
                                               "滑鼠點擊（左中右鍵合計）");
    }
    return {};
}

std::string_view FigureName(Language lang, DayFigure figure) {
    switch (figure) {
        case DayFigure::Travel:
            return SimplifiedUnlessTraditional(lang, "鼠标移动距离", "滑鼠移動距離");
        case DayFigure::LeftClicks:
            return SimplifiedUnlessTraditional(lang, "左键点击", "左鍵點擊");
        case DayFigure::MiddleClicks:
            return SimplifiedUnlessTraditional(lang, "中键点击", "中鍵點擊");
        case DayFigure::RightClicks:
            return SimplifiedUnlessTraditional(lang, "右键点击", "右鍵點擊");
        case DayFigure::Keys:
            return SimplifiedUnlessTraditional(lang, "键盘击打", "鍵盤擊打");
        case DayFigure::UseTime:
            return SimplifiedUnlessTraditional(lang, "电脑用时", "電腦用時");
    }
    return {};
}

}  // namespace pt
