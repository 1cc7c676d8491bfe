// Device event streams, synthesised as libinput or the kernel deliver them, counted into
// travel, button presses and key presses.

#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <vector>

#include "platform/linux/DeviceEventCounter.h"
#include "support/MouseButtonPrint.h"

namespace pt {
namespace {

using Kind = DeviceEvent::Kind;

DeviceEvent Ev(Kind kind, std::uint32_t device, double x = 0, double y = 0, std::int32_t slot = 0) {
    DeviceEvent e;
    e.kind = kind;
    e.device = device;
    e.x = x;
    e.y = y;
    e.slot = slot;
    return e;
}

DeviceEvent Code(Kind kind, std::uint32_t device, std::uint32_t code, std::int32_t value) {
    DeviceEvent e;
    e.kind = kind;
    e.device = device;
    e.code = code;
    e.value = value;
    return e;
}

class DeviceEventCounterTest : public ::testing::Test {
protected:
    void SetUp() override {
        counter.setButtonSink([this](MouseButton b) { buttons.push_back(b); });
        counter.setKeySink([this](int vk) { keys.push_back(vk); });
    }
    void feed(const std::vector<DeviceEvent>& events) {
        for (const DeviceEvent& e : events) counter.handle(e);
    }
    void click(std::uint32_t device, std::uint32_t button) {
        feed({Code(Kind::Button, device, button, 1), Code(Kind::Button, device, button, 0)});
    }
    void tap(std::uint32_t device, std::uint32_t key) {
        feed({Code(Kind::Key, device, key, 1), Code(Kind::Key, device, key, 0)});
    }

    DeviceEventCounter counter;
    std::vector<MouseButton> buttons;
    std::vector<int> keys;
};

TEST_F(DeviceEventCounterTest, MouseAtOneKilohertzSumsItsRelativeMotionTimesTheScale) {
    counter.handle(Ev(Kind::Added, 1));
    for (int i = 0; i < 1000; ++i) counter.handle(Ev(Kind::RelativeMotion, 1, 3, -4));
    EXPECT_DOUBLE_EQ(counter.takeTravel(), 5000);
    EXPECT_EQ(counter.takeTravel(), 0);  // taken once
    // On a screen scaled by 2 one logical unit is two device pixels, as X11 counts them.
    counter.setScale(2);
    for (int i = 0; i < 1000; ++i) counter.handle(Ev(Kind::RelativeMotion, 1, -0.6, 0.8));
    EXPECT_NEAR(counter.takeTravel(), 2000, 1e-9);
    EXPECT_EQ(counter.motionEvents(), 2000u);
}

TEST_F(DeviceEventCounterTest, TouchpadMotionAndTapCountLikeAMouse) {
    // libinput turns finger motion into relative motion and a tap into a left press.
    feed({Ev(Kind::Added, 7), Ev(Kind::RelativeMotion, 7, 0.3, 0.4),
          Ev(Kind::RelativeMotion, 7, 1.2, 1.6), Ev(Kind::RelativeMotion, 7, 0, -2.5)});
    click(7, BTN_LEFT);
    click(7, BTN_RIGHT);  // two-finger tap
    EXPECT_DOUBLE_EQ(counter.takeTravel(), 0.5 + 2.0 + 2.5);
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Right}));
}

TEST_F(DeviceEventCounterTest, TouchscreenSwipesAreSegmentsBetweenPointsAndEndOnLift) {
    feed({Ev(Kind::Added, 2), Ev(Kind::TouchDown, 2, 100, 100), Ev(Kind::TouchMotion, 2, 100, 400),
          Ev(Kind::TouchMotion, 2, 500, 400), Ev(Kind::TouchUp, 2),
          // A new stroke far away: no segment joins it to the last one.
          Ev(Kind::TouchDown, 2, 900, 900), Ev(Kind::TouchMotion, 2, 900, 1000),
          Ev(Kind::TouchUp, 2)});
    EXPECT_DOUBLE_EQ(counter.takeTravel(), 300 + 400 + 100);
    // Two fingers at once: each slot is its own line; a cancel ends both.
    feed({Ev(Kind::TouchDown, 2, 0, 0, 0), Ev(Kind::TouchDown, 2, 1000, 0, 1),
          Ev(Kind::TouchMotion, 2, 0, 30, 0), Ev(Kind::TouchMotion, 2, 1000, 40, 1),
          Ev(Kind::TouchUp, 2, 0, 0, -1), Ev(Kind::TouchMotion, 2, 0, 500, 0)});
    EXPECT_DOUBLE_EQ(counter.takeTravel(), 30 + 40);
    EXPECT_TRUE(buttons.empty());  // touches are not button presses
}

