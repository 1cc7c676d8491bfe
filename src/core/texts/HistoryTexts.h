#pragma once

#include "core/stats/DayHistorySummary.h"
#include "core/texts/Language.h"

// The texts of the day history window. Like the main window's, they turn Traditional only
// for "B5".
namespace pt::history_texts {

inline constexpr Text Title{"每日统计", "每日統計", "每日统计"};
inline constexpr Text Figure{"统计项目：", "統計項目：", "统计项目："};
inline constexpr Text Range{"时间范围：", "時間範圍：", "时间范围："};
// The ranges to choose from.
inline constexpr Text Last7Days{"最近7天"};
inline constexpr Text Last30Days{"最近30天"};
inline constexpr Text Last365Days{"最近365天"};
inline constexpr Text HoursOf{"每小时：", "每小時：", "每小时："};
inline constexpr Text NoHoursForUseTime{"电脑用时没有每小时的记录", "電腦用時沒有每小時的記錄",
                                        "电脑用时没有每小时的记录"};
inline constexpr Text Date{"日期"};
inline constexpr Text BestDays{"最高纪录", "最高紀錄", "最高纪录"};
inline constexpr Text NoBestDay{"暂无记录", "暫無記錄", "暂无记录"};
inline constexpr Text Export{"导出CSV(&E)...", "匯出CSV(&E)...", "导出CSV(&E)..."};
inline constexpr Text ExportFailed{"无法保存文件：", "無法儲存檔案：", "无法保存文件："};
inline constexpr Text ExportTitle{"导出每日统计", "匯出每日統計", "导出每日统计"};
inline constexpr Text AllClicks{"鼠标点击（左中右键合计）", "滑鼠點擊（左中右鍵合計）",
                                "鼠标点击（左中右键合计）"};

// The name of a figure, in the choice, the table's header and the best days.
const Text& FigureName(DayFigure figure);

}  // namespace pt::history_texts
