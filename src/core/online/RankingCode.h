#pragma once

#include <cstdint>
#include <string>

#include "core/ports/MessageBox.h"
#include "core/stats/DynamicValue.h"

namespace pt {

// The verification code the user pastes into the ranking page: (id * 121 + 159) "-"
// (points * 151 + 189), both in plain decimal. Points are whole; negative or fractional
// values (never produced by the points computation) are cut to whole non-negative numbers.
std::string RankingCode(std::uint32_t installationId, const DynamicValue& points);

// The ranking opens only with points above 0 (empty counts as 0); otherwise the
// zero-points message is shown and false returned.
bool RankingAllowed(const DynamicValue& points, MessageBox& box);

}  // namespace pt
