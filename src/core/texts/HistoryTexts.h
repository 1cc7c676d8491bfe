#pragma once

#include <string_view>

#include "stats/DayHistorySummary.h"
#include "texts/Language.h"

namespace pt {

// The texts of the day history window. Like the main window's, they turn Traditional
// only for "B5".
enum class HistoryText {
    Title,
    Figure,
    Range,
    Last7Days,
    Last30Days,
    Last365Days,
    HoursOf,
    NoHoursForUseTime,
    Date,
    BestDays,
    NoBestDay,
    Export,
    ExportFailed,
    ExportTitle,
    AllClicks,
};

std::string_view HistoryTextOf(Language lang, HistoryText text);
std::string_view FigureName(Language lang, DayFigure figure);

}  // namespace pt
