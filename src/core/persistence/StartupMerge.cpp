#include "core/persistence/StartupMerge.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "core/persistence/ValueNames.h"
#include "core/stats/NumberText.h"
#include "core/stats/StatisticsModel.h"

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

// The click totals are 32-bit counters: a stored value beyond their range is held at the
// limit instead of stopping the start.
std::int32_t MergeClick(SettingsStore& store, std::string_view name, std::int32_t fileValue,
                        std::int32_t& storeValue) {
    Copies c = ReadCopies(store, name);
    storeValue = c.agree() ? ToInt32Saturated(c.main) : 0;
    return storeValue >= fileValue ? storeValue : fileValue;
}

// A stored total beyond any real count would stall every computation made from it.
double Bounded(double total) {
    return std::isnan(total) ? 0 : std::min(total, MaxStoredTotal);
}

}  // namespace

void MergeUseTimeAndMove(StatisticsModel& model, SettingsStore& store) {
    Copies useTime = ReadCopies(store, value::AllUseTime);
    model.storeUseTime = useTime.agree() ? useTime.main : 0;
    model.totalUseTime =
        Bounded(model.fileUseTime > model.storeUseTime ? model.fileUseTime : model.storeUseTime);

    Copies move = ReadCopies(store, value::AllMove);
    model.storeTravel = move.agree() ? move.main : 0;
    model.totalTravel =
        Bounded(model.fileTravel > model.storeTravel ? model.fileTravel : model.storeTravel);

    model.todayUseTime = 0;
    model.todayTravel = 0;
}

void MergeClickTotals(StatisticsModel& model, SettingsStore& store) {
    ClickCounters& c = model.clicks;
    c.leftClick = MergeClick(store, value::leftClick, c.fileLeftClick, c.storeLeftClick);
    c.midClick = MergeClick(store, value::midClick, c.fileMidClick, c.storeMidClick);
    c.rightClick = MergeClick(store, value::rightClick, c.fileRightClick, c.storeRightClick);
    c.totalClick = MergeClick(store, value::totalClick, c.fileTotalClick, c.storeTotalClick);
}

void MergeKeyTotals(StatisticsModel& model, SettingsStore& store) {
    Copies keys = ReadCopies(store, value::KeyDownAll);
    DynamicValue stored = keys.agree() ? DynamicValue::Double(keys.mirror) : DynamicValue::Int16(0);
    model.totalKeys = model.fileKeys.toDouble() > stored.toDouble() ? model.fileKeys : stored;
    const double total = model.totalKeys.toDouble();
    if (Bounded(total) != total) model.totalKeys = DynamicValue::Double(Bounded(total));
}

void JoinStoredTotals(StatisticsModel& model, const StatisticsModel& atStart,
                      SettingsStore& store) {
    StatisticsModel merged = atStart;
    MergeUseTimeAndMove(merged, store);
    MergeClickTotals(merged, store);
    MergeKeyTotals(merged, store);

    auto grown = [](double now, double before, double after) {
        return Bounded(now + std::max(0.0, after - before));
    };
    model.totalUseTime = grown(model.totalUseTime, atStart.totalUseTime, merged.totalUseTime);
    model.totalTravel = grown(model.totalTravel, atStart.totalTravel, merged.totalTravel);
    model.storeUseTime = merged.storeUseTime;
    model.storeTravel = merged.storeTravel;

    // The click counters are 32-bit: held at their limit.
    auto grownClicks = [](std::int32_t now, std::int32_t before, std::int32_t after) {
        const std::int64_t sum = static_cast<std::int64_t>(now) +
                                 std::max<std::int64_t>(0, std::int64_t{after} - before);
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
    };
    ClickCounters& c = model.clicks;
    const ClickCounters& b = atStart.clicks;
    const ClickCounters& a = merged.clicks;
    c.leftClick = grownClicks(c.leftClick, b.leftClick, a.leftClick);
    c.midClick = grownClicks(c.midClick, b.midClick, a.midClick);
    c.rightClick = grownClicks(c.rightClick, b.rightClick, a.rightClick);
    c.totalClick = grownClicks(c.totalClick, b.totalClick, a.totalClick);
    c.storeLeftClick = a.storeLeftClick;
    c.storeMidClick = a.storeMidClick;
    c.storeRightClick = a.storeRightClick;
    c.storeTotalClick = a.storeTotalClick;

    const double keys = merged.totalKeys.toDouble() - atStart.totalKeys.toDouble();
    if (keys > 0)
        model.totalKeys = DynamicValue::Double(Bounded(model.totalKeys.toDouble() + keys));
}

}  // namespace pt
