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

// The box caption of a rule by its row number (2 to 9).
const Text& RuleBox(int row) {
    return texts::RuleBoxes[row - 2];
}

// The stored flag that keeps a rule armed across runs, by its row number (3 to 9; none for
// the today rule).
std::string_view ArmedFlag(int row) {
    return value::RuleArmed[row - 3];
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

    for (int i = 2; i <= 9; ++i) {
        const RuleControls& r = Rule(i);
        m_form.setText(r.box, RuleBox(i).designed());
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
    for (int i = 2; i <= 9; ++i) {
        const RuleControls& r = Rule(i);
        commands.add(r.box, [this, i] { onBoxClicked(i); });
        if (i == 6)
            commands.add(r.enable, [this] { armDateRow(); });
        else
            commands.add(r.enable, [this, i] { armTimeRow(i); });
        commands.add(r.cancel, [this, i] { cancelRow(i); });
    }
}

// --- rows ------------------------------------------------------------------------------

void ShutdownScheduler::onBoxClicked(int rowIndex) {
    const RuleControls& r = Rule(rowIndex);
    m_form.setEnabled(r.enable, m_form.get(r.box).checked);
}

// Setting a box from code has the same effect as a click.
void ShutdownScheduler::tickBox(int rowIndex, bool ticked) {
    m_form.setChecked(Rule(rowIndex).box, ticked);
    onBoxClicked(rowIndex);
}

double ShutdownScheduler::value(ControlId id) {
    return NumericValue(text(id));
}

void ShutdownScheduler::store(std::string_view name, const std::string& text) {
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

void ShutdownScheduler::armTimeRow(int rowIndex) {
    const RuleControls& r = Rule(rowIndex);
    if (m_armed[rowIndex] == 1) return;
    if (rowIndex >= 3 && rowIndex <= 5 && !m_form.get(r.box).checked) return;
    if (!validHour(r.hour()) || !validMinute(r.minute())) return;

    if (rowIndex == 2) {
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
        store(ArmedFlag(rowIndex), "1");
    }
    store(r.hour().name, NumberToText(value(r.hour())));
    store(r.minute().name, NumberToText(value(r.minute())));
    armRow(rowIndex);
}

void ShutdownScheduler::armDateRow() {
    const RuleControls& r = Rule(6);
    if (m_armed[6] == 1) return;
    const auto b = [this](const Text& piece) { return std::string(piece.in(m_lang)); };
    const double month = value(Rule(6).fields[0]);
    if (text(Rule(6).fields[0]).empty() || month < 1 || month > 12) {
        errorBox(b(texts::MonthRange), Rule(6).fields[0]);
        return;
    }
    if (text(Rule(6).fields[1]).empty()) {
        errorBox(b(texts::DayMissing), Rule(6).fields[1]);
        return;
    }
    const double day = value(Rule(6).fields[1]);
    if (day < 1) {
        errorBox(b(texts::DayBelowOne), Rule(6).fields[1]);
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
            errorBox(wrongDate + Plain(year) + b(texts::February29), Rule(6).fields[1]);
            return;
        }
        if (!leap && day > 28) {
            errorBox(wrongDate + Plain(year) + b(texts::February28), Rule(6).fields[1]);
            return;
        }
    }
    if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30) {
        errorBox(wrongDate + NumberToText(month) + b(texts::Month30), Rule(6).fields[1]);
        return;
    }
    if ((month == 1 || month == 3 || month == 5 || month == 7 || month == 8 || month == 10 ||
         month == 12) &&
        day > 31) {
        errorBox(wrongDate + NumberToText(month) + b(texts::Month31), Rule(6).fields[1]);
        return;
    }
    if (!validHour(Rule(6).fields[2]) || !validMinute(Rule(6).fields[3])) return;
    store(ArmedFlag(6), "1");
    for (int f = 0; f < r.fieldCount; ++f)
        store(field(r, f).name, NumberToText(value(field(r, f))));
    armRow(6);
}

void ShutdownScheduler::armRow(int rowIndex) {
    const RuleControls& r = Rule(rowIndex);
    m_armed[rowIndex] = 1;
    m_form.setEnabled(r.box, false);
    for (int f = 0; f < r.fieldCount; ++f) m_form.setEnabled(field(r, f), false);
    m_form.setVisible(r.enable, false);
    m_form.setVisible(r.cancel, true);
}

