#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "core/form/FormModel.h"
#include "core/persistence/DataFile.h"
#include "core/ports/Clock.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/Language.h"

namespace pt {

class DayAccounting;

// The one-second tick: counts use time, shows uptime and use times, recomputes the points,
// saves every tenth tick and refreshes the status bar, then runs `afterTick` (the shutdown
// schedule check). Built once the start-up has decided the language, the computer name
// and the day the statistics began; `days` (optional) keeps every day's figures.
class PersistenceTick {
public:
    PersistenceTick(StatisticsModel& model, FormModel& form, SettingsStore& store,
                    const Clock& clock, Language lang, std::filesystem::path dataFile,
                    std::string computerName, std::string startDate, DayAccounting* days = nullptr,
                    std::function<void()> afterTick = {});

    // One tick of Timer2, every second.
    void tick();

    // Writes every total to the main and the mirror key, any record broken in this run to
    // the main key, and the data file. The tick does this on every tenth tick; the owner
    // calls it before the process ends (exit, session end, SIGTERM, power actions) so that
    // nothing counted is lost.
    void saveAll();

    // For a store that could not be read at start: every save first asks whether it can be
    // read now, and the first time it can, `join` runs (once) before anything is written.
    void joinStoreWhenReadable(std::function<void()> join) { m_joinStore = std::move(join); }
    // The day the statistics began, as the data file keeps it.
    void setStartDate(std::string date) { m_startDate = std::move(date); }

private:
    StatisticsModel& m_model;
    FormModel& m_form;
    SettingsStore& m_store;
    const Clock& m_clock;
    const Language m_lang;
    const std::string m_computerName;
    std::string m_startDate;
    DataFile m_dataFile;
    // Every day's figures, kept with each save (in the same batch as the totals) and closed
    // with a save when the day changes.
    DayAccounting* const m_days;
    const std::function<void()> m_afterTick;
    std::function<void()> m_joinStore;
};

}  // namespace pt
