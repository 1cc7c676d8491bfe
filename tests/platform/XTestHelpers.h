#pragma once

// Synthetic input for the X11 backend tests: a connection of the test's own that drives
// the pointer and keyboard through the XTEST extension, and a Qt event loop to pump.

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <functional>
#include <thread>

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

class XTestDriver {
public:
    XTestDriver() : m_display(XOpenDisplay(nullptr)) {}
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

}  // namespace pt::test
