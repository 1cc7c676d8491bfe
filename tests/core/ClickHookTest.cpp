#include <gtest/gtest.h>

#include <limits>

#include "core/input/ClickHook.h"
#include "core/stats/StatisticsModel.h"
#include "support/Fakes.h"
#include "support/ModelWith.h"

namespace pt {
namespace {

constexpr MouseButton kLeft = MouseButton::Left, kRight = MouseButton::Right,
                      kMiddle = MouseButton::Middle;
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Counts {
    std::int32_t tl, tm, tr, tt, l, m, r, t;
    bool operator==(const Counts&) const = default;
};

Counts Read(const StatisticsModel& m) {
    const ClickCounts& d = m.todayClicks();
    const ClickCounts& c = m.totals().clicks;
    return {d.left, d.middle, d.right, d.all, c.left, c.middle, c.right, c.all};
}

void PrintTo(const Counts& c, std::ostream* os) {
    *os << "today " << c.tl << "/" << c.tm << "/" << c.tr << "=" << c.tt << " total " << c.l << "/"
        << c.m << "/" << c.r << "=" << c.t;
}

class ClickHookTest : public ::testing::Test {
protected:
    StatisticsModel stats;
    test::FakeInput input;
    ClickHook hook{stats, input};

    void press(MouseButton button) {
        ASSERT_TRUE(input.buttons) << "no hook installed";
        input.buttons(button);
    }
};

TEST_F(ClickHookTest, EachButtonRaisesOnlyItsOwnCountersAndTheTotals) {
    hook.install();
    press(kLeft);
    EXPECT_EQ(Read(stats), (Counts{1, 0, 0, 1, 1, 0, 0, 1}));
    press(kMiddle);
    EXPECT_EQ(Read(stats), (Counts{1, 1, 0, 2, 1, 1, 0, 2}));
    press(kRight);
    EXPECT_EQ(Read(stats), (Counts{1, 1, 1, 3, 1, 1, 1, 3}));
}

TEST_F(ClickHookTest, DoubleClickCountsTwice) {
    stats.startFrom(test::Totals(0, 0, {40, 0, 0, 100}));
    hook.install();
    press(kLeft);
    press(kLeft);
    EXPECT_EQ(Read(stats), (Counts{2, 0, 0, 2, 42, 0, 0, 102}));
}

TEST_F(ClickHookTest, AValueOutsideTheButtonsCountsNothing) {
    hook.install();
    for (int value : {3, 7, -1}) hook.countButton(static_cast<MouseButton>(value));
    EXPECT_EQ(Read(stats), (Counts{}));
    EXPECT_EQ(hook.refusedIncrements(), 0u);
}

TEST_F(ClickHookTest, AtMostOneHookAndRemovalStopsCounting) {
    hook.remove();  // nothing installed: nothing happens
    EXPECT_EQ(input.removes, 0);
    hook.install();
    hook.install();
    EXPECT_EQ(input.installs, 1);
    EXPECT_TRUE(hook.installed());
    press(kLeft);
    EXPECT_EQ(stats.totals().clicks.all, 1);  // not counted twice
    hook.remove();
    EXPECT_FALSE(hook.installed());
    EXPECT_EQ(input.removes, 1);
    EXPECT_FALSE(input.buttons);
    hook.remove();
    EXPECT_EQ(input.removes, 1);
    hook.install();  // switched back on
    EXPECT_EQ(input.installs, 2);
    press(kRight);
    EXPECT_EQ(stats.totals().clicks.all, 2);
}

TEST_F(ClickHookTest, FailedInstallLeavesNoHook) {
    class NoSource : public test::FakeInput {
    public:
        bool installMouseHook(ButtonSink) override {
            ++installs;
            return false;
        }
    } none;
    ClickHook h(stats, none);
    h.install();
    EXPECT_FALSE(h.installed());
    h.remove();
    EXPECT_EQ(none.removes, 0);
    h.install();  // tried again: the earlier failure installed nothing
    EXPECT_EQ(none.installs, 2);
}

TEST_F(ClickHookTest, CounterAtMaximumStaysThereAndEarlierCountersKeepTheirIncrement) {
    hook.install();
    stats.startFrom(test::Totals(0, 0, {kMax, 0, 0, 5}));
    press(kLeft);
    // todayLeftClick and todayTotalClick come first and keep their increment; leftClick
    // is refused and the press counts no further.
    EXPECT_EQ(Read(stats), (Counts{1, 0, 0, 1, kMax, 0, 0, 5}));
    EXPECT_EQ(hook.refusedIncrements(), 1u);

    stats.startFrom(test::Totals(0, 0, {kMax, 0, 0, kMax - 1}));
    press(kMiddle);
    press(kMiddle);
    EXPECT_EQ(Read(stats), (Counts{1, 2, 0, 3, kMax, 2, 0, kMax}));
    EXPECT_GT(stats.totals().clicks.all, 0);  // never wrapped
    EXPECT_EQ(hook.refusedIncrements(), 2u);
}

TEST_F(ClickHookTest, DestroyingTheOwnerRemovesTheHook) {
    {
        ClickHook scoped(stats, input);
        scoped.install();
        EXPECT_TRUE(input.buttons);
    }
    EXPECT_FALSE(input.buttons);
}

}  // namespace
}  // namespace pt
