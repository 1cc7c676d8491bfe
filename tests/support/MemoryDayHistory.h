#pragma once

#include <map>
#include <string>
#include <utility>

#include "core/ports/DayHistory.h"
#include "support/MemorySettingsStore.h"

namespace pt::test {

// The settings and the day history in memory, sharing one batch: a batch either reaches
// both or (with failBatches) neither, as one database transaction does.
class MemoryDayHistory : public SettingsStore, public DayHistory {
public:
    // Every batch from now on is rolled back at its end.
    bool failBatches = false;

    std::string read(SettingsRoot root, std::string_view keyPath, std::string_view name) override;
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override;
    void beginBatch() override;
    void endBatch() override;
    bool lastBatchSaved() const override { return m_lastSaved; }

    void add(std::string_view date, int hour, const DayFigures& figures) override;
    std::vector<DayRow> days() override;
    std::vector<HourRow> hours(std::string_view date) override;
    void dropHoursBefore(std::string_view date) override;
    void clear() override;

    int addCount() const { return m_adds; }

private:
    struct State {
        MemorySettingsStore settings;
        std::map<std::string, DayFigures> days;
        std::map<std::pair<std::string, int>, HourRow> hours;
    };
    State m_state;
    State m_before;
    int m_depth = 0;
    int m_adds = 0;
    bool m_lastSaved = true;
};

}  // namespace pt::test
