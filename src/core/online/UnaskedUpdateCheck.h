#pragma once

#include "core/ports/SettingsStore.h"

namespace pt {

// When the update check nobody asked for runs: the first time the main window is shown in
// a run, unless the stored switch turns the automatic check off or a check is already
// under way. It never runs a second time in the same run.
class UnaskedUpdateCheck {
public:
    explicit UnaskedUpdateCheck(SettingsStore& store) : m_store(store) {}

    // The main window was shown; true when the unasked check should start now.
    bool dueOnWindowShown(bool checkUnderWay);

private:
    SettingsStore& m_store;
    bool m_considered = false;
};

}  // namespace pt
