#include "core/stats/DayHistorySummary.h"

#include <algorithm>
#include <charconv>

#include "core/stats/DayAccounting.h"
#include "core/stats/Formatting.h"
#include "core/stats/StatisticsModel.h"

namespace pt {

std::int64_t FigureOf(const DayFigures& f, DayFigure figure) {
    switch (figure) {
        case DayFigure::Travel:
            return f.travel;
        case DayFigure::LeftClicks:
            return f.leftClicks;
        case DayFigure::MiddleClicks:
            return f.middleClicks;
        case DayFigure::RightClicks:
            return f.rightClicks;
        case DayFigure::Keys:
            return f.keys;
        case DayFigure::UseTime:
            return f.useSeconds;
    }
    return 0;
}

std::optional<std::int64_t> HourFigureOf(const HourRow& hour, DayFigure figure) {
    switch (figure) {
        case DayFigure::Travel:
            return hour.travel;
        case DayFigure::LeftClicks:
        case DayFigure::MiddleClicks:
        case DayFigure::RightClicks:
            return hour.clicks;
        case DayFigure::Keys:
            return hour.keys;
        case DayFigure::UseTime:
            return std::nullopt;
    }
    return std::nullopt;
}

std::string FigureText(std::int64_t value, DayFigure figure) {
    if (figure == DayFigure::UseTime) return FormatUseTime(static_cast<double>(value));
    if (figure != DayFigure::Travel) return std::to_string(value);
    char text[48];
    const double metres = static_cast<double>(value) * MmPerPixel / 1000.0;
    auto [end, ec] =
        std::to_chars(text, text + sizeof text - 2, metres, std::chars_format::fixed, 3);
    if (ec != std::errc()) return "0.000 m";
    return std::string(text, end) + " m";
}

std::vector<ChartPoint> LastDays(const std::vector<DayRow>& days, std::string_view today, int count,
                                 DayFigure figure) {
    std::vector<ChartPoint> points;
    if (count <= 0) return points;
    points.reserve(static_cast<size_t>(count));
    const std::string first = IsoDateMinusDays(today, count - 1);
    if (first.empty()) return points;
    auto row = std::lower_bound(days.begin(), days.end(), first,
                                [](const DayRow& r, const std::string& d) { return r.date < d; });
    for (int back = count - 1; back >= 0; --back) {
        ChartPoint point{IsoDateMinusDays(today, back), std::nullopt};
        while (row != days.end() && row->date < point.label) ++row;
        if (row != days.end() && row->date == point.label)
            point.value = FigureOf(row->figures, figure);
        points.push_back(std::move(point));
    }
    return points;
}

std::vector<ChartPoint> DayHours(const std::vector<HourRow>& hours, DayFigure figure) {
    std::vector<ChartPoint> points(24);
    for (int h = 0; h < 24; ++h) points[static_cast<size_t>(h)].label = std::to_string(h);
    for (const HourRow& row : hours)
        if (row.hour >= 0 && row.hour < 24)
            points[static_cast<size_t>(row.hour)].value = HourFigureOf(row, figure);
    return points;
}

std::optional<DayRow> BestDay(const std::vector<DayRow>& days, DayFigure figure) {
    const DayRow* best = nullptr;
    for (const DayRow& row : days)
        if (FigureOf(row.figures, figure) > (best ? FigureOf(best->figures, figure) : 0))
            best = &row;
    if (!best) return std::nullopt;
    return *best;
}

}  // namespace pt
