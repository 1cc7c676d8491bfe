#include "core/stats/ChartAxis.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace pt {
namespace {

bool IsIsoDate(std::string_view text) {
    return text.size() == 10 && text[4] == '-' && text[7] == '-';
}

// The bars named, with what each label says, before they are placed.
std::vector<std::pair<std::size_t, std::string>> WantedLabels(
    const std::vector<std::string>& names, double slot,
    const std::function<int(std::string_view)>& textWidth) {
    std::vector<std::pair<std::size_t, std::string>> wanted;
    const std::size_t count = names.size();
    const bool dates = IsIsoDate(names[0]);
    if (dates && count >= MonthLabelsFrom) {
        std::vector<std::size_t> firsts;
        for (std::size_t i = 0; i < count; ++i)
            if (IsIsoDate(names[i]) && names[i].compare(8, 2, "01") == 0) firsts.push_back(i);
        const int labelWidth = textWidth("2026-12");
        std::size_t step = 12;
        for (std::size_t candidate : {1, 2, 3, 4, 6}) {
            bool fits = true;
            for (std::size_t k = 0; k + candidate < firsts.size() && fits; ++k)
                fits = static_cast<double>(firsts[k + candidate] - firsts[k]) * slot >=
                       labelWidth + AxisLabelGap;
            if (fits) {
                step = candidate;
                break;
            }
        }
        for (std::size_t i : firsts) {
            const int month = (names[i][5] - '0') * 10 + (names[i][6] - '0');
            if (static_cast<std::size_t>(month - 1) % step == 0)
                wanted.emplace_back(i, names[i].substr(0, 7));
        }
        return wanted;
    }
    const bool whole = !dates || textWidth(names[0]) + AxisLabelGap <= slot * 2;
    const auto shown = [&](const std::string& name) {
        return whole || !IsIsoDate(name) ? name : name.substr(5);
    };
    const int every = std::max(
        1, static_cast<int>((textWidth(shown(names[0])) + AxisLabelGap) / std::max(1.0, slot)) + 1);
    for (std::size_t i = 0; i < count; i += static_cast<std::size_t>(every))
        wanted.emplace_back(i, shown(names[i]));
    return wanted;
}

}  // namespace

std::vector<AxisLabel> AxisLabels(const std::vector<std::string>& barNames, double plotLeft,
                                  double slot, int chartWidth,
                                  const std::function<int(std::string_view)>& textWidth) {
    std::vector<AxisLabel> labels;
    if (barNames.empty()) return labels;
    int lastRight = INT_MIN / 2;
    for (auto& [bar, text] : WantedLabels(barNames, slot, textWidth)) {
        const int width = textWidth(text);
        const int centre = static_cast<int>(plotLeft + static_cast<double>(bar) * slot + slot / 2);
        const int left = std::clamp(centre - width / 2, 0, std::max(0, chartWidth - width));
        if (left < lastRight + AxisLabelGap) continue;
        labels.push_back({bar, std::move(text), left, width});
        lastRight = left + width;
    }
    return labels;
}

}  // namespace pt
