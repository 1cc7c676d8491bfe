#pragma once

#include <cstdint>
#include <string>

#include "core/stats/DynamicValue.h"

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
    std::int32_t fileLeftClick = 0, fileMidClick = 0, fileRightClick = 0, fileTotalClick = 0;
    // ... and from the settings store (0 when its two copies differ).
    std::int32_t storeLeftClick = 0, storeMidClick = 0, storeRightClick = 0, storeTotalClick = 0;
};

// Everything the program measures. "Today" means since this run started: the today
// values begin at zero at every start and are never reset while the program runs.
struct StatisticsModel {
    // Cursor sampling, screen pixels.
    std::int32_t lastX = 0, lastY = 0;
    std::int32_t currentX = 0, currentY = 0;

    // Mouse travel, pixels. Today's travel is kept in double precision: a float stops
    // counting sub-pixel moves after about 4.4 km in one run.
    double todayTravel = 0;
    double totalTravel = 0;
    double fileTravel = 0;
    double storeTravel = 0;
    double recordTravel = 0;
    std::string recordTravelDate;

    // Use time and uptime, seconds.
    double todayUseTime = 0;
    double totalUseTime = 0;
    double fileUseTime = 0;
    double storeUseTime = 0;
    double recordUseTime = 0;
    std::string recordUseTimeDate;
    double uptime = 0;

    ClickCounters clicks;
    std::int32_t recordClicks = 0;
    DynamicValue recordClicksDate;

    // Keystrokes.
    DynamicValue todayKeys;
    DynamicValue totalKeys;
    DynamicValue fileKeys;

    // Points; empty until the first computation.
    DynamicValue points;
};

}  // namespace pt
