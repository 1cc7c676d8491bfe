#include "core/shutdown/ShutdownScheduler.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "core/form/ShutdownControls.h"
#include "core/persistence/ValueNames.h"
#include "core/stats/Formatting.h"
#include "core/stats/NumberText.h"
#include "core/texts/ShutdownTexts.h"

namespace pt {

using namespace shutdown_controls;

namespace texts = shutdown_texts;

namespace {

// The box caption of a rule.
const Text& RuleBox(ClockRule rule) {
    return texts::RuleBoxes[Place(rule)];
}

// The stored flag that keeps a rule armed across runs (none for the today rule).
std::string_view ArmedFlag(ClockRule rule) {
    return value::RuleArmed[Place(rule) - 1];
}

// The rules kept armed across runs, with their times stored: all but today's.
bool Remembered(ClockRule rule) {
    return rule != ClockRule::Today;
}

std::int64_t MinuteKey(const LocalTime& t) {
    return ((static_cast<std::int64_t>(t.year) * 13 + t.month) * 32 + t.day) * 1440 + t.hour * 60 +
           t.minute;
}

ControlId field(const RuleControls& rule, int index) {
    return rule.fields[static_cast<size_t>(index)];
}

std::string Plain(int number) {
    return std::to_string(number);
}

// Whether an armed rule's day has come: the weekday rules by the day of the week (1 is
// Sunday), the date rule by its month and day, the others every day.
bool OnItsDay(ClockRule rule, double month, double day, const LocalTime& now) {
    switch (rule) {
        case ClockRule::Weekdays:
            return now.weekday >= 2 && now.weekday <= 6;
        case ClockRule::Saturday:
            return now.weekday == 7;
        case ClockRule::Sunday:
            return now.weekday == 1;
        case ClockRule::OnDate:
            return month == now.month && day == now.day;
        case ClockRule::Today:
        case ClockRule::EveryDay1:
        case ClockRule::EveryDay2:
        case ClockRule::EveryDay3:
            return true;
    }
    return false;
}

}  // namespace

ShutdownScheduler::ShutdownScheduler(FormModel& form, SettingsStore& store, Clock& clock,
                                     MessageBox& messages, Power& power, Language lang,
                                     bool testMode, CommandTable& commands,
                                     std::function<void()> saveAll, std::function<void()> quit,
                                     std::function<void(bool on)> onCountdownChanged)
    : m_form(form),
      m_store(store),
      m_clock(clock),
      m_messages(messages),
      m_lang(lang),
      m_power(messages, power, lang, testMode, std::move(saveAll), std::move(quit)),
      m_onCountdownChanged(std::move(onCountdownChanged)) {
    designedState();
    registerCommands(commands);
}

// The page as the window is created: Simplified captions, every enable button disabled,
// every cancel button and the warning line hidden.
void ShutdownScheduler::designedState() {
    m_form.setText(CountdownBox, texts::CountdownBox.designed());
    m_form.setChecked(CountdownBox, false);
    m_form.setText(CountdownMinutes, "60");
    m_form.setToolTip(CountdownMinutes, texts::CountdownMinutesTip.designed());
    m_form.setText(StartCountdown, texts::Enable.designed());
    m_form.setEnabled(StartCountdown, false);
    m_form.setText(StopCountdown, texts::Cancel.designed());
    m_form.setVisible(StopCountdown, false);
    m_form.setVisible(CountdownWarning, false);

    for (ClockRule rule : ClockRules) {
        const RuleControls& r = Rule(rule);
        m_form.setText(r.box, RuleBox(rule).designed());
        m_form.setChecked(r.box, false);
        for (int f = 0; f < r.fieldCount; ++f) m_form.setText(field(r, f), "");
        m_form.setText(r.hourLabel, texts::HourLabel.designed());
        m_form.setText(r.minuteLabel, texts::MinuteLabel.designed());
        m_form.setText(r.enable, texts::Enable.designed());
        m_form.setEnabled(r.enable, false);
        m_form.setText(r.cancel, texts::Cancel.designed());
        m_form.setVisible(r.cancel, false);
    }
    m_form.setText(MonthLabel, texts::MonthLabel.designed());
    m_form.setText(DayLabel, texts::DayLabel.designed());
}

void ShutdownScheduler::registerCommands(CommandTable& commands) {
    commands.add(LogOffNow, [this] { m_power.confirmLogOff(); });
    commands.add(RebootNow, [this] { m_power.confirmReboot(); });
    commands.add(PowerOffNow, [this] { m_power.confirmPowerOff(); });
    commands.add(CountdownBox,
                 [this] { m_form.setEnabled(StartCountdown, m_form.get(CountdownBox).checked); });
    commands.add(StartCountdown, [this] { startCountdown(); });
    commands.add(StopCountdown, [this] { stopCountdown(); });
    for (ClockRule rule : ClockRules) {
        const RuleControls& r = Rule(rule);
        commands.add(r.box, [this, rule] { onBoxClicked(rule); });
        if (rule == ClockRule::OnDate)
            commands.add(r.enable, [this] { armDateRule(); });
        else
            commands.add(r.enable, [this, rule] { armTimeRule(rule); });
        commands.add(r.cancel, [this, rule] { cancelRule(rule); });
    }
}

// --- rules -----------------------------------------------------------------------------

void ShutdownScheduler::onBoxClicked(ClockRule rule) {
    const RuleControls& r = Rule(rule);
    m_form.setEnabled(r.enable, m_form.get(r.box).checked);
}

// Setting a box from code has the same effect as a click.
void ShutdownScheduler::tickBox(ClockRule rule, bool ticked) {
    m_form.setChecked(Rule(rule).box, ticked);
    onBoxClicked(rule);
}

double ShutdownScheduler::value(ControlId id) {
    return NumericValue(text(id));
}

void ShutdownScheduler::store(std::string_view name, const std::string& text) {
    if (!m_store.lockedPlace().empty()) {
        m_heldBack.emplace_back(name, text);
        return;
    }
    WriteSetting(m_store, MainKey, name, text);
}

void ShutdownScheduler::errorBox(const std::string& message, ControlId focusField) {
    m_messages.show(message, std::string(texts::ErrorTitle.in(m_lang)), MsgButtons::Ok,
                    MsgIcon::Stop, MsgDefault::First);
    m_form.requestFocus(focusField);
}

bool ShutdownScheduler::validHour(ControlId field) {
    const double hour = value(field);
    if (text(field).empty() || hour < 0 || hour > 23) {
        errorBox(std::string(texts::HourRange.in(m_lang)), field);
        return false;
    }
    return true;
}

bool ShutdownScheduler::validMinute(ControlId field) {
    const double minute = value(field);
    if (text(field).empty() || minute < 0 || minute > 59) {
        errorBox(std::string(texts::MinuteRange.in(m_lang)), field);
        return false;
    }
    return true;
}

void ShutdownScheduler::armTimeRule(ClockRule rule) {
    const RuleControls& r = Rule(rule);
    if (armed(rule)) return;
    const bool weekly =
        rule == ClockRule::Weekdays || rule == ClockRule::Saturday || rule == ClockRule::Sunday;
    if (weekly && !m_form.get(r.box).checked) return;
    if (!validHour(r.hour()) || !validMinute(r.minute())) return;

    if (rule == ClockRule::Today) {
        // The minute shown with two digits ("5" reads "05"), but only where that keeps its
        // value: "0.5" must not turn into minute 5.
        const double minute = value(r.minute());
        const std::string typed = text(r.minute());
        if (minute < 10) {
            std::string padded = "0";  // appended: "0" + std::string trips GCC 12's -Wrestrict
            padded += typed.substr(typed.size() - 1);
            if (NumericValue(padded) == minute) m_form.setText(r.minute(), padded);
        }
        const LocalTime now = m_clock.now();
        const double hour = value(r.hour());
        if (hour < now.hour || (hour == now.hour && minute <= now.minute)) {
            const auto t = [this](const Text& piece) { return std::string(piece.in(m_lang)); };
            const std::string message =
                t(texts::TimePastOpen) + text(r.hour()) + t(texts::HourLabel) + text(r.minute()) +
                t(texts::TimePastMiddle) + Plain(now.hour) + t(texts::HourLabel) +
                Plain(now.minute) + t(texts::Minute) + t(texts::TimePastClose);
            errorBox(message, r.hour());
            return;
        }
    } else {
        store(ArmedFlag(rule), "1");
    }
    store(r.hour().name, NumberToText(value(r.hour())));
    store(r.minute().name, NumberToText(value(r.minute())));
    arm(rule);
}

void ShutdownScheduler::armDateRule() {
    const ClockRule rule = ClockRule::OnDate;
    const RuleControls& r = Rule(rule);
    if (armed(rule)) return;
    const auto b = [this](const Text& piece) { return std::string(piece.in(m_lang)); };
    const double month = value(DateMonth);
    if (text(DateMonth).empty() || month < 1 || month > 12) {
        errorBox(b(texts::MonthRange), DateMonth);
        return;
    }
    if (text(DateDay).empty()) {
        errorBox(b(texts::DayMissing), DateDay);
        return;
    }
    const double day = value(DateDay);
    if (day < 1) {
        errorBox(b(texts::DayBelowOne), DateDay);
        return;
    }
    const std::string wrongDate = b(texts::WrongDate);
    if (month == 2) {
        const int year = m_clock.now().year;
        // The Gregorian rule: 2000 has a 29 February, 2100 does not.
        const bool leap = std::chrono::year_month_day(std::chrono::year(year),
                                                      std::chrono::February, std::chrono::day(29))
                              .ok();
        if (leap && day > 29) {
            errorBox(wrongDate + Plain(year) + b(texts::February29), DateDay);
            return;
        }
        if (!leap && day > 28) {
            errorBox(wrongDate + Plain(year) + b(texts::February28), DateDay);
            return;
        }
    }
    if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30) {
        errorBox(wrongDate + NumberToText(month) + b(texts::Month30), DateDay);
        return;
    }
    if ((month == 1 || month == 3 || month == 5 || month == 7 || month == 8 || month == 10 ||
         month == 12) &&
        day > 31) {
        errorBox(wrongDate + NumberToText(month) + b(texts::Month31), DateDay);
        return;
    }
    if (!validHour(r.hour()) || !validMinute(r.minute())) return;
    store(ArmedFlag(rule), "1");
    for (int f = 0; f < r.fieldCount; ++f)
        store(field(r, f).name, NumberToText(value(field(r, f))));
    arm(rule);
}

