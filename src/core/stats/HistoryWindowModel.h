#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ports/DayHistory.h"
#include "core/stats/DayHistorySummary.h"
#include "core/texts/Language.h"

namespace pt {

// What the day history window shows beside its charts, the same in every toolkit.

// The day whose hours the window opens with: today, or the last day kept when today has
// no row yet. `days` oldest first.
std::string HoursDateOnOpen(const std::vector<DayRow>& days, std::string_view today);
// Above the hours' chart: "2026-12-08 每小时：键盘击打"; an hour keeps the clicks of all
// buttons together, so every kind of click names them all.
std::string HoursCaption(std::string_view date, DayFigure figure, Language lang);
// A figure's best day: "12.345 m  (2026-12-08)", or that there is none.
std::string BestDayText(const std::vector<DayRow>& days, DayFigure figure, Language lang);
// Said in the window once the export is written.
std::string ExportSavedText(size_t days, std::string_view file, Language lang);

// The ranges the window offers, in days.
inline constexpr int HistoryRanges[] = {7, 30, 365};
inline constexpr int DefaultHistoryRange = 30;

}  // namespace pt
