// The X server the program runs on goes away: what was counted since the last periodic
// save is saved all the same before the process ends, and the log says so.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FaultSandbox.h"

namespace pt::test {
namespace {

// An X server of the test's own, so that it can be killed without taking the test's away.
class OwnXServer {
public:
    OwnXServer() {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(pipeFds[0]);
            ::dup2(pipeFds[1], 3);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten",
                     "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        std::string number;
        pollfd p{pipeFds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 20000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(pipeFds[0]);
        if (!number.empty()) display = ":" + number;
    }
    ~OwnXServer() { kill(); }
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;

    void kill() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    std::string display;

private:
    pid_t m_pid = -1;
};

TEST(DisplayLoss, WhatWasCountedIsSavedWhenTheServerDies) {
    Sandbox sb;
    OwnXServer server;
    ASSERT_FALSE(server.display.empty()) << "no Xvfb";
    auto env = sb.environment();
    env["DISPLAY"] = server.display;
    env["QT_QPA_PLATFORM"] = "xcb";
    env["PATHTALLY_TEST_SECOND_MS"] = "500";  // a periodic save every five seconds
    ProgramProcess run(sb.work, sb.log, env);

    const auto first = sb.waitForSave(run, 0, 60s);
    ASSERT_TRUE(first) << run.output();
    const auto firstSeen = std::chrono::steady_clock::now();

    constexpr int Clicks = 25;
    Display* d = XOpenDisplay(server.display.c_str());
    ASSERT_NE(d, nullptr);
    XTestFakeMotionEvent(d, -1, 1200, 1000, CurrentTime);
    for (int i = 0; i < Clicks; ++i) {
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
    }
    XSync(d, False);
    XCloseDisplay(d);

    // Some ticks counted after the first save, well before the next one.
    std::this_thread::sleep_until(firstSeen + 2s);
    server.kill();
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (run.running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(50ms);
    ASSERT_FALSE(run.running()) << "the program outlived its display";

    const auto saved = sb.storeTotals();
    ASSERT_TRUE(saved);
    EXPECT_GT(saved->useTime, first->useTime) << run.output();
    EXPECT_LT(saved->useTime, first->useTime + 10) << "a periodic save came first";
    EXPECT_GE(saved->clicks, first->clicks + Clicks);
    const auto file = sb.fileTotals();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->useTime, saved->useTime);
    EXPECT_EQ(file->clicks, saved->clicks);
    EXPECT_NE(run.output().find("totals saved"), std::string::npos) << run.output();
}

}  // namespace
}  // namespace pt::test
