#pragma once

#include <functional>
#include <string>

#include "core/form/DialogControls.h"
#include "core/form/FormModel.h"
#include "core/ports/Clock.h"
#include "core/ports/MessageBox.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/Language.h"

namespace pt {

class DayAccounting;

// What a data reset writes into the store: the click record starts again from today.
void StoreResetClickRecord(SettingsStore& store, const Clock& clock);

// The data reset dialog: after a yes/no confirmation it zeroes the travel, use-time and
// click statistics and records in memory and resets the click record in the store.
// Keystrokes and every other stored value are left alone; the
// periodic save carries the zeroed totals into the store and the data file.
// Controls: "ClearAll" (window title), Label1, Command1 (reset), Command2 (close only),
// CheckClearHistory: when ticked (it starts unticked) the reset removes every day of the
// day history too; unticked, the days stay and only the totals restart.
class ClearAllPresenter {
public:
    // `takeMeasured` runs just before the statistics are zeroed: it folds in what the
    // measuring sources still hold (the pointer travel sampled since the last tick), so
    // that nothing measured before the reset is counted after it.
    ClearAllPresenter(StatisticsModel& model, SettingsStore& store, Clock& clock,
                      MessageBox& messages, Language lang, DayAccounting* days = nullptr,
                      std::function<void()> takeMeasured = {});

    FormModel& form() { return m_form; }

    void click(ControlId id);
    void confirmReset();
    // Command2 and the close box: nothing changes.
    void cancel() { m_closeRequested = true; }

    bool closeRequested() const { return m_closeRequested; }

private:
    void fillForm();
    void reset();

    StatisticsModel& m_model;
    SettingsStore& m_store;
    Clock& m_clock;
    MessageBox& m_messages;
    Language m_lang;
    DayAccounting* m_days;
    std::function<void()> m_takeMeasured;
    FormModel m_form{clear_all_controls::All};
    bool m_closeRequested = false;
};

}  // namespace pt