// Arms a rule at the time its fields hold, and locks them while it stays armed.
void ShutdownScheduler::arm(ClockRule rule) {
    const RuleControls& r = Rule(rule);
    RuleTime time;
    if (rule == ClockRule::OnDate) {
        time.month = value(DateMonth);
        time.day = value(DateDay);
    }
    time.hour = value(r.hour());
    time.minute = value(r.minute());
    m_schedule[Place(rule)] = time;
    m_form.setEnabled(r.box, false);
    for (int f = 0; f < r.fieldCount; ++f) m_form.setEnabled(field(r, f), false);
    m_form.setVisible(r.enable, false);
    m_form.setVisible(r.cancel, true);
}

// A rule not armed: its box and fields editable, the enable button in place of cancel.
void ShutdownScheduler::showUnarmed(ClockRule rule) {
    const RuleControls& r = Rule(rule);
    m_schedule[Place(rule)].reset();
    m_form.setEnabled(r.box, true);
    for (int f = 0; f < r.fieldCount; ++f) m_form.setEnabled(field(r, f), true);
    m_form.setVisible(r.enable, true);
    m_form.setVisible(r.cancel, false);
}

void ShutdownScheduler::cancelRule(ClockRule rule) {
    if (rule == ClockRule::Today) {
        // The box stays ticked: back to ready, nothing stored.
        showUnarmed(rule);
        m_form.setEnabled(Rule(rule).enable, true);
        return;
    }
    tickBox(rule, false);
    store(ArmedFlag(rule), "0");
    showUnarmed(rule);
}

