#include "core/persistence/HistoryJournal.h"

#include <array>
#include <charconv>
#include <optional>

namespace pt {
namespace {

constexpr std::string_view HeaderWord = "pathtally-history";

constexpr std::array<std::uint32_t, 256> CrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::optional<std::int64_t> Number(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return {};
    return value;
}

bool IsDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

std::optional<int> Hour(std::string_view text) {
    const auto value = Number(text);
    if (!value || *value < 0 || *value > 23) return {};
    return static_cast<int>(*value);
}

// The checked body of a line (without " *checksum"), or nothing when it fails its check.
std::optional<std::string_view> CheckedBody(std::string_view line) {
    const size_t mark = line.rfind(" *");
    if (mark == std::string_view::npos || line.size() != mark + 10) return {};
    std::uint32_t sum = 0;
    const char* digits = line.data() + mark + 2;
    const auto [end, ec] = std::from_chars(digits, digits + 8, sum, 16);
    if (ec != std::errc() || end != digits + 8) return {};
    const std::string_view body = line.substr(0, mark);
    if (Crc32(body) != sum) return {};
    return body;
}

std::string Checked(std::string body) {
    char sum[9];
    static constexpr char Hex[] = "0123456789abcdef";
    const std::uint32_t crc = Crc32(body);
    for (int i = 0; i < 8; ++i) sum[i] = Hex[(crc >> (28 - 4 * i)) & 0xF];
    sum[8] = '\0';
    body += " *";
    body += sum;
    body += '\n';
    return body;
}

std::optional<JournalEntry> ParseEntry(std::string_view text) {
    const std::vector<std::string_view> f = Split(text, ' ');
    JournalEntry entry;
    auto figures = [&](size_t first) -> bool {
        std::int64_t* fields[] = {&entry.figures.travel,       &entry.figures.leftClicks,
                                  &entry.figures.middleClicks, &entry.figures.rightClicks,
                                  &entry.figures.keys,         &entry.figures.useSeconds};
        for (size_t i = 0; i < 6; ++i) {
            const auto value = Number(f[first + i]);
            if (!value) return false;
            *fields[i] = *value;
        }
        return true;
    };
    if (f[0] == "a" && f.size() == 9 && IsDate(f[1])) {
        const auto hour = Hour(f[2]);
        if (!hour || !figures(3)) return {};
        entry.kind = JournalEntry::Kind::Add;
        entry.hour = *hour;
    } else if (f[0] == "d" && f.size() == 8 && IsDate(f[1])) {
        if (!figures(2)) return {};
        entry.kind = JournalEntry::Kind::Day;
    } else if (f[0] == "h" && f.size() == 6 && IsDate(f[1])) {
        const auto hour = Hour(f[2]);
        const auto travel = Number(f[3]), clicks = Number(f[4]), keys = Number(f[5]);
        if (!hour || !travel || !clicks || !keys) return {};
        entry.kind = JournalEntry::Kind::Hour;
        entry.hour = *hour;
        entry.hourRow = {*hour, *travel, *clicks, *keys};
    } else if (f[0] == "x" && f.size() == 2 && IsDate(f[1])) {
        entry.kind = JournalEntry::Kind::DropHoursBefore;
    } else if (f[0] == "c" && f.size() == 1) {
        entry.kind = JournalEntry::Kind::Clear;
    } else {
        return {};
    }
    if (f.size() > 1) entry.date = std::string(f[1]);
    return entry;
}

std::string EntryText(const JournalEntry& e) {
    auto figures = [](const DayFigures& f) {
        return std::to_string(f.travel) + ' ' + std::to_string(f.leftClicks) + ' ' +
               std::to_string(f.middleClicks) + ' ' + std::to_string(f.rightClicks) + ' ' +
               std::to_string(f.keys) + ' ' + std::to_string(f.useSeconds);
    };
    switch (e.kind) {
        case JournalEntry::Kind::Add:
            return "a " + e.date + ' ' + std::to_string(e.hour) + ' ' + figures(e.figures);
        case JournalEntry::Kind::Day:
            return "d " + e.date + ' ' + figures(e.figures);
        case JournalEntry::Kind::Hour:
            return "h " + e.date + ' ' + std::to_string(e.hour) + ' ' +
                   std::to_string(e.hourRow.travel) + ' ' + std::to_string(e.hourRow.clicks) + ' ' +
                   std::to_string(e.hourRow.keys);
        case JournalEntry::Kind::DropHoursBefore:
            return "x " + e.date;
        case JournalEntry::Kind::Clear:
            return "c";
    }
    return "c";
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    static constexpr auto Table = CrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = Table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void HistoryState::add(std::string_view date, int hour, const DayFigures& figures) {
    auto day = days.find(date);
    if (day == days.end()) day = days.emplace(std::string(date), DayFigures{}).first;
    day->second += figures;
    HourRow& row = hours[{std::string(date), hour}];
    row.hour = hour;
    row.travel += figures.travel;
    row.clicks += figures.clicks();
    row.keys += figures.keys;
}

void HistoryState::dropHoursBefore(std::string_view date) {
    for (auto it = hours.begin(); it != hours.end() && it->first.first < date;)
        it = hours.erase(it);
}

void HistoryState::clear() {
    days.clear();
    hours.clear();
}

std::vector<DayRow> HistoryState::dayRows() const {
    std::vector<DayRow> rows;
    rows.reserve(days.size());
    for (const auto& [date, figures] : days) rows.push_back({date, figures});
    return rows;
}

std::vector<HourRow> HistoryState::hourRows(std::string_view date) const {
    std::vector<HourRow> rows;
    for (auto it = hours.lower_bound({std::string(date), 0});
         it != hours.end() && it->first.first == date; ++it)
        rows.push_back(it->second);
    return rows;
}

void JournalEntry::applyTo(HistoryState& state) const {
    switch (kind) {
        case Kind::Add:
            state.add(date, hour, figures);
            break;
        case Kind::Day:
            state.days[date] += figures;
            break;
        case Kind::Hour: {
            HourRow& row = state.hours[{date, hour}];
            row.hour = hour;
            row.travel += hourRow.travel;
            row.clicks += hourRow.clicks;
            row.keys += hourRow.keys;
            break;
        }
        case Kind::DropHoursBefore:
            state.dropHoursBefore(date);
            break;
        case Kind::Clear:
            state.clear();
            break;
    }
}

JournalContents ReadHistoryJournal(std::string_view text) {
    JournalContents contents;
    // Nothing, or a first write cut short within the header.
    if (const std::string header = HistoryJournalHeader();
        text.size() < header.size() && header.starts_with(text))
        return contents;
    std::vector<std::string_view> lines = Split(text, '\n');
    // What follows the last line end was cut short (or is nothing). Cut before its line end
    // only, it is whole and counts; either way the file wants rewriting.
    const bool cutShort = !lines.back().empty();
    if (!cutShort || !CheckedBody(lines.back())) lines.pop_back();
    if (lines.empty()) {
        contents.header = JournalContents::Header::Foreign;
        return contents;
    }
    const auto header = CheckedBody(lines.front());
    const auto words = header ? Split(*header, ' ') : std::vector<std::string_view>{};
    const auto version =
        words.size() == 2 && words[0] == HeaderWord ? Number(words[1]) : std::optional<int64_t>{};
    if (!version || *version < 1) {
        contents.header = JournalContents::Header::Foreign;
        return contents;
    }
    contents.header = *version > HistoryJournalVersion ? JournalContents::Header::Newer
                                                       : JournalContents::Header::Ours;
    contents.badLines = cutShort ? 1 : 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        ++contents.lines;
        const auto body = CheckedBody(lines[i]);
        std::vector<JournalEntry> entries;
        bool whole = body.has_value();
        if (whole) {
            for (std::string_view part : Split(*body, '|')) {
                auto entry = ParseEntry(part);
                if (!entry) {
                    whole = false;
                    break;
                }
                entries.push_back(std::move(*entry));
            }
        }
        if (!whole) {
            ++contents.badLines;
            continue;
        }
        for (const JournalEntry& entry : entries) entry.applyTo(contents.state);
    }
    return contents;
}

std::string HistoryJournalHeader(int version) {
    return Checked(std::string(HeaderWord) + ' ' + std::to_string(version));
}

std::string HistoryJournalLine(const std::vector<JournalEntry>& entries) {
    if (entries.empty()) return {};
    std::string body;
    for (const JournalEntry& entry : entries) {
        if (!body.empty()) body += '|';
        body += EntryText(entry);
    }
    return Checked(std::move(body));
}

std::string HistoryJournalSnapshot(const HistoryState& state) {
    std::string text = HistoryJournalHeader();
    for (const auto& [date, figures] : state.days) {
        JournalEntry day{JournalEntry::Kind::Day, date, 0, figures, {}};
        text += HistoryJournalLine({day});
    }
    for (const auto& [slot, row] : state.hours) {
        JournalEntry hour{JournalEntry::Kind::Hour, slot.first, slot.second, {}, row};
        text += HistoryJournalLine({hour});
    }
    return text;
}

}  // namespace pt
