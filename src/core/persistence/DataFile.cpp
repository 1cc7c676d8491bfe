#include "core/persistence/DataFile.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>
#include <vector>

#include "core/stats/NumberText.h"
#include "core/stats/StatisticsModel.h"

namespace pt {
namespace fs = std::filesystem;

namespace {

// Field positions.
constexpr int FComputer = 1, FSavedAt = 3, FUseTime = 4, FMove = 5, FStartDate = 6, FLeft = 8,
              FMid = 9, FRight = 10, FTotal = 11, FKeys = 12, FKeysCopy = 43, FLeftCopy = 44,
              FMidCopy = 45, FRightCopy = 46, FTotalCopy = 47, FUseTimeCopy = 48, FMoveCopy = 49,
              FTail = 50;

// A file larger than this is no data file: a record is about 7 KB, so this holds several
// with room to spare, and a file of commas or short lines this size is read quickly.
constexpr std::uintmax_t MaxFileSize = 64u << 10;

// A field as it stands in the content (no copy is made while reading).
struct Field {
    enum class Kind { Empty, Quoted, Bare };
    Kind kind = Kind::Empty;
    std::string_view text;
};

// Text fields are quoted without escaping: a quote or a line break inside one would cut
// the record, so they are replaced.
std::string Sanitized(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '"' || c == '\r' || c == '\n') c = '\'';
    return out;
}

void Quoted(std::string& out, std::string_view text) {
    out += '"';
    out += text;
    out += '"';
}

// A plain decimal number, optionally signed, optionally with an exponent (E or D).
bool IsNumber(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digits = true;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        bool exp = false;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, exp = true;
        if (!exp) return false;
    }
    return i == t.size();
}

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// Hands out the content's fields one at a time: commas and line ends separate them,
// blank lines are skipped. Holds nothing but its place in the content.
class FieldReader {
public:
    enum class Step { Field, End, UnclosedQuote };
    explicit FieldReader(std::string_view text) : m_text(text) {}

    Step next(Field& f) {
        if (!m_inLine && !startLine()) return Step::End;
        size_t i = m_col;
        const std::string_view line = m_line;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        f = Field{};
        if (i < line.size() && line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return Step::UnclosedQuote;
            f.kind = Field::Kind::Quoted;
            f.text = line.substr(i + 1, close - i - 1);
            i = line.find(',', close + 1);  // anything up to the comma is ignored
        } else {
            size_t comma = line.find(',', i);
            std::string_view raw = Trim(line.substr(
                i, comma == std::string_view::npos ? std::string_view::npos : comma - i));
            if (!raw.empty()) {
                f.kind = Field::Kind::Bare;
                f.text = raw;
            }
            i = comma;
        }
        if (i == std::string_view::npos || i >= line.size())
            m_inLine = false;
        else
            m_col = i + 1;  // past the comma; a comma at the end of the line leaves one empty field
        return Step::Field;
    }

private:
    // Moves to the next line that is not blank; false at the end of the content.
    bool startLine() {
        while (m_pos < m_text.size()) {
            size_t eol = m_text.find('\n', m_pos);
            if (eol == std::string_view::npos) eol = m_text.size();
            std::string_view line = m_text.substr(m_pos, eol - m_pos);
            m_pos = eol + 1;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (Trim(line).empty()) continue;
            m_line = line;
            m_col = 0;
            m_inLine = true;
            return true;
        }
        return false;
    }

    std::string_view m_text, m_line;
    size_t m_pos = 0, m_col = 0;
    bool m_inLine = false;
};

// A number field: empty reads as 0 (and as empty for the keystroke total).
std::optional<double> NumberOf(const Field& f) {
    if (f.kind == Field::Kind::Empty) return 0.0;
    std::string_view t = Trim(f.text);
    if (t.empty()) return 0.0;
    if (!IsNumber(t)) return std::nullopt;
    double v = NumericValue(t);
    // Out of the double's range NumericValue gives 0, which is no faithful reading.
    if (v == 0 &&
        t.substr(0, t.find_first_of("EeDd")).find_first_of("123456789") != std::string_view::npos)
        return std::nullopt;
    return v;
}

std::optional<std::int32_t> Int32Of(const Field& f) {
    auto v = NumberOf(f);
    if (!v) return std::nullopt;
    double r = std::nearbyint(*v);
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;  // does not fit a click counter
    return static_cast<std::int32_t>(r);
}

std::optional<DynamicValue> DynamicOf(const Field& f) {
    if (f.kind == Field::Kind::Empty || Trim(f.text).empty()) return DynamicValue();
    auto v = NumberOf(f);
    if (!v) return std::nullopt;
    return DynamicValue::Double(*v);
}

}  // namespace

