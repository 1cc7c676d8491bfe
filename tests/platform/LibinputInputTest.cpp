// The libinput source against this machine's real input devices: where none can be opened
// it says so; where /dev/uinput exists, a virtual mouse and keyboard drive it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "XTestHelpers.h"
#include "platform/linux/LibinputInput.h"
#include "support/MouseButtonPrint.h"

namespace pt {
namespace {

// True when this process can open at least one of the kernel's event devices.
bool AnyEventDeviceOpens() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/input", ec)) {
        if (entry.path().filename().string().rfind("event", 0) != 0) continue;
        const int fd = open(entry.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            close(fd);
            return true;
        }
    }
    return false;
}

TEST(LibinputInput, WithoutReadableDevicesNothingIsMeasuredAndItSaysSo) {
    if (AnyEventDeviceOpens())
        GTEST_SKIP() << "this machine's input devices are readable by the test";
    test::QtApp();
    LibinputInput input;
    EXPECT_FALSE(input.devicesReadable());
    EXPECT_FALSE(input.pointerPositionKnown());
    EXPECT_EQ(input.devicesOpened(), 0);
    EXPECT_FALSE(input.take().has_value());
    // The seat stays watched: devices that become readable later are counted.
    if (input.error().empty()) {
        EXPECT_TRUE(input.installMouseHook([](MouseButton) {}));
        EXPECT_TRUE(input.connectKeys([](int) {}));
    }
}

// A virtual device made through /dev/uinput; closed (and so unplugged) at the end.
class UinputDevice {
public:
    UinputDevice() {
        m_fd = open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) return;
        ioctl(m_fd, UI_SET_EVBIT, EV_KEY);
        ioctl(m_fd, UI_SET_EVBIT, EV_REL);
        for (int code : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, KEY_A, KEY_B})
            ioctl(m_fd, UI_SET_KEYBIT, code);
        ioctl(m_fd, UI_SET_RELBIT, REL_X);
        ioctl(m_fd, UI_SET_RELBIT, REL_Y);
        uinput_setup setup{};
        setup.id.bustype = BUS_USB;
        setup.id.vendor = 0x1234;
        setup.id.product = 0x5678;
        std::strcpy(setup.name, "pathtally test mouse and keyboard");
        if (ioctl(m_fd, UI_DEV_SETUP, &setup) < 0 || ioctl(m_fd, UI_DEV_CREATE) < 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~UinputDevice() {
        if (m_fd < 0) return;
        ioctl(m_fd, UI_DEV_DESTROY);
        close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    void send(std::uint16_t type, std::uint16_t code, std::int32_t value) {
        input_event e{};
        e.type = type;
        e.code = code;
        e.value = value;
        ASSERT_EQ(write(m_fd, &e, sizeof e), static_cast<ssize_t>(sizeof e));
        input_event sync{};
        sync.type = EV_SYN;
        sync.code = SYN_REPORT;
        ASSERT_EQ(write(m_fd, &sync, sizeof sync), static_cast<ssize_t>(sizeof sync));
    }

private:
    int m_fd = -1;
};

TEST(LibinputInput, VirtualDeviceMovesClicksAndTypes) {
    if (!std::filesystem::exists("/dev/uinput")) GTEST_SKIP() << "no /dev/uinput on this machine";
    test::QtApp();
    UinputDevice device;
    if (!device.ok()) GTEST_SKIP() << "/dev/uinput cannot make a device here";
    LibinputInput input;
    std::vector<MouseButton> buttons;
    std::vector<int> keys;
    ASSERT_TRUE(input.installMouseHook([&](MouseButton b) { buttons.push_back(b); }));
    ASSERT_TRUE(input.connectKeys([&](int vk) { keys.push_back(vk); }));
    if (!test::PumpUntil([&] { return input.devicesReadable(); }, std::chrono::seconds(5)))
        GTEST_SKIP() << "the udev seat does not offer the virtual device (no udev daemon?)";
    for (int i = 0; i < 100; ++i) device.send(EV_REL, REL_X, 3);
    device.send(EV_KEY, BTN_LEFT, 1);
    device.send(EV_KEY, BTN_LEFT, 0);
    device.send(EV_KEY, KEY_A, 1);
    device.send(EV_KEY, KEY_A, 0);
    double travel = 0;
    ASSERT_TRUE(test::PumpUntil([&] {
        if (auto reading = input.take()) travel += reading->travel;
        return keys.size() == 1;
    }));
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Left}));
    EXPECT_EQ(keys, (std::vector<int>{'A'}));
    // Accelerated: not exactly 300, but the same order.
    EXPECT_GT(travel, 100);
}

}  // namespace
}  // namespace pt