// A row not armed: its box and fields editable, the enable button in place of cancel.
void ShutdownScheduler::showUnarmed(int rowIndex) {
    const RuleControls& r = Rule(rowIndex);
    m_armed[rowIndex] = 0;
    m_form.setEnabled(r.box, true);
    for (int f = 0; f < r.fieldCount; ++f) m_form.setEnabled(field(r, f), true);
    m_form.setVisible(r.enable, true);
    m_form.setVisible(r.cancel, false);
}

void ShutdownScheduler::cancelRow(int rowIndex) {
    if (rowIndex == 2) {
        // The box stays ticked: back to ready, nothing stored.
        showUnarmed(2);
        m_form.setEnabled(Rule(2).enable, true);
        return;
    }
    tickBox(rowIndex, false);
    store(ArmedFlag(rowIndex), "0");
    showUnarmed(rowIndex);
}

// The today rule back to idle: unticked, not armed, editable again.
void ShutdownScheduler::idleTodayRow() {
    tickBox(2, false);
    showUnarmed(2);
}

// --- start-up and the once-a-second check ----------------------------------------------

void ShutdownScheduler::restoreSchedule() {
    for (int i = 2; i <= 9; ++i) m_form.setText(Rule(i).box, RuleBox(i).in(m_lang));
    m_form.setText(CountdownBox, texts::CountdownBox.in(m_lang));
    m_form.setText(Rule(2).hourLabel, texts::HourLabel.in(m_lang));
    m_form.setText(Rule(2).minuteLabel, texts::MinuteLabel.in(m_lang));
    m_form.setText(StartCountdown, texts::Enable.in(m_lang));
    m_form.setText(StopCountdown, texts::Cancel.in(m_lang));
    const std::string hourLabel = m_form.get(Rule(2).hourLabel).text;
    const std::string minuteLabel = m_form.get(Rule(2).minuteLabel).text;
    const std::string enable = m_form.get(StartCountdown).text;
    const std::string cancel = m_form.get(StopCountdown).text;
    for (int i = 2; i <= 9; ++i) {
        m_form.setText(Rule(i).hourLabel, hourLabel);
        m_form.setText(Rule(i).minuteLabel, minuteLabel);
        m_form.setText(Rule(i).enable, enable);
        m_form.setText(Rule(i).cancel, cancel);
    }

    m_form.setText(CountdownMinutes, ReadSetting(m_store, MainKey, value::AutoShutTime));

    for (ControlId id : {Rule(2).hour(), Rule(2).minute()})
        m_form.setText(id, ReadSetting(m_store, MainKey, id.name));
    idleTodayRow();

    for (int i = 3; i <= 9; ++i) {
        const RuleControls& r = Rule(i);
        for (int f = 0; f < r.fieldCount; ++f)
            m_form.setText(field(r, f), ReadSetting(m_store, MainKey, field(r, f).name));
        tickBox(i, NumericValue(ReadSetting(m_store, MainKey, ArmedFlag(i))) == 1);
        if (m_form.get(r.box).checked)
            armRow(i);
        else
            showUnarmed(i);
    }
}

bool ShutdownScheduler::timeMatches(int rowIndex, const LocalTime& now) {
    const RuleControls& r = Rule(rowIndex);
    return value(r.hour()) == now.hour && value(r.minute()) == now.minute;
}

bool ShutdownScheduler::fire() {
    const LocalTime now = m_clock.now();
    switch (m_power.powerOffAsScheduled()) {
        case PowerActions::Outcome::TestMessage:
            return false;  // test mode: the check goes on with the other rows
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

    if (m_armed[2] == 1 && timeMatches(2, now)) {
        idleTodayRow();
        if (fire()) return;
    }
    if (m_armed[3] == 1 && now.weekday >= 2 && now.weekday <= 6 && timeMatches(3, now) && fire())
        return;
    if (m_armed[4] == 1 && now.weekday == 7 && timeMatches(4, now) && fire()) return;
    if (m_armed[5] == 1 && now.weekday == 1 && timeMatches(5, now) && fire()) return;
    if (m_armed[6] == 1 && value(Rule(6).fields[0]) == now.month &&
        value(Rule(6).fields[1]) == now.day && timeMatches(6, now) && fire())
        return;
    for (int i = 7; i <= 9; ++i)
        if (m_armed[i] == 1 && timeMatches(i, now) && fire()) return;
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
