#pragma once

// Synthetic input for the X11 backend tests: a connection of the test's own that drives
// the pointer and keyboard through the XTEST extension, and a Qt event loop to pump.

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/ports/CursorSource.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace pt::test {

// The Qt application the backends' socket notifiers need (one per test binary).
inline QCoreApplication& QtApp() {
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    QtApp();
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Runs the event loop for a while (lets stragglers arrive before counting).
inline void PumpFor(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

// Everything a cursor source hands over, summed as the sampling tick sums it.
struct Taken {
    int x = -1, y = -1;
    double travel = 0;
    std::uint64_t samples = 0;
    void add(const CursorReading& r) {
        x = r.x;
        y = r.y;
        travel += r.travel;
        samples += r.samples;
    }
};

// Takes readings until the source reports the position (or the time is up).
inline bool TakeUntilAt(CursorSource& source, Taken& taken, int x, int y,
                        std::chrono::milliseconds limit = std::chrono::seconds(3)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (auto r = source.take()) taken.add(*r);
        if (taken.x == x && taken.y == y) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

class XTestDriver {
public:
    explicit XTestDriver(const char* displayName = nullptr)
        : m_display(XOpenDisplay(displayName)) {}
    ~XTestDriver() {
        if (m_display) XCloseDisplay(m_display);
    }
    XTestDriver(const XTestDriver&) = delete;
    XTestDriver& operator=(const XTestDriver&) = delete;

    bool ok() const { return m_display != nullptr; }
    Display* display() const { return m_display; }

    void click(unsigned button, bool sync = true) {
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
        if (sync) XSync(m_display, False);
    }
    void keyDown(KeySym sym) { key(sym, true); }
    void keyUp(KeySym sym) { key(sym, false); }
    void tap(KeySym sym, bool sync = true) {
        key(sym, true, false);
        key(sym, false, sync);
    }
    void tapCode(KeyCode code) {
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        XSync(m_display, False);
    }
    // Absolute move (no raw motion is generated for it by some servers).
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
        XSync(m_display, False);
    }
    // Relative move, as a real mouse makes it.
    void moveBy(int dx, int dy) {
        XTestFakeRelativeMotionEvent(m_display, dx, dy, CurrentTime);
        XSync(m_display, False);
    }
    void pointer(int& x, int& y) {
        Window root = 0, child = 0;
        int wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &x, &y, &wx, &wy,
                      &mask);
    }
    void sync() { XSync(m_display, False); }

private:
    void key(KeySym sym, bool down, bool sync = true) {
        const KeyCode code = XKeysymToKeycode(m_display, sym);
        XTestFakeKeyEvent(m_display, code, down ? True : False, CurrentTime);
        if (sync) XSync(m_display, False);
    }

    Display* m_display;
};

// An X server of the test's own, so it can be taken away mid-test or started without
// some extension ("-extension", "RECORD").
class PrivateXServer {
public:
    explicit PrivateXServer(std::initializer_list<const char*> extraArgs = {}) {
        int fds[2];
        if (pipe(fds) != 0) return;
        std::vector<std::string> args = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                         "-nolisten", "tcp",        "-noreset"};
        for (const char* a : extraArgs) args.emplace_back(a);
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            if (!freopen("/dev/null", "w", stderr)) _exit(126);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execvp("Xvfb", argv.data());
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
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~PrivateXServer() { stop(); }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;
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

}  // namespace pt::test
