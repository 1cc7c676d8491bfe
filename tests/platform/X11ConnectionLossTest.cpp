#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "XTestHelpers.h"
#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11InputEvents.h"

namespace pt {
namespace {

using namespace std::chrono_literals;

// An X server of the test's own, so it can be taken away mid-test.
class PrivateXServer {
public:
    PrivateXServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            if (!freopen("/dev/null", "w", stderr)) _exit(126);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number and a line feed once it listens.
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return;
        const std::string name = ":" + number;
        // Ready once it accepts a connection.
        for (int i = 0; i < 100; ++i) {
            if (Display* d = XOpenDisplay(name.c_str())) {
                XCloseDisplay(d);
                m_display = name;
                return;
            }
            std::this_thread::sleep_for(50ms);
        }
    }
    ~PrivateXServer() { stop(); }
    const std::string& display() const { return m_display; }
    void stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

TEST(X11ConnectionLoss, ALostServerStopsTheSourcesWithoutEndingTheProcess) {
    test::QtApp();
    PrivateXServer server;
    ASSERT_FALSE(server.display().empty());

    X11CursorSource::Options options;
    options.displayName = server.display();
    X11CursorSource cursor(options);
    ASSERT_TRUE(cursor.running());
    X11InputEvents input(server.display());
    ASSERT_TRUE(input.installMouseHook([](int) {}));
    ASSERT_TRUE(input.connectKeys([](int) {}));

    server.stop();
    // Still here: the sampler thread stops, the event source reports the loss.
    EXPECT_TRUE(test::PumpUntil([&] { return !cursor.running() && !input.error().empty(); }, 5s));
    while (cursor.take()) {
    }
    EXPECT_FALSE(cursor.take().has_value());
    input.removeMouseHook();
    input.disconnectKeys();
    EXPECT_FALSE(input.installMouseHook([](int) {}));  // no server to reconnect to
}

}  // namespace
}  // namespace pt
