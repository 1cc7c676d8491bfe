#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/form/FormModel.h"
#include "core/form/ShutdownControls.h"
#include "core/ports/Clock.h"
#include "core/ports/MessageBox.h"
#include "core/ports/Power.h"
#include "core/ports/SettingsStore.h"
#include "core/shell/CommandTable.h"
#include "core/shutdown/PowerActions.h"
#include "core/texts/Language.h"

namespace pt {

// The shutdown page of the main window: the minute countdown, the eight clock rules and
// the three power buttons. Writes its controls into the main window's form model by their
// names and registers what their clicks do in the window's command table. An armed rule is
// kept as its time; the page's fields only show it.
//
// Wiring: field edits only need FormModel's textEditedByUser. Call restoreSchedule() as the
// last start-up step, checkSchedule() at the end of every one-second tick, and
// onCountdownTick() every second while countdownActive(); `onCountdownChanged` is called
// with true when that one-second timer must start, false when it must stop.
class ShutdownScheduler {
public:
    using ClockRule = shutdown_controls::ClockRule;

    ShutdownScheduler(FormModel& form, SettingsStore& store, Clock& clock, MessageBox& messages,
                      Power& power, Language lang, bool testMode, CommandTable& commands,
                      std::function<void()> saveAll, std::function<void()> quit,
                      std::function<void(bool on)> onCountdownChanged);

    // Start-up: script of the rules' captions and the schedule restored from the store.
    void restoreSchedule();
    // Once a second: fires the first armed rule whose time has come.
    void checkSchedule();

    // Countdown tick (Timer3).
    void onCountdownTick();
    bool countdownActive() const { return m_countdownRunning; }

    bool armed(ClockRule rule) const {
        return m_schedule[shutdown_controls::Place(rule)].has_value();
    }

    PowerActions& powerActions() { return m_power; }

private:
    // When an armed rule fires: the month and day only for the date rule.
    struct RuleTime {
        double month = 0, day = 0, hour = 0, minute = 0;
    };

    void designedState();
    void registerCommands(CommandTable& commands);
    void tickBox(ClockRule rule, bool ticked);
    void onBoxClicked(ClockRule rule);

    void armTimeRule(ClockRule rule);
    void armDateRule();
    void arm(ClockRule rule);
    void cancelRule(ClockRule rule);
    void idleTodayRule();
    void showUnarmed(ClockRule rule);

    bool validHour(ControlId field);
    bool validMinute(ControlId field);
    void errorBox(const std::string& text, ControlId focusField);
    std::string text(ControlId id) { return m_form.get(id).text; }
    double value(ControlId id);
    // Writes a schedule value; while another program holds the store locked, the value is
    // kept and written when the schedule is restored once the store can be read.
    void store(std::string_view name, const std::string& value);

    // Calls powerOffAsScheduled; true when the check must stop (the request went out).
    bool fire();

    void startCountdown();
    void stopCountdown();
    void setCountdownRunning(bool on);

    FormModel& m_form;
    SettingsStore& m_store;
    Clock& m_clock;
    MessageBox& m_messages;
    Language m_lang;
    PowerActions m_power;
    std::function<void(bool on)> m_onCountdownChanged;

    std::array<std::optional<RuleTime>, std::size(shutdown_controls::ClockRules)> m_schedule;
    // Schedule values set while the store was locked, in the order set.
    std::vector<std::pair<std::string, std::string>> m_heldBack;
    double m_autoShutdownTime = 0;
    bool m_countdownRunning = false;
    bool m_countdownFired = false;  // the count reached zero and the power step ran
    // The minute in which a scheduled request went out: not asked again in it (an
    // accepted one ends the program, a refused one has been told once).
    std::optional<std::int64_t> m_refusedMinute;
};

}  // namespace pt
