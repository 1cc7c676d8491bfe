#pragma once

#include "core/ports/SettingsStore.h"

namespace pt {

struct StatisticsModel;

// The start-up merge of the totals. For each total the data file's value (the *1 fields,
// set by loading the data file) competes with the settings store's, and the store's value
// counts only when its two copies, in the main key and in the mirror key, agree
// (numerically; an absent value counts as 0). Disagreeing copies count as 0. Use time,
// travel and keystrokes are held at MaxStoredTotal.

// totalUseTime and totalTravel: the file's value when it is greater, else the store's. Sets
// storeUseTime and storeTravel on the way, then starts today's use time and travel at 0.
void MergeUseTimeAndMove(StatisticsModel& model, SettingsStore& store);

// leftClick, midClick, rightClick, totalClick in that order: the store's value (the main
// copy as a 32-bit integer) when it is greater than or equal to the file's, else the
// file's. Sets storeLeftClick ... storeTotalClick on the way.
void MergeClickTotals(StatisticsModel& model, SettingsStore& store);

// totalKeys: fileKeys when it is greater than the store's value (the mirror copy as a
// 64-bit float, or the 16-bit integer 0 when the copies disagree), else the store's.
void MergeKeyTotals(StatisticsModel& model, SettingsStore& store);

// The merge once more, later, for a store that could not be read at start (another
// program held it locked): `atStart` is the model as the start-up merge left it. Each
// total grows by what the store's value would have added to it then, so what the store
// held and what was counted since are both kept; a total never goes down. The store*
// values are set to what the store holds.
void JoinStoredTotals(StatisticsModel& model, const StatisticsModel& atStart, SettingsStore& store);

}  // namespace pt
