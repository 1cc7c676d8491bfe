#pragma once

#include "core/persistence/DataFile.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/StatisticsModel.h"

namespace pt {

// The start-up merge of the totals. For each total the data file's value competes with the
// settings store's, and the store's value counts only when its two copies, in the main key
// and in the mirror key, agree (numerically; an absent value counts as 0). Disagreeing
// copies count as 0. Use time, travel and keystrokes are held at MaxStoredTotal.
//
// - use time and travel: the file's value when it is greater, else the store's;
// - left, middle, right and all clicks: the store's value (the main copy as a 32-bit
//   integer, held at its limit) when it is greater than or equal to the file's, else the
//   file's;
// - keystrokes: the file's when it is greater than the store's value (the mirror copy as a
//   64-bit float, or the 16-bit integer 0 when the copies disagree), else the store's.
//
// A store that could not be read at start is merged again once it can be read, from the
// same file totals; the model then grows by the difference (StatisticsModel::addStoredGrowth).
LifetimeTotals MergedTotals(const FileTotals& file, SettingsStore& store);

}  // namespace pt
