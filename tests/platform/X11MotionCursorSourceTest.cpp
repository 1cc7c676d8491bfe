#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "XTestHelpers.h"
#include "core/stats/Chord.h"
#include "platform/linux/CreateX11CursorSource.h"
#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11MotionCursorSource.h"

#include <X11/extensions/XInput2.h>

namespace pt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Taken;
using test::TakeUntilAt;

struct Step {
    int dx, dy;
};

// A path of relative steps, as a mouse reports them, and its true length.
struct Path {
    const char* name;
    std::vector<Step> steps;
    int eventsPerSecond;
    double length() const {
        double sum = 0;
        for (const Step& s : steps) sum += ChordLength(0, 0, s.dx, s.dy);
        return sum;
    }
};

// Two turns of a circle of radius 200, the integer steps between rounded points.
Path Circle() {
    Path p{"circle", {}, 1000};
    int px = 200, py = 0;
    for (int i = 1; i <= 1440; ++i) {
        const double a = 2 * M_PI * i / 720.0;
        const int x = static_cast<int>(std::lround(200 * std::cos(a)));
        const int y = static_cast<int>(std::lround(200 * std::sin(a)));
        if (x != px || y != py) p.steps.push_back({x - px, y - py});
        px = x;
        py = y;
    }
    return p;
}

// A zig-zag 30 px wide: 3 px sideways and 1 px down or up per event, turning every 10
// events sideways and every 250 up or down.
Path ZigZag() {
    Path p{"zig-zag", {}, 4000};
    for (int i = 0; i < 2000; ++i)
        p.steps.push_back({(i / 10) % 2 ? -3 : 3, (i / 250) % 2 ? -1 : 1});
    return p;
}

// Small back-and-forth steps at 8000 events a second.
Path Burst() {
    Path p{"burst", {}, 8000};
    for (int i = 0; i < 4000; ++i) p.steps.push_back(i % 2 ? Step{-2, -1} : Step{2, 1});
    return p;
}

// Sends the steps paced at the path's rate, a millisecond's worth at a time.
void Drive(test::XTestDriver& driver, const Path& path) {
    const int perMs = std::max(1, path.eventsPerSecond / 1000);
    auto next = Clock::now();
    for (size_t i = 0; i < path.steps.size(); ++i) {
        XTestFakeRelativeMotionEvent(driver.display(), path.steps[i].dx, path.steps[i].dy,
                                     CurrentTime);
        if ((i + 1) % perMs == 0) {
            XFlush(driver.display());
            next += 1ms;
            std::this_thread::sleep_until(next);  // pacing, not synchronisation
        }
    }
    driver.sync();
}

class X11MotionCursorSourceTest : public ::testing::Test {
protected:
    // Pointer acceleration off, so that the steps sent are the steps the pointer takes.
    void SetUp() override {
        ASSERT_TRUE(driver.ok()) << "no X display";
        XGetPointerControl(driver.display(), &m_accelNumerator, &m_accelDenominator, &m_threshold);
        XChangePointerControl(driver.display(), True, True, 1, 1, 0);
        driver.sync();
    }
    void TearDown() override {
        XChangePointerControl(driver.display(), True, True, m_accelNumerator, m_accelDenominator,
                              m_threshold);
        driver.sync();
    }

    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
        const auto end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > end) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    test::XTestDriver driver;

private:
    int m_accelNumerator = 2, m_accelDenominator = 1, m_threshold = 4;
};

// Rates and delays: a loaded machine can upset them, so they run alone (the "load" label).
class X11MotionCursorSourceTiming : public X11MotionCursorSourceTest {};

TEST_F(X11MotionCursorSourceTest, FirstPositionCountsFromTheOrigin) {
    driver.moveTo(300, 400);
    X11MotionCursorSource source;
    ASSERT_TRUE(source.available());
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, 300, 400));
    EXPECT_EQ(taken.travel, 500.0);
}

TEST_F(X11MotionCursorSourceTest, RelativePathsGiveTheirTrueLength) {
    for (const Path& path : {Circle(), ZigZag(), Burst()}) {
        SCOPED_TRACE(path.name);
        driver.moveTo(640, 512);
        X11MotionCursorSource source;
        ASSERT_TRUE(source.available());
        Taken taken;
        ASSERT_TRUE(TakeUntilAt(source, taken, 640, 512));
        taken.travel = 0;
        const auto eventsBefore = source.motionEvents();

        Drive(driver, path);
        int endX = 640, endY = 512;
        for (const Step& s : path.steps) {
            endX += s.dx;
            endY += s.dy;
        }
        int x = 0, y = 0;
        driver.pointer(x, y);
        // The steps were applied as sent: no acceleration, no clipping at an edge.
        ASSERT_EQ(x, endX);
        ASSERT_EQ(y, endY);
        EXPECT_TRUE(waitUntil([&] {
            return source.motionEvents() - eventsBefore >= path.steps.size();
        })) << source.motionEvents() - eventsBefore
            << " of " << path.steps.size();
        ASSERT_TRUE(TakeUntilAt(source, taken, endX, endY));
        const double ratio = taken.travel / path.length();
        EXPECT_NEAR(ratio, 1.0, 0.005) << taken.travel << " of " << path.length();
    }
}

