#include "core/persistence/StartupMerge.h"

#include <string_view>

#include "core/persistence/ValueNames.h"
#include "core/stats/NumberText.h"

namespace pt {
namespace {

struct Copies {
    double main = 0;
    double mirror = 0;
    bool agree() const { return main == mirror; }
};

Copies ReadCopies(SettingsStore& store, std::string_view name) {
    return {NumericValue(ReadSetting(store, MainKey, name)),
            NumericValue(ReadSetting(store, MirrorKey, name))};
}

double MergeTotal(SettingsStore& store, std::string_view name, double fileValue) {
    const Copies c = ReadCopies(store, name);
    const double stored = c.agree() ? c.main : 0;
    return BoundedTotal(fileValue > stored ? fileValue : stored);
}

// The click totals are 32-bit counters: a stored value beyond their range is held at the
// limit instead of stopping the start.
std::int32_t MergeClick(SettingsStore& store, std::string_view name, std::int32_t fileValue) {
    const Copies c = ReadCopies(store, name);
    const std::int32_t stored = c.agree() ? ToInt32Saturated(c.main) : 0;
    return stored >= fileValue ? stored : fileValue;
}

DynamicValue MergeKeys(SettingsStore& store, const DynamicValue& fileValue) {
    const Copies c = ReadCopies(store, value::KeyDownAll);
    const DynamicValue stored = c.agree() ? DynamicValue::Double(c.mirror) : DynamicValue::Int16(0);
    DynamicValue keys = fileValue.toDouble() > stored.toDouble() ? fileValue : stored;
    const double total = keys.toDouble();
    if (BoundedTotal(total) != total) keys = DynamicValue::Double(BoundedTotal(total));
    return keys;
}

}  // namespace

LifetimeTotals MergedTotals(const FileTotals& file, SettingsStore& store) {
    LifetimeTotals t;
    t.useTime = MergeTotal(store, value::AllUseTime, file.fileUseTime);
    t.travel = MergeTotal(store, value::AllMove, file.fileTravel);
    t.clicks.left = MergeClick(store, value::leftClick, file.fileLeftClick);
    t.clicks.middle = MergeClick(store, value::midClick, file.fileMidClick);
    t.clicks.right = MergeClick(store, value::rightClick, file.fileRightClick);
    t.clicks.all = MergeClick(store, value::totalClick, file.fileTotalClick);
    t.keys = MergeKeys(store, file.fileKeys);
    return t;
}

}  // namespace pt