TEST_F(DeviceEventCounterTest, TabletPenCountsWhileInProximityAndItsTipAsLeftPress) {
    feed({Ev(Kind::Added, 3), Ev(Kind::TabletProximityIn, 3, 0, 0),
          Ev(Kind::TabletAxis, 3, 30, 40)});
    feed({Code(Kind::TabletTip, 3, 0, 1)});
    feed({Ev(Kind::TabletAxis, 3, 30, 100)});
    feed({Code(Kind::TabletTip, 3, 0, 0)});
    feed({Ev(Kind::TabletProximityOut, 3, 30, 100),
          // Back in proximity elsewhere: the pen was lifted, no segment across.
          Ev(Kind::TabletProximityIn, 3, 1000, 1000), Ev(Kind::TabletAxis, 3, 1000, 1010)});
    EXPECT_DOUBLE_EQ(counter.takeTravel(), 50 + 60 + 10);
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left}));
}

TEST_F(DeviceEventCounterTest, OnlyLeftMiddleAndRightButtonsCountAndOncePerSeat) {
    click(1, BTN_LEFT);
    click(1, BTN_MIDDLE);
    click(1, BTN_RIGHT);
    click(1, BTN_SIDE);
    click(1, BTN_EXTRA);
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Middle,
                                                 MouseButton::Right}));
    buttons.clear();
    // Two devices forwarding one press (a mouse and a virtual device, say): counted once;
    // the next press after both released counts again.
    feed({Code(Kind::Button, 1, BTN_LEFT, 1), Code(Kind::Button, 2, BTN_LEFT, 1),
          Code(Kind::Button, 1, BTN_LEFT, 0), Code(Kind::Button, 2, BTN_LEFT, 0)});
    click(2, BTN_LEFT);
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Left}));
}

TEST_F(DeviceEventCounterTest, TwoKeyboardsPressingOneKeyCountOnceAndRepeatsNever) {
    feed({Code(Kind::Key, 4, KEY_A, 1), Code(Kind::Key, 5, KEY_A, 1), Code(Kind::Key, 5, KEY_A, 0),
          Code(Kind::Key, 4, KEY_A, 0)});
    EXPECT_EQ(keys, (std::vector<int>{'A'}));
    // A held key: auto-repeat records, and a press seen twice without its release.
    feed({Code(Kind::Key, 4, KEY_LEFTSHIFT, 1)});
    for (int i = 0; i < 30; ++i) feed({Code(Kind::Key, 4, KEY_LEFTSHIFT, 2)});
    feed({Code(Kind::Key, 4, KEY_LEFTSHIFT, 1), Code(Kind::Key, 4, KEY_LEFTSHIFT, 0)});
    tap(5, KEY_ENTER);
    tap(5, KEY_F12);
    EXPECT_EQ(keys, (std::vector<int>{'A', 16, 13, 123}));
}

TEST_F(DeviceEventCounterTest, KeypadFollowsTheNumLockLed) {
    tap(4, KEY_KP7);
    feed({Code(Kind::NumLockLed, 4, LED_NUML, 1)});
    tap(4, KEY_KP7);
    tap(4, KEY_KPDOT);
    feed({Code(Kind::NumLockLed, 4, LED_NUML, 0)});
    tap(4, KEY_KPDOT);
    tap(4, KEY_KPENTER);
    EXPECT_EQ(keys, (std::vector<int>{36, 103, 110, 46, 13}));
}

