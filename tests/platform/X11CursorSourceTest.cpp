#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <utility>
#include <vector>

#include "XTestHelpers.h"
#include "core/stats/Chord.h"
#include "platform/linux/X11CursorSource.h"

namespace pt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using test::Taken;
using test::TakeUntilAt;

bool WaitResting(X11CursorSource& source, std::chrono::milliseconds limit = 3s) {
    const auto end = Clock::now() + limit;
    while (!source.resting() && Clock::now() < end) std::this_thread::sleep_for(2ms);
    return source.resting();
}

class X11CursorSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(driver.ok()) << "no X display"; }
    test::XTestDriver driver;
};

// Rates and delays: a loaded machine can upset them, so they run alone (the "load" label).
class X11CursorSourceTiming : public X11CursorSourceTest {};

TEST_F(X11CursorSourceTest, FirstReadMeasuresFromTheOrigin) {
    driver.moveTo(300, 400);
    X11CursorSource source;
    ASSERT_TRUE(source.running());
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, 300, 400));
    EXPECT_EQ(taken.travel, 500.0);
    EXPECT_GE(taken.samples, 1u);
    EXPECT_EQ(source.failedReads(), 0u);
}

TEST_F(X11CursorSourceTest, TravelAlongKnownPointsIsExact) {
    const std::vector<std::pair<int, int>> points = {{10, 20}, {13, 24}, {1279, 1023}, {0, 0},
                                                     {640, 0}, {640, 0}, {100, 900},   {101, 901}};
    driver.moveTo(points[0].first, points[0].second);
    X11CursorSource source;
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, points[0].first, points[0].second));
    double expected = ChordLength(0, 0, points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i) {
        driver.moveTo(points[i].first, points[i].second);
        ASSERT_TRUE(TakeUntilAt(source, taken, points[i].first, points[i].second)) << i;
        expected += ChordLength(points[i - 1].first, points[i - 1].second, points[i].first,
                                points[i].second);
    }
    std::this_thread::sleep_for(80ms);  // resting reads add nothing
    if (auto r = source.take()) taken.add(*r);
    EXPECT_DOUBLE_EQ(taken.travel, expected);
    EXPECT_EQ(taken.x, 101);
    EXPECT_EQ(taken.y, 901);
}

TEST_F(X11CursorSourceTest, NothingToTakeWhileNoReadHappened) {
    X11CursorSource::Options slow;
    slow.idlePeriod = 5s;
    slow.restingReads = 5;
    X11CursorSource source(slow);
    ASSERT_TRUE(WaitResting(source));
    source.take();
    EXPECT_FALSE(source.take().has_value());
}

TEST_F(X11CursorSourceTiming, RestingSamplerWakesOnRawMotionAndStillCatchesWarps) {
    driver.moveTo(500, 500);
    X11CursorSource::Options options;
    options.idlePeriod = 1500ms;  // long, so a quick wake can only come from raw motion
    options.restingReads = 300;
    X11CursorSource source(options);
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, 500, 500));
    ASSERT_TRUE(WaitResting(source));

    const auto moved = Clock::now();
    driver.moveBy(30, 40);
    ASSERT_TRUE(TakeUntilAt(source, taken, 530, 540, 1s));
    EXPECT_LT(Clock::now() - moved, 700ms);
    EXPECT_FALSE(source.resting());

    // An absolute move makes no raw motion here: the slow read finds it.
    ASSERT_TRUE(WaitResting(source));
    driver.moveTo(100, 100);
    ASSERT_TRUE(TakeUntilAt(source, taken, 100, 100, 4s));
    const double expected = ChordLength(0, 0, 500, 500) + 50.0 + ChordLength(530, 540, 100, 100);
    EXPECT_DOUBLE_EQ(taken.travel, expected);
}

TEST_F(X11CursorSourceTiming, BacksOffWhileResting) {
    X11CursorSource source;  // default: about 20 reads a second at rest
    ASSERT_TRUE(WaitResting(source));
    const auto before = source.samplesTaken();
    std::this_thread::sleep_for(1s);
    const auto reads = source.samplesTaken() - before;
    EXPECT_GE(reads, 10u);
    EXPECT_LE(reads, 40u);
    EXPECT_TRUE(source.resting());
    std::this_thread::sleep_for(1100ms);  // a full second at rest
    EXPECT_LE(source.samplesPerSecond(), 40);
}

TEST_F(X11CursorSourceTiming, SamplesOftenWhileThePointerMoves) {
    X11CursorSource source;
    std::atomic<bool> stop{false};
    std::thread mover([&] {
        test::XTestDriver d;
        int step = 0;
        while (!stop) {
            d.moveBy((step++ / 50) % 2 ? -1 : 1, 0);
            std::this_thread::sleep_for(500us);
        }
    });
    std::this_thread::sleep_for(200ms);
    const auto before = source.samplesTaken();
    std::this_thread::sleep_for(1s);
    const auto reads = source.samplesTaken() - before;
    stop = true;
    mover.join();
    // The figure itself belongs to the benchmark; this only catches a sampler stuck in
    // its slow mode (~20) or paced by something other than its 1 ms deadlines.
    // Loose bounds: the test machine may be busy.
    EXPECT_GT(reads, 100u);
    EXPECT_LE(reads, 1005u);
    EXPECT_GT(source.samplesPerSecond(), 100);
}

TEST_F(X11CursorSourceTiming, StopsPromptlyEvenWhileResting) {
    X11CursorSource::Options slow;
    slow.idlePeriod = 10s;
    slow.restingReads = 5;
    auto source = std::make_unique<X11CursorSource>(slow);
    ASSERT_TRUE(WaitResting(*source));
    const auto start = Clock::now();
    source.reset();
    EXPECT_LT(Clock::now() - start, 500ms);
}

TEST(X11CursorSourceNoDisplay, StaysEmpty) {
    X11CursorSource::Options options;
    options.displayName = ":9999";
    X11CursorSource source(options);
    EXPECT_FALSE(source.running());
    EXPECT_FALSE(source.take().has_value());
}

}  // namespace
}  // namespace pt
