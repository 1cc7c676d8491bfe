#pragma once

#include <cstdint>
#include <string>

#include "stats/DynamicValue.h"

namespace pt {

// Millimetres per screen pixel: the single-precision constant 0.265f, widened.
// Widened it is exactly 0.26499998569488525, and that value is the multiplier everywhere.
inline constexpr double MmPerPixel = static_cast<double>(0.265f);

// The largest lifetime total (seconds of use, pixels of travel, keystrokes) taken from the
// settings store or the data file at start; a larger stored value is held at it, a value
// that is not a number reads as 0. 1e15 is beyond any real count (31 million years of use)
// and far below 2^53, where adding one second or one key would no longer change a double.
inline constexpr double MaxStoredTotal = 1e15;

// The click counters, kept apart so the click hook reaches them without the window.
struct ClickCounters {
    std::int32_t todayLeftClick = 0;
    std::int32_t todayMidClick = 0;
    std::int32_t todayRightClick = 0;
    std::int32_t todayTotalClick = 0;
    std::int32_t leftClick = 0;
    std::int32_t midClick = 0;
    std::int32_t rightClick = 0;
    std::int32_t totalClick = 0;
    // As read from the data file (0 when it fails its check) ...
    std::int32_t leftClick1 = 0, midClick1 = 0, rightClick1 = 0, totalClick1 = 0;
    // ... and from the settings store (0 when its two copies differ).
    std::int32_t leftClick2 = 0, midClick2 = 0, rightClick2 = 0, totalClick2 = 0;
};

// Everything the program measures. "Today" means since this run started: the today
// values begin at zero at every start and are never reset while the program runs.
struct StatisticsModel {
    // Cursor sampling, screen pixels.
    std::int32_t MouseX0 = 0, MouseY0 = 0;
    std::int32_t MouseX1 = 0, MouseY1 = 0;

    // Mouse travel, pixels. Today's travel is kept in double precision: a float stops
    // counting sub-pixel moves after about 4.4 km in one run.
    double TodayMove = 0;
    double AllMove = 0;
    double AllMove1 = 0;
    double AllMove2 = 0;
    double MaxMove = 0;
    std::string MaxMove_Date;

    // Use time and uptime, seconds.
    double TodayUseTime = 0;
    double AllUseTime = 0;
    double AllUseTime1 = 0;
    double AllUseTime2 = 0;
    double MaxUseTime = 0;
    std::string MaxUseTime_Date;
    double WindowsRunTime = 0;

    ClickCounters clicks;
    std::int32_t MaxTotalClick = 0;
    DynamicValue MaxTotalClickDate;

    // Keystrokes.
    DynamicValue KeyDownToday;
    DynamicValue KeyDownAll;
    DynamicValue KeyDownAll1;

    // Points; empty until the first computation.
    DynamicValue JiFeng;
};

}  // namespace pt
