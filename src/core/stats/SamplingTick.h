#pragma once

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "core/form/FormModel.h"
#include "core/ports/CursorSource.h"
#include "core/ports/InputAccess.h"
#include "core/ports/NumberFormat.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/Language.h"

namespace pt {

// The sampling tick: adds the pointer's travel to today's and the total travel and
// rewrites the live figures (position, travel texts, status-bar panels 2 and 3, the two
// click lines). The cursor source measures on its own thread; each tick folds in
// everything measured since the last one, so the tick itself may run at display rate.
// Where the input access reports that the devices cannot be read, today's travel and click
// figures read "not measured"; where the desktop keeps the pointer's position to itself,
// the position label says so.
class SamplingTick {
public:
    SamplingTick(StatisticsModel& model, FormModel& form, CursorSource& cursor,
                 const NumberFormat& numberFormat, Language lang,
                 const InputAccess* access = nullptr);

    void tick();
    // The status bar's counts panel alone: today's clicks, a slash, today's keys.
    void showCounts();

    // Successful cursor reads folded in so far (for diagnostics and benchmarks).
    std::uint64_t samples() const { return m_samples; }

private:
    void showClickLines(bool measured);
    // Clicks and keys can be counted (the input devices are readable).
    bool inputMeasured() const { return !m_access || m_access->devicesReadable(); }

    StatisticsModel& m_model;
    FormModel& m_form;
    CursorSource& m_cursor;
    const NumberFormat& m_numberFormat;
    Language m_lang;
    const InputAccess* m_access;
    std::uint64_t m_samples = 0;

    ControlSlot m_position, m_todayTravel, m_totalTravel, m_travelPanel, m_countsPanel;
    std::array<ControlSlot, 4> m_todayCounts{};  // all, left, middle, right
    std::array<ControlSlot, 4> m_totalCounts{};
    std::vector<std::pair<ControlSlot, std::string_view>> m_words;  // the lines' fixed words
};

// "( 512, 384)" / "(-8, 5)": a blank stands where a minus sign would.
std::string PositionText(std::int32_t x, std::int32_t y);

}  // namespace pt
