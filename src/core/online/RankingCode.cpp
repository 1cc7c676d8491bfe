#include "core/online/RankingCode.h"

#include <cmath>

#include "core/texts/OnlineTexts.h"
#include "core/texts/ProgramName.h"

namespace pt {

namespace {

// Points beyond this cannot be reached in a lifetime; the bound keeps the product in range.
constexpr double MaxPoints = 1e15;

std::int64_t WholePoints(const DynamicValue& points) {
    double value = points.toDouble();
    if (!(value > 0)) return 0;  // also NaN
    if (value > MaxPoints) value = MaxPoints;
    return static_cast<std::int64_t>(std::floor(value));
}

}  // namespace

std::string RankingCode(std::uint32_t installationId, const DynamicValue& points) {
    const std::uint64_t a = static_cast<std::uint64_t>(installationId) * 121 + 159;
    const std::int64_t b = WholePoints(points) * 151 + 189;
    return std::to_string(a) + "-" + std::to_string(b);
}

bool RankingAllowed(const DynamicValue& points, MessageBox& box) {
    if (points == DynamicValue::Int16(0)) {
        // The default title of a message box: the program's name.
        box.show(std::string(ranking_texts::ZeroPoints.designed()), std::string(ProgramName),
                 MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    return true;
}

}  // namespace pt
