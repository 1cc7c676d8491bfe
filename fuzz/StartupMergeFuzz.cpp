// The start-up merge with any stored texts in the main and the mirror key and any totals
// from the data file: never crashes, and no total comes out below the data file's.

#include <cmath>

#include "FuzzInput.h"
#include "persistence/StartupMerge.h"
#include "stats/StatisticsModel.h"
#include "support/MemorySettingsStore.h"

namespace {

constexpr const char* Names[] = {"AllUseTime", "AllMove",    "leftClick",  "midClick",
                                 "rightClick", "totalClick", "KeyDownAll", "Allmove"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pt::fuzz::FuzzInput in(data, size);
    pt::StatisticsModel model;
    // The data file's side: small numbers from the input, or extremes.
    auto fileNumber = [&in] {
        const unsigned b = in.byte();
        if (b == 255) return 2147483647.0;
        return static_cast<double>(b) * 1000;
    };
    model.AllUseTime1 = fileNumber();
    model.AllMove1 = fileNumber();
    model.clicks.leftClick1 = static_cast<std::int32_t>(fileNumber());
    model.clicks.midClick1 = static_cast<std::int32_t>(fileNumber());
    model.clicks.rightClick1 = static_cast<std::int32_t>(fileNumber());
    model.clicks.totalClick1 = static_cast<std::int32_t>(fileNumber());
    model.KeyDownAll1 = pt::DynamicValue::Double(fileNumber());

    pt::test::MemorySettingsStore store;
    for (const char* name : Names) {
        pt::WriteSetting(store, pt::MainKey, name, in.text());
        pt::WriteSetting(store, pt::MirrorKey, name, in.text());
    }
    pt::MergeUseTimeAndMove(model, store);
    pt::MergeClickTotals(model, store);
    pt::MergeKeyDownAll(model, store);

    if (!(model.AllUseTime >= model.AllUseTime1) || !(model.AllMove >= model.AllMove1))
        pt::fuzz::Broken();
    const pt::ClickCounters& c = model.clicks;
    if (c.leftClick < c.leftClick1 || c.midClick < c.midClick1 || c.rightClick < c.rightClick1 ||
        c.totalClick < c.totalClick1)
        pt::fuzz::Broken();
    if (!(model.KeyDownAll.toDouble() >= model.KeyDownAll1.toDouble())) pt::fuzz::Broken();
    if (!std::isfinite(model.AllUseTime) || !std::isfinite(model.AllMove)) pt::fuzz::Broken();
    (void)model.KeyDownAll.toText();
    return 0;
}
