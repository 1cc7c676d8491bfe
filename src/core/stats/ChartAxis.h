#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pt {

// A label below a chart's bars: the bar it names, what it says and where it stands (pixels
// from the chart's left edge).
struct AxisLabel {
    std::size_t bar = 0;
    std::string text;
    int left = 0;
    int width = 0;
    bool operator==(const AxisLabel&) const = default;
};

// The least room between two labels, in pixels.
inline constexpr int AxisLabelGap = 8;
// From this many days on, the axis names months instead of days.
inline constexpr std::size_t MonthLabelsFrom = 63;

// The labels below the bars of a chart: bar i takes the place from `plotLeft + i * slot`,
// `slot` pixels wide, in a chart `chartWidth` pixels wide; `textWidth` measures a text in
// the chart's font. Bars named by ISO dates over nine weeks or more are labelled by months:
// the first of every month, or of every 2nd, 3rd, 4th or 6th month where they do not all
// fit, evenly spaced with January always among them, so that every change of year is
// named. Otherwise whole dates where they fit, else month and day ("12-08"), and other
// names as they are, as many as fit. Each label is centred under its bar, kept inside the
// chart, and left out where it would come too close to the one before.
std::vector<AxisLabel> AxisLabels(const std::vector<std::string>& barNames, double plotLeft,
                                  double slot, int chartWidth,
                                  const std::function<int(std::string_view)>& textWidth);

}  // namespace pt
