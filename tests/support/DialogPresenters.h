#pragma once

// The dialogs' presenters as the program's commands make them, for view tests that open a
// dialog over test doubles.

#include <functional>
#include <memory>
#include <utility>

#include "core/shell/ClearAllPresenter.h"
#include "core/shell/ProgramCommands.h"

namespace pt::test {

// What the data reset command hands its dialog: the presenter made over the dialog's
// message boxes.
inline ProgramDialogs::MakeDataReset DataResetOver(StatisticsModel& model, SettingsStore& store,
                                                   Clock& clock, Language lang,
                                                   DayAccounting* days = nullptr,
                                                   std::function<void()> takeMeasured = {}) {
    return [&model, &store, &clock, lang, days,
            takeMeasured = std::move(takeMeasured)](MessageBox& boxes) {
        return std::make_unique<ClearAllPresenter>(model, store, clock, boxes, lang, days,
                                                   takeMeasured);
    };
}

}  // namespace pt::test
