// The start-up merge with any stored texts in the main and the mirror key and any totals
// from the data file: never crashes, and no total comes out below the data file's.

#include <cmath>

#include "FuzzInput.h"
#include "core/persistence/StartupMerge.h"
#include "core/stats/StatisticsModel.h"
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
    model.fileUseTime = fileNumber();
    model.fileTravel = fileNumber();
    model.clicks.fileLeftClick = static_cast<std::int32_t>(fileNumber());
    model.clicks.fileMidClick = static_cast<std::int32_t>(fileNumber());
    model.clicks.fileRightClick = static_cast<std::int32_t>(fileNumber());
    model.clicks.fileTotalClick = static_cast<std::int32_t>(fileNumber());
    model.fileKeys = pt::DynamicValue::Double(fileNumber());

    pt::test::MemorySettingsStore store;
    for (const char* name : Names) {
        pt::WriteSetting(store, pt::MainKey, name, in.text());
        pt::WriteSetting(store, pt::MirrorKey, name, in.text());
    }
    pt::MergeUseTimeAndMove(model, store);
    pt::MergeClickTotals(model, store);
    pt::MergeKeyTotals(model, store);

    if (!(model.totalUseTime >= model.fileUseTime) || !(model.totalTravel >= model.fileTravel))
        pt::fuzz::Broken();
    const pt::ClickCounters& c = model.clicks;
    if (c.leftClick < c.fileLeftClick || c.midClick < c.fileMidClick ||
        c.rightClick < c.fileRightClick || c.totalClick < c.fileTotalClick)
        pt::fuzz::Broken();
    if (!(model.totalKeys.toDouble() >= model.fileKeys.toDouble())) pt::fuzz::Broken();
    if (!std::isfinite(model.totalUseTime) || !std::isfinite(model.totalTravel)) pt::fuzz::Broken();
    (void)model.totalKeys.toText();
    return 0;
}