std::string FormatDataRecord(const DataRecord& r, const std::function<char()>& filler) {
    // Every field starts as one filler character, drawn in field order, then the tail.
    std::vector<std::string> fields(DataFieldCount);
    for (auto& f : fields) f = std::string(1, filler());
    std::string tail(DataTailLength, ' ');
    for (char& c : tail) c = filler();

    std::string out;
    out.reserve(DataTailLength + 512);
    const std::string useTime = NumberToText(r.totalUseTime);
    const std::string move = NumberToText(IntPart(r.totalTravel));
    const std::string keys = r.totalKeys.toText();
    const std::string clicks[4] = {std::to_string(r.leftClick), std::to_string(r.midClick),
                                   std::to_string(r.rightClick), std::to_string(r.totalClick)};
    for (int i = 0; i < DataFieldCount; ++i) {
        if (i > 0) out += ',';
        switch (i) {
            case FComputer:
                Quoted(out, Sanitized(r.computerName));
                break;
            case FSavedAt:
                Quoted(out, Sanitized(r.savedAt));
                break;
            case FStartDate:
                Quoted(out, Sanitized(r.startDate));
                break;
            case FUseTime:
            case FUseTimeCopy:
                out += useTime;
                break;
            case FMove:
            case FMoveCopy:
                out += move;
                break;
            case FLeft:
            case FMid:
            case FRight:
            case FTotal:
                out += clicks[i - FLeft];
                break;
            case FLeftCopy:
            case FMidCopy:
            case FRightCopy:
            case FTotalCopy:
                out += clicks[i - FLeftCopy];
                break;
            case FKeys:
            case FKeysCopy:
                // A keystroke total that is text is written quoted, an empty one as nothing.
                if (r.totalKeys.kind() == DynamicValue::Kind::Text)
                    Quoted(out, Sanitized(keys));
                else
                    out += keys;
                break;
            case FTail:
                out += '"';
                out += tail;
                out += "end\"";
                break;
            default:
                Quoted(out, fields[static_cast<size_t>(i)]);
        }
    }
    out += "\r\n";
    return out;
}

std::optional<ParsedDataFile> ParseDataFile(std::string_view text) {
    // One record's fields at a time: every record must convert, as each would be read in
    // turn; the last one counts.
    ParsedDataFile parsed;
    std::array<Field, DataFieldCount> fields;
    size_t count = 0;
    FieldReader reader(text);
    for (;;) {
        const FieldReader::Step step = reader.next(fields[count]);
        if (step == FieldReader::Step::UnclosedQuote) return std::nullopt;
        if (step == FieldReader::Step::End) break;
        if (++count < fields.size()) continue;
        count = 0;
        auto f = [&](int i) -> const Field& { return fields[static_cast<size_t>(i)]; };
        DataRecord r;
        r.computerName = f(FComputer).text;
        r.savedAt = f(FSavedAt).text;
        r.startDate = f(FStartDate).text;
        auto useTime = NumberOf(f(FUseTime)), useTimeCopy = NumberOf(f(FUseTimeCopy));
        auto move = NumberOf(f(FMove)), moveCopy = NumberOf(f(FMoveCopy));
        auto keys = DynamicOf(f(FKeys)), keysCopy = DynamicOf(f(FKeysCopy));
        if (!useTime || !useTimeCopy || !move || !moveCopy || !keys || !keysCopy)
            return std::nullopt;
        std::optional<std::int32_t> clicks[4], copies[4];
        for (int k = 0; k < 4; ++k) {
            clicks[k] = Int32Of(f(FLeft + k));
            copies[k] = Int32Of(f(FLeftCopy + k));
            if (!clicks[k] || !copies[k]) return std::nullopt;
        }
        r.totalUseTime = *useTime;
        r.totalTravel = *move;
        r.leftClick = *clicks[0];
        r.midClick = *clicks[1];
        r.rightClick = *clicks[2];
        r.totalClick = *clicks[3];
        r.totalKeys = *keys;
        bool agree = *useTime == *useTimeCopy && *move == *moveCopy && *keys == *keysCopy;
        for (int k = 0; k < 4; ++k) agree = agree && *clicks[k] == *copies[k];
        parsed.record = std::move(r);
        parsed.copiesAgree = agree;
    }
    if (count != 0) return std::nullopt;  // a record cut short
    return parsed;
}

FileTotals TotalsOf(const ParsedDataFile& file, std::string_view computerName) {
    FileTotals t;
    if (!file.record || !file.copiesAgree) return t;
    const DataRecord& r = *file.record;
    // An empty field never equals a non-empty computer name.
    if (r.computerName != Sanitized(computerName)) return t;
    t.fileUseTime = r.totalUseTime;
    t.fileTravel = r.totalTravel;
    t.fileLeftClick = r.leftClick;
    t.fileMidClick = r.midClick;
    t.fileRightClick = r.rightClick;
    t.fileTotalClick = r.totalClick;
    t.fileKeys = r.totalKeys;
    return t;
}

DataRecord RecordOf(const StatisticsModel& model, std::string computerName, std::string savedAt,
                    std::string startDate) {
    DataRecord r;
    r.computerName = std::move(computerName);
    r.savedAt = std::move(savedAt);
    const LifetimeTotals& totals = model.totals();
    r.totalUseTime = totals.useTime;
    r.totalTravel = totals.travel;
    r.startDate = std::move(startDate);
    r.leftClick = totals.clicks.left;
    r.midClick = totals.clicks.middle;
    r.rightClick = totals.clicks.right;
    r.totalClick = totals.clicks.all;
    r.totalKeys = totals.keys;
    return r;
}

