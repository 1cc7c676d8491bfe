#include "core/startup/MainParts.h"

namespace pt {

MainParts::MainParts(InputEvents& input, DayHistory* history, const Clock& clock)
    : clickHook(statistics, input),
      days(history ? std::make_unique<DayAccounting>(statistics, *history, clock) : nullptr) {}

}  // namespace pt