// The today rule back to idle: unticked, not armed, editable again.
void ShutdownScheduler::idleTodayRule() {
    tickBox(ClockRule::Today, false);
    showUnarmed(ClockRule::Today);
}

// --- start-up and the once-a-second check ----------------------------------------------

void ShutdownScheduler::restoreSchedule() {
    // What the user set while the store was locked is what the schedule is now.
    if (!m_heldBack.empty() && m_store.lockedPlace().empty()) {
        SettingsBatch batch(m_store);
        for (const auto& [name, text] : m_heldBack) WriteSetting(m_store, MainKey, name, text);
        m_heldBack.clear();
    }
    const RuleControls& today = Rule(ClockRule::Today);
    for (ClockRule rule : ClockRules) m_form.setText(Rule(rule).box, RuleBox(rule).in(m_lang));
    m_form.setText(CountdownBox, texts::CountdownBox.in(m_lang));
    m_form.setText(today.hourLabel, texts::HourLabel.in(m_lang));
    m_form.setText(today.minuteLabel, texts::MinuteLabel.in(m_lang));
    m_form.setText(StartCountdown, texts::Enable.in(m_lang));
    m_form.setText(StopCountdown, texts::Cancel.in(m_lang));
    const std::string hourLabel = m_form.get(today.hourLabel).text;
    const std::string minuteLabel = m_form.get(today.minuteLabel).text;
    const std::string enable = m_form.get(StartCountdown).text;
    const std::string cancel = m_form.get(StopCountdown).text;
    for (ClockRule rule : ClockRules) {
        const RuleControls& r = Rule(rule);
        m_form.setText(r.hourLabel, hourLabel);
        m_form.setText(r.minuteLabel, minuteLabel);
        m_form.setText(r.enable, enable);
        m_form.setText(r.cancel, cancel);
    }

    m_form.setText(CountdownMinutes, ReadSetting(m_store, MainKey, value::AutoShutTime));

    for (ControlId id : {today.hour(), today.minute()})
        m_form.setText(id, ReadSetting(m_store, MainKey, id.name));
    idleTodayRule();

    for (ClockRule rule : ClockRules) {
        if (!Remembered(rule)) continue;
        const RuleControls& r = Rule(rule);
        for (int f = 0; f < r.fieldCount; ++f)
            m_form.setText(field(r, f), ReadSetting(m_store, MainKey, field(r, f).name));
        tickBox(rule, NumericValue(ReadSetting(m_store, MainKey, ArmedFlag(rule))) == 1);
        if (m_form.get(r.box).checked)
            arm(rule);
        else
            showUnarmed(rule);
    }
}

