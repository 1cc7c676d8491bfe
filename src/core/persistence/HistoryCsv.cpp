#include "core/persistence/HistoryCsv.h"

#include <charconv>

#include "core/stats/StatisticsModel.h"

namespace pt {
namespace {

void AppendField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// Metres with three decimals and a point, whatever the process locale says.
std::string Metres(std::int64_t pixels) {
    char text[48];
    const double metres = static_cast<double>(pixels) * MmPerPixel / 1000.0;
    auto [end, ec] = std::to_chars(text, text + sizeof text, metres, std::chars_format::fixed, 3);
    return ec == std::errc() ? std::string(text, end) : std::string("0.000");
}

}  // namespace

std::string HistoryCsv(const std::vector<DayRow>& days) {
    std::string out =
        "date,travel_pixels,travel_metres,left_clicks,middle_clicks,right_clicks,keys,"
        "use_time_seconds\r\n";
    out.reserve(out.size() + days.size() * 64);
    for (const DayRow& row : days) {
        const DayFigures& f = row.figures;
        AppendField(out, row.date);
        for (const std::string& field :
             {std::to_string(f.travel), Metres(f.travel), std::to_string(f.leftClicks),
              std::to_string(f.middleClicks), std::to_string(f.rightClicks), std::to_string(f.keys),
              std::to_string(f.useSeconds)}) {
            out += ',';
            out += field;
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace pt