// --- the file on disk -------------------------------------------------------------

namespace {

// The totals are the user's own: the file is readable by its owner only.
constexpr fs::perms OwnerOnly = fs::perms::owner_read | fs::perms::owner_write;

// Our own file: a regular file, not a link to one. Only ours has its mode changed.
bool IsOwnFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(p, ec));
}

void ClearReadOnly(const fs::path& p, std::error_code& ec) {
    if (IsOwnFile(p)) fs::permissions(p, fs::perms::owner_write, fs::perm_options::add, ec);
}

// Creates a new owner-only file at `p`, never through a link or over anything there.
std::FILE* CreateExclusive(const fs::path& p) {
    std::FILE* f = std::fopen(p.string().c_str(), "wbx");
    if (!f) return nullptr;
    std::error_code ec;
    fs::permissions(p, OwnerOnly, fs::perm_options::replace, ec);
    return f;
}

bool CreateEmpty(const fs::path& p) {
    std::FILE* f = CreateExclusive(p);
    return f && std::fclose(f) == 0;
}

// Reads at most `limit` bytes of a regular file; nullopt when it is larger or unreadable.
std::optional<std::string> ReadBounded(const fs::path& p, std::uintmax_t limit) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content(static_cast<size_t>(limit) + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) return std::nullopt;
    const auto got = static_cast<size_t>(in.gcount());
    if (got > limit) return std::nullopt;
    content.resize(got);
    return content;
}

}  // namespace

DataFile::DataFile(fs::path path) : m_path(std::move(path)), m_random(std::random_device{}()) {}

char DataFile::drawFiller() {
    std::uniform_int_distribution<int> pick(FillerMin, FillerMax);
    return static_cast<char>(pick(m_random));
}

void DataFile::recreateEmpty() {
    std::error_code ec;
    // Removing a link removes the link alone, never what it points to.
    fs::remove(m_path, ec);
    CreateEmpty(m_path);
}

bool DataFile::trySave(const std::string& text) {
    std::error_code ec;
    // Written whole into a new file beside it, then renamed over the name: a link (or
    // anything else) at the name is replaced, never written through, and a crash leaves
    // either the old record or the new one.
    fs::path temporary = m_path;
    temporary += ".new";
    fs::remove(temporary, ec);
    if (std::FILE* f = CreateExclusive(temporary)) {
        bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        ok = std::fclose(f) == 0 && ok;
        if (ok) fs::permissions(temporary, fs::perms::owner_read, fs::perm_options::replace, ec);
        if (ok && !ec) fs::rename(temporary, m_path, ec);
        ok = ok && !ec;
        if (!ok) fs::remove(temporary, ec);
        return ok;
    }
    // No second file can be made here (a folder closed to new files): overwrite our own
    // file in place, then cut it to length. Should a crash leave a mix of old and new, the
    // copies disagree and the settings store's totals win at the next start.
    if (!IsOwnFile(m_path)) return false;
    ClearReadOnly(m_path, ec);
    if (ec) return false;
    {
        std::fstream out(m_path, std::ios::binary | std::ios::in | std::ios::out);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) return false;
    }
    fs::resize_file(m_path, text.size(), ec);
    if (ec || !IsOwnFile(m_path)) return false;
    fs::permissions(m_path, fs::perms::owner_read, fs::perm_options::replace, ec);
    return !ec;
}

bool DataFile::save(const DataRecord& record) {
    const std::string text = FormatDataRecord(record, [this] { return drawFiller(); });
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        if (trySave(text)) return true;
        recreateEmpty();
    }
    return false;
}

FileTotals DataFile::load(std::string_view computerName) {
    bool recreated = false;
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(m_path, ec);
        if (!fs::exists(status)) {
            if (!CreateEmpty(m_path)) {
                recreateEmpty();
                recreated = true;
                continue;
            }
        } else if (!fs::is_regular_file(status)) {
            // A link, a FIFO, a folder: not our file. It is never read or changed; our own
            // file takes its place.
            recreateEmpty();
            recreated = true;
            continue;
        }
        ClearReadOnly(m_path, ec);
        std::optional<ParsedDataFile> parsed;
        if (auto content = ReadBounded(m_path, MaxFileSize)) parsed = ParseDataFile(*content);
        if (!parsed) {
            // Damaged: the totals survive in the settings store; start this file afresh.
            recreateEmpty();
            recreated = true;
            continue;
        }
        if (recreated)
            m_lastLoad = LoadState::Damaged;
        else if (!parsed->record)
            m_lastLoad = LoadState::Empty;
        else
            m_lastLoad =
                parsed->copiesAgree && parsed->record->computerName == Sanitized(computerName)
                    ? LoadState::Loaded
                    : LoadState::Rejected;
        return TotalsOf(*parsed, computerName);
    }
    m_lastLoad = LoadState::Failed;
    return FileTotals{};
}

}  // namespace pt
