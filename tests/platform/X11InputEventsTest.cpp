#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "XTestHelpers.h"
#include "core/form/FormModel.h"
#include "core/input/ClickHook.h"
#include "core/input/KeyCounter.h"
#include "core/stats/StatisticsModel.h"
#include "platform/linux/X11InputEvents.h"
#include "support/MouseButtonPrint.h"

namespace pt {
namespace {

using namespace std::chrono_literals;
using test::PumpFor;
using test::PumpUntil;

class X11InputEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        ASSERT_TRUE(driver.ok()) << "no X display";
    }
    void TearDown() override {
        if (numLockOn) {
            driver.tap(XK_Num_Lock);
            numLockOn = false;
        }
    }

    // Keys seen by a plain sink, in order.
    std::vector<int> keysFor(const std::function<void()>& press, size_t expected) {
        std::vector<int> seen;
        X11InputEvents source;
        EXPECT_TRUE(source.connectKeys([&](int vk) { seen.push_back(vk); })) << source.error();
        press();
        PumpUntil([&] { return seen.size() >= expected; }, 5s);
        PumpFor(100ms);
        return seen;
    }

    test::XTestDriver driver;
    bool numLockOn = false;
};

TEST_F(X11InputEventsTest, ButtonsArriveAsTheirButtonsAndTheWheelIsIgnored) {
    std::vector<MouseButton> seen;
    X11InputEvents source;
    ASSERT_TRUE(source.installMouseHook([&](MouseButton b) { seen.push_back(b); }))
        << source.error();
    for (unsigned button : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u}) driver.click(button);
    driver.click(1);  // a double click: two presses
    driver.click(1);
    ASSERT_TRUE(PumpUntil([&] { return seen.size() >= 5; }, 5s));
    PumpFor(150ms);
    EXPECT_EQ(seen,
              (std::vector<MouseButton>{MouseButton::Left, MouseButton::Middle, MouseButton::Right,
                                        MouseButton::Left, MouseButton::Left}));

    source.removeMouseHook();
    driver.click(1);
    PumpFor(150ms);
    EXPECT_EQ(seen.size(), 5u);  // removed: nothing more arrives
}

TEST_F(X11InputEventsTest, ButtonsCountAsTheDeviceReportsThemWhenTheMapIsSwapped) {
    Display* d = driver.display();
    unsigned char original[32];
    const int n = XGetPointerMapping(d, original, sizeof original);
    ASSERT_GE(n, 3);
    unsigned char swapped[32];
    std::copy(original, original + n, swapped);
    std::swap(swapped[0], swapped[2]);
    ASSERT_EQ(XSetPointerMapping(d, swapped, n), MappingSuccess);

    std::vector<MouseButton> seen;
    X11InputEvents source;
    ASSERT_TRUE(source.installMouseHook([&](MouseButton b) { seen.push_back(b); }));
    driver.click(1);
    driver.click(3);
    const bool arrived = PumpUntil([&] { return seen.size() >= 2; }, 5s);
    XSetPointerMapping(d, original, n);
    XSync(d, False);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(seen, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Right}));
}

TEST_F(X11InputEventsTest, KeysBecomeVirtualKeyCodes) {
    const auto seen = keysFor(
        [&] {
            driver.tap(XK_a);
            driver.keyDown(XK_Shift_L);
            driver.tap(XK_b);
            driver.keyUp(XK_Shift_L);
            driver.tap(XK_Control_R);
            driver.tap(XK_Return);
            driver.tap(XK_KP_Enter);
            driver.tap(XK_Delete);
            driver.tap(XK_Home);
            driver.tap(XK_5);
            driver.tap(XK_F5);
        },
        10);
    EXPECT_EQ(seen, (std::vector<int>{65, 16, 66, 17, 13, 13, 46, 36, 53, 116}));
}

TEST_F(X11InputEventsTest, KeypadDigitsOnlyWithNumLockOn) {
    const auto off = keysFor(
        [&] {
            driver.tap(XK_KP_5);
            driver.tap(XK_KP_Home);
            driver.tap(XK_KP_Delete);  // the keypad's decimal key
        },
        3);
    EXPECT_EQ(off, (std::vector<int>{12, 36, 46}));  // Clear, Home, Delete: not counted

    const auto on = keysFor(
        [&] {
            driver.tap(XK_Num_Lock);
            numLockOn = true;
            driver.tap(XK_KP_5);
            driver.tap(XK_KP_Home);
            driver.tap(XK_KP_Delete);
            driver.tap(XK_KP_Add);
        },
        5);
    EXPECT_EQ(on, (std::vector<int>{144, 101, 103, 110, 107}));
}