TEST_F(X11MotionCursorSourceTest, WarpsByAnotherProgramAreCounted) {
    driver.moveTo(100, 100);
    X11MotionCursorSource source;
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, 100, 100));
    taken.travel = 0;
    const auto motionBefore = source.motionEvents();

    test::XTestDriver other;
    Display* d = other.display();
    XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, 400, 500);
    other.sync();
    ASSERT_TRUE(TakeUntilAt(source, taken, 400, 500));
    EXPECT_DOUBLE_EQ(taken.travel, 500.0);
    // Moving on from the warped position counts from there.
    driver.moveBy(30, 40);
    ASSERT_TRUE(TakeUntilAt(source, taken, 430, 540));
    EXPECT_DOUBLE_EQ(taken.travel, 550.0);
    // The XInput 2 warp as well (what toolkits use for a device of their own).
    int pointer = 0;
    XIGetClientPointer(d, None, &pointer);
    XIWarpPointer(d, pointer, None, DefaultRootWindow(d), 0, 0, 0, 0, 430, 840);
    other.sync();
    ASSERT_TRUE(TakeUntilAt(source, taken, 430, 840));
    EXPECT_DOUBLE_EQ(taken.travel, 850.0);
    // Whether the server also reports a warp as motion or only the position shows it, it
    // counts once.
    EXPECT_EQ(source.motionEvents() + source.warpsFound(), motionBefore + 3);
}

TEST_F(X11MotionCursorSourceTest, NothingWakesItWhileThePointerRests) {
    driver.moveTo(700, 300);
    X11MotionCursorSource source;
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, 700, 300));
    // Other programs' requests that move nothing are not recorded.
    test::XTestDriver other;
    int x = 0, y = 0;
    other.pointer(x, y);
    EXPECT_EQ(x, 700);
    const auto wakeUps = source.wakeUps();
    std::this_thread::sleep_for(300ms);  // a window in which nothing may happen
    EXPECT_EQ(source.wakeUps(), wakeUps);
    const auto reading = source.take();
    EXPECT_TRUE(!reading || reading->travel == 0);
    EXPECT_EQ(source.warpsFound(), 0u);
}

// A 1000 Hz mouse wakes the reader some 60 times a second, not once per event, and every
// event still counts.
TEST_F(X11MotionCursorSourceTiming, AMovingPointerIsReadInBatches) {
    driver.moveTo(300, 300);
    X11MotionCursorSource source;
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(source, taken, 300, 300));
    taken.travel = 0;
    const auto events = source.motionEvents();
    const auto wakeUps = source.wakeUps();
    const auto start = Clock::now();
    for (int i = 1; i <= 500; ++i) {
        driver.moveBy(i % 2 ? 1 : -1, 1);
        driver.sync();
        std::this_thread::sleep_until(start + i * 1ms);
    }
    ASSERT_TRUE(TakeUntilAt(source, taken, 300, 800));
    EXPECT_EQ(source.motionEvents() - events, 500u);
    EXPECT_NEAR(taken.travel, 500 * std::sqrt(2.0), 1e-6);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LE(double(source.wakeUps() - wakeUps), seconds * 1000 / 16 * 1.5 + 5)
        << "over " << seconds << " s";
}

TEST_F(X11MotionCursorSourceTiming, StopsPromptly) {
    auto source = std::make_unique<X11MotionCursorSource>();
    ASSERT_TRUE(source->running());
    const auto start = Clock::now();
    source.reset();
    EXPECT_LT(Clock::now() - start, 500ms);
}

TEST(X11CursorSourceChoice, MotionEventsWhereTheServerRecords) {
    auto source = CreateX11CursorSource();
    EXPECT_NE(dynamic_cast<X11MotionCursorSource*>(source.get()), nullptr);
}

TEST(X11CursorSourceChoice, TheSamplerWhereTheServerLacksRecordAndItStillCounts) {
    test::PrivateXServer server({"-extension", "RECORD", "-screen", "0", "1280x1024x24"});
    ASSERT_FALSE(server.display().empty());
    // That server lacks XTEST as well: the pointer is warped.
    Display* d = XOpenDisplay(server.display().c_str());
    ASSERT_NE(d, nullptr);
    auto warp = [d](int x, int y) {
        XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, x, y);
        XSync(d, False);
    };
    warp(30, 40);
    auto source = CreateX11CursorSource(server.display());
    ASSERT_NE(dynamic_cast<X11CursorSource*>(source.get()), nullptr);
    Taken taken;
    ASSERT_TRUE(TakeUntilAt(*source, taken, 30, 40));
    warp(330, 440);
    ASSERT_TRUE(TakeUntilAt(*source, taken, 330, 440));
    EXPECT_DOUBLE_EQ(taken.travel, 50.0 + 500.0);
    source.reset();
    XCloseDisplay(d);
}

TEST(X11CursorSourceChoice, NoDisplayGivesAnEmptySource) {
    auto source = CreateX11CursorSource(":9999");
    ASSERT_NE(source, nullptr);
    EXPECT_FALSE(source->take().has_value());
}

}  // namespace
}  // namespace pt
