#pragma once

#include "core/ports/DesktopNotifier.h"
#include "core/ports/NumberFormat.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/Language.h"

namespace pt {

// Tells the desktop when this run beats a best kept from earlier runs (travel, use time,
// clicks) or the points reach a new level: each once a run, only where earlier runs left a
// best to beat, never in test mode, and not while the stored switch (value Notify) is "0".
class RunNotices {
public:
    // Takes the bests and the level as they stand now, once the totals are loaded.
    RunNotices(const StatisticsModel& model, SettingsStore& store, DesktopNotifier& notifier,
               const NumberFormat& numberFormat, Language lang, bool testMode);

    // After every one-second tick.
    void check();

private:
    bool enabled();
    void tell(const std::string& text);

    const StatisticsModel& m_model;
    SettingsStore& m_store;
    DesktopNotifier& m_notifier;
    const NumberFormat& m_numberFormat;
    Language m_lang;
    bool m_testMode;
    bool m_travelTold = false;
    bool m_useTimeTold = false;
    bool m_clicksTold = false;
    double m_level;
};

}  // namespace pt
