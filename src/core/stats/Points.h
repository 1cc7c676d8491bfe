#pragma once

#include "core/form/FormModel.h"
#include "core/stats/StatisticsModel.h"
#include "core/texts/Language.h"

namespace pt {

struct Level {
    double points = 0;
    double level = 1;  // L >= 1
    double gap = 10;   // points still missing to level L + 1
};

// Points from the lifetime totals: one per 100 m of travel, per hour of use, per 1000
// clicks and per 1000 keystrokes; level L begins at 5 * L * (L - 1) points.
Level ComputeLevel(const StatisticsModel& model);
// The level and gap of a number of points; below 10 points (or not a number) level 1.
Level LevelOfPoints(double points);

// Computes the points into the model and shows them (Label21 caption, Label19, Label21 tooltip).
void ShowPointsAndLevel(StatisticsModel& model, FormModel& form, Language lang);

}  // namespace pt
