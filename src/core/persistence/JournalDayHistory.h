#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/persistence/HistoryJournal.h"
#include "core/ports/DayHistory.h"

namespace pt {

// The file a journal lives in, as the platform reaches it.
class JournalFile {
public:
    virtual ~JournalFile() = default;
    // The whole file; empty where there is none; nothing when it cannot be read.
    virtual std::optional<std::string> read() = 0;
    // Adds to the end (creating the file); false unless every byte was written.
    virtual bool append(std::string_view bytes) = 0;
    // Puts `bytes` in the file's place at once: a reader (or a restart after a kill) finds the
    // old file or the new one, never a mix.
    virtual bool replace(std::string_view bytes) = 0;
    // Moves the file out of the way under another name, keeping it; false where it stays.
    virtual bool setAside() = 0;
    // Where the file is, for messages.
    virtual std::string place() const = 0;
};

// The day history in a journal file of its own (HistoryJournal.h): every save appends one
// line with its amounts, so a process killed at any point leaves the last whole line; the
// file is rewritten whole (through JournalFile::replace) when hours are dropped, when it
// is cleared, when it holds a line cut short and once it has grown long.
//
// A group (beginGroup .. endGroup, the save's batch) is one line or one rewrite: its
// changes reach the file together or not at all. A write that fails is dropped (said once on
// stderr) and the figures shown stay what the file holds. A later version's journal is shown
// and never written; a file that is not a journal is set aside and a new one started.
class JournalDayHistory : public DayHistory {
public:
    explicit JournalDayHistory(std::unique_ptr<JournalFile> file);

    void beginGroup();
    void endGroup();

    void add(std::string_view date, int hour, const DayFigures& figures) override;
    std::vector<DayRow> days() override;
    std::vector<HourRow> hours(std::string_view date) override;
    void dropHoursBefore(std::string_view date) override;
    void clear() override;

    // For readers such as the export: nothing is written, moved or rewritten.
    void setReadOnlyAccess() { m_readerOnly = true; }
    // The days, or nothing when the file exists but cannot be read as a journal.
    std::optional<std::vector<DayRow>> readDays();
    // Whether the last group reached the file.
    bool lastGroupSaved() const { return m_lastSaved; }
    bool newerVersion() const { return m_newer; }
    std::string place() const { return m_file->place(); }

    // Lines appended before the journal is rewritten whole (at a save every ten seconds,
    // some five and a half hours of use).
    static constexpr int MaxLines = 2000;

private:
    bool load();
    void change(JournalEntry entry);
    void commit();
    void notWritten();

    std::unique_ptr<JournalFile> m_file;
    HistoryState m_state;
    bool m_loaded = false;
    bool m_readable = true;  // false: the file is there but holds no journal
    bool m_newer = false;
    bool m_writable = true;
    bool m_readerOnly = false;
    bool m_rewriteDue = false;
    bool m_hasHeader = false;  // the file starts with a header of ours
    bool m_lastSaved = true;
    bool m_toldFailure = false;
    int m_lines = 0;
    int m_depth = 0;
    std::vector<JournalEntry> m_group;
};

}  // namespace pt