TEST_F(X11InputEventsTest, FollowsAChangedKeyboardMap) {
    Display* d = driver.display();
    const KeyCode code = XKeysymToKeycode(d, XK_a);
    int width = 0;
    KeySym* original = XGetKeyboardMapping(d, code, 1, &width);
    ASSERT_NE(original, nullptr);

    std::vector<int> seen;
    X11InputEvents source;
    ASSERT_TRUE(source.connectKeys([&](int vk) { seen.push_back(vk); }));
    driver.tapCode(code);
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 1; }, 5s));

    // The same key now produces F1, then its own letter again.
    std::vector<KeySym> f1(static_cast<size_t>(width), XK_F1);
    XChangeKeyboardMapping(d, code, width, f1.data(), 1);
    XSync(d, False);
    PumpFor(200ms);
    driver.tapCode(code);
    XChangeKeyboardMapping(d, code, width, original, 1);
    XSync(d, False);
    PumpFor(200ms);
    driver.tapCode(code);
    XFree(original);
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 3; }, 5s));
    EXPECT_EQ(seen, (std::vector<int>{65, 112, 65}));
}

TEST_F(X11InputEventsTest, CountsThroughTheClickHookAndKeyCounter) {
    StatisticsModel stats;
    FormModel form;
    X11InputEvents source;
    ClickHook hook(stats, source);
    KeyCounter keys(stats, form, Language::Simplified);
    hook.install();
    hook.install();  // still one selection: nothing counted twice
    ASSERT_TRUE(hook.installed()) << source.error();
    ASSERT_TRUE(keys.connect(source));

    for (unsigned b : {1u, 1u, 2u, 3u, 4u, 5u}) driver.click(b);
    for (KeySym k : {XK_a, XK_Shift_L, XK_b, XK_Return, XK_KP_Enter, XK_Delete, XK_Home, XK_Alt_L})
        driver.tap(k);
    ASSERT_TRUE(PumpUntil(
        [&] { return stats.totals().clicks.all >= 4 && stats.totals().keys.toDouble() >= 5; }, 5s));
    PumpFor(150ms);
    const ClickCounts& c = stats.todayClicks();
    EXPECT_EQ(c.left, 2);
    EXPECT_EQ(c.middle, 1);
    EXPECT_EQ(c.right, 1);
    EXPECT_EQ(c.all, 4);
    EXPECT_EQ(stats.totals().clicks.all, 4);
    EXPECT_EQ(stats.todayKeys().toText(), "5");  // a, Shift, b, both Enters
    EXPECT_EQ(form.get(ControlId{"Label73"}).text, "今天:5");
    EXPECT_EQ(form.get(ControlId{"Label74"}).text, "累计:0万次");
    EXPECT_EQ(form.get(ControlId{"Label74"}).toolTip, "统计您的键盘累计被您敲打的次数,目前:5");

    // Switched off by the stored setting: keys are no longer read.
    keys.setCountingEnabled(false);
    driver.tap(XK_a);
    hook.remove();
    driver.click(1);
    PumpFor(200ms);
    EXPECT_EQ(stats.todayKeys().toText(), "5");
    EXPECT_EQ(stats.totals().clicks.all, 4);
}

TEST_F(X11InputEventsTest, EveryPressOfABurstCountsOnce) {
    constexpr int kBurst = 10000;
    StatisticsModel stats;
    FormModel form;
    X11InputEvents source;
    ClickHook hook(stats, source);
    KeyCounter keys(stats, form, Language::Simplified);
    hook.install();
    ASSERT_TRUE(hook.installed()) << source.error();
    ASSERT_TRUE(keys.connect(source));

    // Sent from another thread as fast as the server takes them, while this thread's
    // event loop reads.
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        test::XTestDriver d;
        for (int i = 0; i < kBurst; ++i) {
            d.click(1, false);
            d.tap(XK_a, false);
            if (i % 500 == 0) XFlush(d.display());
        }
        d.sync();
        sent = true;
    });
    const bool all = PumpUntil(
        [&] {
            return sent && stats.totals().clicks.left >= kBurst &&
                   stats.totals().keys.toDouble() >= kBurst;
        },
        60s);
    sender.join();
    PumpFor(300ms);
    EXPECT_TRUE(all);
    EXPECT_EQ(stats.totals().clicks.left, kBurst);
    EXPECT_EQ(stats.totals().clicks.all, kBurst);
    EXPECT_EQ(stats.totals().keys.toText(), std::to_string(kBurst));
    EXPECT_EQ(form.get(ControlId{"Label73"}).text, "今天:10000");
    EXPECT_EQ(form.get(ControlId{"Label74"}).text, "累计:1万次");
}

TEST(X11InputEventsNoDisplay, ReportsTheMissingSource) {
    test::QtApp();
    X11InputEvents source(":9999");
    EXPECT_FALSE(source.installMouseHook([](MouseButton) {}));
    EXPECT_FALSE(source.connectKeys([](int) {}));
    EXPECT_FALSE(source.error().empty());
    source.removeMouseHook();
    source.disconnectKeys();

    StatisticsModel stats;
    ClickHook hook(stats, source);
    hook.install();
    EXPECT_FALSE(hook.installed());
}

}  // namespace
}  // namespace pt
