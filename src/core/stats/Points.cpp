#include "core/stats/Points.h"

#include <cmath>

#include "core/form/MainControls.h"
#include "core/stats/NumberText.h"
#include "core/texts/MainWindowTexts.h"

namespace pt {

Level ComputeLevel(const StatisticsModel& model) {
    const LifetimeTotals& totals = model.totals();
    double travel = IntPart(totals.travel * MmPerPixel / 100000);
    double time = IntPart(totals.useTime / 3600);
    double clicks = IntPart(static_cast<double>(totals.clicks.all) / 1000);
    double keys = IntPart(totals.keys.toDouble() / 1000);
    return LevelOfPoints((travel + time + clicks) + keys);
}

Level LevelOfPoints(double points) {
    Level l;
    l.points = points;
    if (points >= 10) {
        l.level = std::floor(std::sqrt(points / 5 + 0.25) + 0.5);
        // The square root can land a hair off a whole number right at a threshold; one
        // step corrects it. Bounded: past 2^53 adding one no longer changes the level.
        for (int i = 0; i < 2 && 5 * (l.level + 1) * l.level <= points; ++i) l.level += 1;
        for (int i = 0; i < 2 && l.level > 1 && 5 * l.level * (l.level - 1) > points; ++i)
            l.level -= 1;
    }
    l.gap = 10 * ((l.level + 1) * l.level / 2) - points;
    return l;
}

void ShowPointsAndLevel(StatisticsModel& model, FormModel& form, Language lang) {
    Level l = ComputeLevel(model);
    model.setPoints(l.points);
    const std::string points = NumberToText(l.points);
    const std::string gap = NumberToText(l.gap);
    const std::string next = NumberToText(l.level + 1);
    using namespace main_texts;
    form.setText(main_controls::Points, points + std::string(PointsOpen.in(lang)) + gap +
                                            std::string(PointsClose.in(lang)));
    form.setText(main_controls::Level, NumberToText(l.level) + std::string(LevelUnit.in(lang)));
    form.setToolTip(main_controls::Points, std::string(PointsTipBefore.in(lang)) + next +
                                               std::string(PointsTipMiddle.in(lang)) + gap +
                                               std::string(PointsTipAfter.in(lang)));
}

}  // namespace pt
