#include "core/persistence/JournalDayHistory.h"

#include <cstdio>

namespace pt {

JournalDayHistory::JournalDayHistory(std::unique_ptr<JournalFile> file) : m_file(std::move(file)) {}

bool JournalDayHistory::load() {
    if (m_loaded) return true;
    const std::optional<std::string> text = m_file->read();
    if (!text) return false;  // tried again at the next call
    JournalContents contents = ReadHistoryJournal(*text);
    m_readable = true;
    switch (contents.header) {
        case JournalContents::Header::Missing:
            m_rewriteDue = true;  // the first write brings the header
            break;
        case JournalContents::Header::Ours:
            m_hasHeader = true;
            // A line cut short is not followed by more: the next write rewrites the file.
            m_rewriteDue = contents.badLines > 0;
            break;
        case JournalContents::Header::Newer:
            m_newer = true;
            m_writable = false;
            break;
        case JournalContents::Header::Foreign:
            if (m_readerOnly || !m_file->setAside()) {
                m_readable = false;
                m_writable = false;  // never written over
            }
            contents.state = {};
            m_rewriteDue = true;
            break;
    }
    m_state = std::move(contents.state);
    m_lines = contents.lines;
    m_loaded = true;
    return true;
}

void JournalDayHistory::beginGroup() {
    if (m_depth++ == 0) m_group.clear();
}

void JournalDayHistory::endGroup() {
    if (m_depth == 0) return;
    if (--m_depth == 0) commit();
}

void JournalDayHistory::change(JournalEntry entry) {
    const bool alone = m_depth == 0;
    if (alone) beginGroup();
    if (entry.kind == JournalEntry::Kind::DropHoursBefore ||
        entry.kind == JournalEntry::Kind::Clear)
        m_rewriteDue = true;  // what is gone is gone from the file too
    m_group.push_back(std::move(entry));
    if (alone) endGroup();
}

void JournalDayHistory::commit() {
    std::vector<JournalEntry> group = std::move(m_group);
    m_group.clear();
    if (group.empty()) return;
    if (!load() || !m_writable || m_readerOnly) {
        m_lastSaved = false;
        if (!m_readerOnly && !m_newer) notWritten();
        return;
    }
    HistoryState next = m_state;
    for (const JournalEntry& entry : group) entry.applyTo(next);
    bool written;
    if (m_rewriteDue || m_lines >= MaxLines) {
        written = m_file->replace(HistoryJournalSnapshot(next));
        if (written) {
            m_rewriteDue = false;
            m_lines = 0;
            m_hasHeader = true;
        } else if (m_hasHeader) {
            // The file could not be replaced (a reader holds it open): the save goes in as a
            // line of its own, after a line end that closes whatever a kill left unfinished,
            // and the rewrite is tried again at the next save.
            written = m_file->append("\n" + HistoryJournalLine(group));
            if (written) ++m_lines;
        }
    } else {
        written = m_file->append(HistoryJournalLine(group));
        if (written) ++m_lines;
        // A part of the line may be there: the next write starts the file afresh.
        else
            m_rewriteDue = true;
    }
    m_lastSaved = written;
    if (written)
        m_state = std::move(next);
    else
        notWritten();
}

void JournalDayHistory::notWritten() {
    if (m_toldFailure) return;
    m_toldFailure = true;
    std::fprintf(stderr, "pathtally: the day history could not be written to %s\n",
                 m_file->place().c_str());
}

void JournalDayHistory::add(std::string_view date, int hour, const DayFigures& figures) {
    change({JournalEntry::Kind::Add, std::string(date), hour, figures, {}});
}

std::vector<DayRow> JournalDayHistory::days() {
    load();
    return m_state.dayRows();
}

std::vector<HourRow> JournalDayHistory::hours(std::string_view date) {
    load();
    return m_state.hourRows(date);
}

void JournalDayHistory::dropHoursBefore(std::string_view date) {
    // Asked at every start and day change: nothing to drop, nothing rewritten.
    load();
    bool due = !m_state.hours.empty() && m_state.hours.begin()->first.first < date;
    for (const JournalEntry& entry : m_group)
        due = due || (entry.kind == JournalEntry::Kind::Add && entry.date < date);
    if (!due) return;
    change({JournalEntry::Kind::DropHoursBefore, std::string(date), 0, {}, {}});
}

void JournalDayHistory::clear() {
    change({JournalEntry::Kind::Clear, {}, 0, {}, {}});
}

std::optional<std::vector<DayRow>> JournalDayHistory::readDays() {
    if (!load() || !m_readable) return {};
    return m_state.dayRows();
}

}  // namespace pt