bool ShutdownScheduler::fire() {
    const LocalTime now = m_clock.now();
    switch (m_power.powerOffAsScheduled()) {
        case PowerActions::Outcome::TestMessage:
            return false;  // test mode: the check goes on with the other rules
        case PowerActions::Outcome::Requested:
        case PowerActions::Outcome::Refused:
            m_refusedMinute = MinuteKey(now);
            return true;
        case PowerActions::Outcome::Accepted:
        case PowerActions::Outcome::Cancelled:
            return true;
    }
    return true;
}

void ShutdownScheduler::checkSchedule() {
    if (m_power.ended() || m_power.busy()) return;
    const LocalTime now = m_clock.now();
    if (m_refusedMinute && *m_refusedMinute == MinuteKey(now)) return;

    for (ClockRule rule : ClockRules) {
        const std::optional<RuleTime>& time = m_schedule[Place(rule)];
        if (!time || time->hour != now.hour || time->minute != now.minute ||
            !OnItsDay(rule, time->month, time->day, now))
            continue;
        if (rule == ClockRule::Today) idleTodayRule();  // today's rule fires once
        if (fire()) return;
    }
}

// --- countdown -------------------------------------------------------------------------

void ShutdownScheduler::setCountdownRunning(bool on) {
    if (m_countdownRunning == on) return;
    m_countdownRunning = on;
    if (m_onCountdownChanged) m_onCountdownChanged(on);
}

void ShutdownScheduler::startCountdown() {
    if (m_countdownRunning) return;
    const double minutes = value(CountdownMinutes);
    if (!(minutes > 0)) {
        m_messages.show(std::string(texts::CountdownNotPositive.in(m_lang)),
                        std::string(texts::CountdownErrorTitle.in(m_lang)), MsgButtons::Ok,
                        MsgIcon::Stop, MsgDefault::First);
        return;
    }
    setCountdownRunning(true);
    m_form.setVisible(StartCountdown, false);
    m_form.setVisible(StopCountdown, true);
    m_form.setEnabled(CountdownMinutes, false);
    m_form.setEnabled(CountdownBox, false);
    // Whole seconds; the small margin keeps 4.35 minutes at 261 seconds despite binary
    // fractions (4.35 * 60 computes as 260.99999999999997).
    double seconds = std::floor(minutes * 60 + 1e-9);
    if (!std::isfinite(seconds)) seconds = std::numeric_limits<double>::max();
    m_autoShutdownTime = seconds;
    m_countdownFired = false;
    m_form.setText(CountdownWarning, std::string(texts::CountdownStartOpen.in(m_lang)) +
                                         text(CountdownMinutes) +
                                         std::string(texts::CountdownStartClose.in(m_lang)));
    m_form.setVisible(CountdownWarning, true);
    store(value::AutoShutTime, NumberToText(minutes));
}

void ShutdownScheduler::stopCountdown() {
    setCountdownRunning(false);
    m_form.setVisible(StartCountdown, true);
    m_form.setVisible(StopCountdown, false);
    m_form.setEnabled(CountdownMinutes, true);
    m_form.setEnabled(CountdownBox, true);
    m_form.setChecked(CountdownBox, false);
    m_form.setEnabled(StartCountdown, false);
    m_form.setVisible(CountdownWarning, false);
}

void ShutdownScheduler::onCountdownTick() {
    if (!m_countdownRunning || m_power.ended() || m_power.busy()) return;
    m_autoShutdownTime -= 1;
    if (m_autoShutdownTime <= 0 && !m_countdownFired) {
        m_countdownFired = true;
        // In test mode the request is only announced and the count goes on, showing zero;
        // when the system refuses, the row goes back to idle and the program keeps running.
        if (m_power.powerOffAsScheduled() != PowerActions::Outcome::TestMessage) {
            stopCountdown();
            return;
        }
    }
    // Past zero (test mode) the line stays at zero rather than counting negative time.
    m_form.setText(CountdownWarning, std::string(texts::CountdownOpen.in(m_lang)) +
                                         FormatUseTime(std::max(m_autoShutdownTime, 0.0)) +
                                         std::string(texts::CountdownClose.in(m_lang)));
}

}  // namespace pt
