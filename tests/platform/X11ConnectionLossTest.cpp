#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "XTestHelpers.h"
#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11InputEvents.h"
#include "platform/linux/X11MotionCursorSource.h"

namespace pt {
namespace {

using namespace std::chrono_literals;

using test::PrivateXServer;

TEST(X11ConnectionLoss, ALostServerStopsTheSourcesWithoutEndingTheProcess) {
    test::QtApp();
    PrivateXServer server;
    ASSERT_FALSE(server.display().empty());

    X11CursorSource::Options options;
    options.displayName = server.display();
    X11CursorSource cursor(options);
    ASSERT_TRUE(cursor.running());
    X11InputEvents input(server.display());
    ASSERT_TRUE(input.installMouseHook([](MouseButton) {}));
    ASSERT_TRUE(input.connectKeys([](int) {}));

    server.stop();
    // Still here: the sampler thread stops, the event source reports the loss.
    EXPECT_TRUE(test::PumpUntil([&] { return !cursor.running() && !input.error().empty(); }, 5s));
    while (cursor.take()) {
    }
    EXPECT_FALSE(cursor.take().has_value());
    input.removeMouseHook();
    input.disconnectKeys();
    EXPECT_FALSE(input.installMouseHook([](MouseButton) {}));  // no server to reconnect to
}

// CPU time of the whole process so far.
std::chrono::nanoseconds ProcessCpuTime() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return std::chrono::seconds{ts.tv_sec} + std::chrono::nanoseconds{ts.tv_nsec};
}

TEST(X11ConnectionLoss, ALostServerStopsTheMotionRecorderWithoutSpinning) {
    PrivateXServer server;
    ASSERT_FALSE(server.display().empty());
    X11MotionCursorSource::Options options;
    options.displayName = server.display();
    auto source = std::make_unique<X11MotionCursorSource>(options);
    ASSERT_TRUE(source->available());
    ASSERT_TRUE(source->running());

    server.stop();
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (source->running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);
    ASSERT_FALSE(source->running());
    // Stopped, not spinning on the dead socket: the process stays nearly idle.
    const auto cpuBefore = ProcessCpuTime();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 100ms);
    while (source->take()) {
    }
    EXPECT_FALSE(source->take().has_value());
    source.reset();  // joins at once
}

}  // namespace
}  // namespace pt
