#pragma once

#include <array>
#include <cstddef>

#include "core/form/ControlId.h"

// The shutdown page of the main window: the countdown row, eight clock rules and the three
// power buttons. Each name is the widget's object name.
namespace pt::shutdown_controls {

inline constexpr ControlId RulesFrame{"Frame1"};
inline constexpr ControlId PowerFrame{"Frame2"};

// The countdown: box, minutes field, its unit label, start and stop, the warning line.
inline constexpr ControlId CountdownBox{"Check1"};
inline constexpr ControlId CountdownMinutes{"Text1"};
inline constexpr ControlId CountdownUnit{"Label18"};
inline constexpr ControlId StartCountdown{"Command1"};
inline constexpr ControlId StopCountdown{"Command2"};
inline constexpr ControlId CountdownWarning{"Label23"};

inline constexpr ControlId LogOffNow{"cmdLogoff"};
inline constexpr ControlId RebootNow{"cmdReboot"};
inline constexpr ControlId PowerOffNow{"cmdShutdown"};

// One clock rule: its box, its fields (the date rule has month and day before hour and
// minute), the enable and cancel buttons and the labels after the hour and the minute.
struct RuleControls {
    ControlId box;
    std::array<ControlId, 4> fields;
    int fieldCount;
    ControlId enable;
    ControlId cancel;
    ControlId hourLabel;
    ControlId minuteLabel;
    ControlId hour() const { return fields[static_cast<size_t>(fieldCount - 2)]; }
    ControlId minute() const { return fields[static_cast<size_t>(fieldCount - 1)]; }
};

// Today, Monday to Friday, Saturday, Sunday, a date, every day (three times).
inline constexpr RuleControls Rules[8] = {
    {{"Check2"},
     {{{"Text2"}, {"Text3"}}},
     2,
     {"Command3"},
     {"Command4"},
     {"HourLabel2"},
     {"MinuteLabel2"}},
    {{"Check3"},
     {{{"Text4"}, {"Text5"}}},
     2,
     {"Command5"},
     {"Command6"},
     {"HourLabel3"},
     {"MinuteLabel3"}},
    {{"Check4"},
     {{{"Text6"}, {"Text7"}}},
     2,
     {"Command7"},
     {"Command8"},
     {"HourLabel4"},
     {"MinuteLabel4"}},
    {{"Check5"},
     {{{"Text8"}, {"Text9"}}},
     2,
     {"Command9"},
     {"Command10"},
     {"HourLabel5"},
     {"MinuteLabel5"}},
    {{"Check6"},
     {{{"Text10"}, {"Text11"}, {"Text12"}, {"Text13"}}},
     4,
     {"Command11"},
     {"Command12"},
     {"HourLabel6"},
     {"MinuteLabel6"}},
    {{"Check7"},
     {{{"Text14"}, {"Text15"}}},
     2,
     {"Command13"},
     {"Command14"},
     {"HourLabel7"},
     {"MinuteLabel7"}},
    {{"Check8"},
     {{{"Text16"}, {"Text17"}}},
     2,
     {"Command15"},
     {"Command16"},
     {"HourLabel8"},
     {"MinuteLabel8"}},
    {{"Check9"},
     {{{"Text18"}, {"Text19"}}},
     2,
     {"Command17"},
     {"Command18"},
     {"HourLabel9"},
     {"MinuteLabel9"}},
};
// The date rule's labels after the month and the day.
inline constexpr ControlId MonthLabel{"MonthLabel6"};
inline constexpr ControlId DayLabel{"DayLabel6"};

// The clock rules, top to bottom on the page.
enum class ClockRule { Today, Weekdays, Saturday, Sunday, OnDate, EveryDay1, EveryDay2, EveryDay3 };
inline constexpr ClockRule ClockRules[8] = {
    ClockRule::Today,  ClockRule::Weekdays,  ClockRule::Saturday,  ClockRule::Sunday,
    ClockRule::OnDate, ClockRule::EveryDay1, ClockRule::EveryDay2, ClockRule::EveryDay3};
// Where a rule stands among ClockRules (and in every table kept in that order).
constexpr std::size_t Place(ClockRule rule) {
    return static_cast<std::size_t>(rule);
}

constexpr const RuleControls& Rule(ClockRule rule) {
    return Rules[Place(rule)];
}
// The date rule's fields.
inline constexpr ControlId DateMonth = Rules[Place(ClockRule::OnDate)].fields[0];
inline constexpr ControlId DateDay = Rules[Place(ClockRule::OnDate)].fields[1];

}  // namespace pt::shutdown_controls