TEST_F(DeviceEventCounterTest, RemovedDeviceReleasesItsHoldsAndEndsItsLines) {
    feed({Ev(Kind::Added, 1), Ev(Kind::Added, 2), Ev(Kind::Added, 3)});
    EXPECT_EQ(counter.devices(), 3);
    // A keyboard and a mouse unplugged while a key and a button were down: the other
    // devices' next presses count.
    feed({Code(Kind::Key, 1, KEY_B, 1), Code(Kind::Button, 2, BTN_LEFT, 1),
          Ev(Kind::TouchDown, 3, 10, 10), Ev(Kind::TouchMotion, 3, 10, 20), Ev(Kind::Removed, 1),
          Ev(Kind::Removed, 2), Ev(Kind::Removed, 3)});
    EXPECT_EQ(counter.devices(), 0);
    feed({Ev(Kind::Added, 6), Code(Kind::Key, 6, KEY_B, 1), Code(Kind::Key, 6, KEY_B, 0),
          Code(Kind::Button, 6, BTN_LEFT, 1), Code(Kind::Button, 6, BTN_LEFT, 0)});
    EXPECT_EQ(keys, (std::vector<int>{'B', 'B'}));
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Left}));
    // The touchscreen comes back under the same number: its old stroke does not continue.
    feed({Ev(Kind::Added, 3), Ev(Kind::TouchMotion, 3, 10, 520)});
    EXPECT_DOUBLE_EQ(counter.takeTravel(), 10);
}

TEST_F(DeviceEventCounterTest, WithoutSinksNothingIsDeliveredButHoldsAreKept) {
    DeviceEventCounter quiet;
    quiet.handle(Code(Kind::Key, 1, KEY_A, 1));
    quiet.setKeySink([this](int vk) { keys.push_back(vk); });
    quiet.handle(Code(Kind::Key, 2, KEY_A, 1));  // the seat already holds A
    quiet.handle(Code(Kind::Key, 1, KEY_A, 0));
    quiet.handle(Code(Kind::Key, 2, KEY_A, 0));
    quiet.handle(Code(Kind::Key, 2, KEY_A, 1));
    EXPECT_EQ(keys, (std::vector<int>{'A'}));
}

// The kernel's own event records, written to a pipe and read back as a device node is read,
// decoded by the same function the counting uses for keys, buttons and LEDs.
TEST(EvdevRecords, KeysButtonsAndLedsFromAPipeCountAsFromADevice) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::vector<input_event> written = [] {
        std::vector<input_event> v;
        auto add = [&v](std::uint16_t type, std::uint16_t code, std::int32_t value) {
            input_event e{};
            e.type = type;
            e.code = code;
            e.value = value;
            v.push_back(e);
            if (type != EV_SYN) {
                input_event sync{};
                sync.type = EV_SYN;
                sync.code = SYN_REPORT;
                v.push_back(sync);
            }
        };
        add(EV_MSC, MSC_SCAN, 0x70004);
        add(EV_KEY, KEY_A, 1);
        for (int i = 0; i < 5; ++i) add(EV_KEY, KEY_A, 2);  // the kernel's auto-repeat
        add(EV_KEY, KEY_A, 0);
        add(EV_LED, LED_NUML, 1);
        add(EV_KEY, KEY_KP1, 1);
        add(EV_KEY, KEY_KP1, 0);
        add(EV_REL, REL_X, 12);
        add(EV_KEY, BTN_LEFT, 1);
        add(EV_KEY, BTN_LEFT, 0);
        add(EV_KEY, BTN_TOUCH, 1);  // a touch, not a button
        add(EV_KEY, BTN_TOOL_PEN, 1);
        add(EV_KEY, BTN_MIDDLE, 1);
        add(EV_KEY, BTN_MIDDLE, 0);
        return v;
    }();
    const auto bytes = static_cast<ssize_t>(written.size() * sizeof(input_event));
    ASSERT_EQ(write(fds[1], written.data(), static_cast<size_t>(bytes)), bytes);
    close(fds[1]);

    DeviceEventCounter counter;
    std::vector<int> keys;
    std::vector<MouseButton> buttons;
    counter.setKeySink([&](int vk) { keys.push_back(vk); });
    counter.setButtonSink([&](MouseButton b) { buttons.push_back(b); });
    input_event record{};
    int records = 0, decoded = 0;
    while (read(fds[0], &record, sizeof record) == static_cast<ssize_t>(sizeof record)) {
        ++records;
        DeviceEvent event;
        if (DeviceEventFromEvdev(record.type, record.code, record.value, 9, event)) {
            ++decoded;
            counter.handle(event);
        }
    }
    close(fds[0]);
    EXPECT_EQ(records, static_cast<int>(written.size()));
    EXPECT_EQ(decoded, 14);  // every EV_KEY but the two tool codes, and the LED
    EXPECT_EQ(keys, (std::vector<int>{'A', 97}));
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Middle}));
}

}  // namespace
}  // namespace pt
