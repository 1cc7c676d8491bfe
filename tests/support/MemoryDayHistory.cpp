#include "support/MemoryDayHistory.h"

namespace pt::test {

std::string MemoryDayHistory::read(SettingsRoot root, std::string_view keyPath,
                                   std::string_view name) {
    return m_state.settings.read(root, keyPath, name);
}

void MemoryDayHistory::write(SettingsRoot root, std::string_view keyPath, std::string_view name,
                             std::string_view text) {
    m_state.settings.write(root, keyPath, name, text);
}

void MemoryDayHistory::beginBatch() {
    if (m_depth++ == 0) m_before = m_state;
}

void MemoryDayHistory::endBatch() {
    if (m_depth == 0 || --m_depth > 0) return;
    m_lastSaved = !failBatches;
    if (failBatches) m_state = m_before;
}

void MemoryDayHistory::add(std::string_view date, int hour, const DayFigures& f) {
    ++m_adds;
    m_state.days[std::string(date)] += f;
    HourRow& h = m_state.hours[{std::string(date), hour}];
    h.hour = hour;
    h.travel += f.travel;
    h.clicks += f.clicks();
    h.keys += f.keys;
}

std::vector<DayRow> MemoryDayHistory::days() {
    std::vector<DayRow> rows;
    for (const auto& [date, figures] : m_state.days) rows.push_back({date, figures});
    return rows;
}

std::vector<HourRow> MemoryDayHistory::hours(std::string_view date) {
    std::vector<HourRow> rows;
    for (const auto& [key, row] : m_state.hours)
        if (key.first == date) rows.push_back(row);
    return rows;
}

void MemoryDayHistory::dropHoursBefore(std::string_view date) {
    std::erase_if(m_state.hours, [date](const auto& entry) { return entry.first.first < date; });
}

void MemoryDayHistory::clear() {
    m_state.days.clear();
    m_state.hours.clear();
}

}  // namespace pt::test
