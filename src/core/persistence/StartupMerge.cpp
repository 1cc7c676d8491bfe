#include "persistence/StartupMerge.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "persistence/ValueNames.h"
#include "stats/NumberText.h"
#include "stats/StatisticsModel.h"

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
    model.AllUseTime2 = useTime.agree() ? useTime.main : 0;
    model.AllUseTime =
        Bounded(model.AllUseTime1 > model.AllUseTime2 ? model.AllUseTime1 : model.AllUseTime2);

    Copies move = ReadCopies(store, value::AllMove);
    model.AllMove2 = move.agree() ? move.main : 0;
    model.AllMove = Bounded(model.AllMove1 > model.AllMove2 ? model.AllMove1 : model.AllMove2);

    model.TodayUseTime = 0;
    model.TodayMove = 0;
}

void MergeClickTotals(StatisticsModel& model, SettingsStore& store) {
    ClickCounters& c = model.clicks;
    c.leftClick = MergeClick(store, value::leftClick, c.leftClick1, c.leftClick2);
    c.midClick = MergeClick(store, value::midClick, c.midClick1, c.midClick2);
    c.rightClick = MergeClick(store, value::rightClick, c.rightClick1, c.rightClick2);
    c.totalClick = MergeClick(store, value::totalClick, c.totalClick1, c.totalClick2);
}

void MergeKeyDownAll(StatisticsModel& model, SettingsStore& store) {
    Copies keys = ReadCopies(store, value::KeyDownAll);
    DynamicValue stored = keys.agree() ? DynamicValue::Double(keys.mirror) : DynamicValue::Int16(0);
    model.KeyDownAll =
        model.KeyDownAll1.toDouble() > stored.toDouble() ? model.KeyDownAll1 : stored;
    const double total = model.KeyDownAll.toDouble();
    if (Bounded(total) != total) model.KeyDownAll = DynamicValue::Double(Bounded(total));
}

}  // namespace pt
