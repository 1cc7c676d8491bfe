#include "core/stats/HistoryWindowModel.h"

#include "core/texts/HistoryTexts.h"

namespace pt {

std::string HoursDateOnOpen(const std::vector<DayRow>& days, std::string_view today) {
    return std::string(days.empty() || days.back().date == today ? today : days.back().date);
}

std::string HoursCaption(std::string_view date, DayFigure figure, Language lang) {
    const bool clicks = figure == DayFigure::LeftClicks || figure == DayFigure::MiddleClicks ||
                        figure == DayFigure::RightClicks;
    std::string text(date);
    text += ' ';
    text += history_texts::HoursOf.in(lang);
    text += clicks ? history_texts::AllClicks.in(lang) : history_texts::FigureName(figure).in(lang);
    return text;
}

std::string BestDayText(const std::vector<DayRow>& days, DayFigure figure, Language lang) {
    const auto best = BestDay(days, figure);
    if (!best) return std::string(history_texts::NoBestDay.in(lang));
    return FigureText(FigureOf(best->figures, figure), figure) + "  (" + best->date + ")";
}

std::string ExportSavedText(size_t days, std::string_view file, Language lang) {
    std::string text(history_texts::ExportSavedBefore.in(lang));
    text += std::to_string(days);
    text += history_texts::ExportSavedMiddle.in(lang);
    text += file;
    return text;
}

}  // namespace pt
