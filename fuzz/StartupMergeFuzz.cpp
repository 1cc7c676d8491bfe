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
    pt::FileTotals file;
    // The data file's side: small numbers from the input, or extremes.
    auto fileNumber = [&in] {
        const unsigned b = in.byte();
        if (b == 255) return 2147483647.0;
        return static_cast<double>(b) * 1000;
    };
    file.fileUseTime = fileNumber();
    file.fileTravel = fileNumber();
    file.fileLeftClick = static_cast<std::int32_t>(fileNumber());
    file.fileMidClick = static_cast<std::int32_t>(fileNumber());
    file.fileRightClick = static_cast<std::int32_t>(fileNumber());
    file.fileTotalClick = static_cast<std::int32_t>(fileNumber());
    file.fileKeys = pt::DynamicValue::Double(fileNumber());

    pt::test::MemorySettingsStore store;
    for (const char* name : Names) {
        pt::WriteSetting(store, pt::MainKey, name, in.text());
        pt::WriteSetting(store, pt::MirrorKey, name, in.text());
    }
    const pt::LifetimeTotals t = pt::MergedTotals(file, store);

    if (!(t.useTime >= file.fileUseTime) || !(t.travel >= file.fileTravel)) pt::fuzz::Broken();
    const pt::ClickCounts& c = t.clicks;
    if (c.left < file.fileLeftClick || c.middle < file.fileMidClick ||
        c.right < file.fileRightClick || c.all < file.fileTotalClick)
        pt::fuzz::Broken();
    if (!(t.keys.toDouble() >= file.fileKeys.toDouble())) pt::fuzz::Broken();
    if (!std::isfinite(t.useTime) || !std::isfinite(t.travel)) pt::fuzz::Broken();
    (void)t.keys.toText();
    return 0;
}
