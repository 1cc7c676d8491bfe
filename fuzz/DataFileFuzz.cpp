// The data file reader on any content: never crashes, and whatever it accepts comes back
// unchanged through a save and a second reading.

#include <cmath>

#include "FuzzInput.h"
#include "core/persistence/DataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto parsed = pt::ParseDataFile(content);
    if (!parsed || !parsed->record) return 0;
    const pt::DataRecord& record = *parsed->record;
    // A record this computer could have written (its name as a save writes it) is trusted
    // when its copies agree.
    if (record.computerName.find_first_of("\"\r\n") == std::string::npos) {
        const pt::FileTotals totals = pt::TotalsOf(*parsed, record.computerName);
        if (parsed->copiesAgree && totals.fileTotalClick != record.totalClick) pt::fuzz::Broken();
    }

    // A save of what was read is read back with its copies agreeing and the same counts.
    const std::string saved = pt::FormatDataRecord(record, [] { return 'x'; });
    const auto again = pt::ParseDataFile(saved);
    if (!again || !again->record || !again->copiesAgree) pt::fuzz::Broken();
    const pt::DataRecord& back = *again->record;
    if (back.leftClick != record.leftClick || back.midClick != record.midClick ||
        back.rightClick != record.rightClick || back.totalClick != record.totalClick)
        pt::fuzz::Broken();
    // Totals are written with 15 significant digits.
    const double whole = std::floor(record.totalTravel);
    if (std::fabs(back.totalTravel - whole) > std::fabs(whole) * 1e-14) pt::fuzz::Broken();
    if (std::fabs(back.totalUseTime - record.totalUseTime) > std::fabs(record.totalUseTime) * 1e-14)
        pt::fuzz::Broken();
    return 0;
}
