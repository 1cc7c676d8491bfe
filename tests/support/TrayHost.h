#pragma once

// A system tray (trayer) on the test's X server for as long as the object lives.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <X11/Xlib.h>

namespace pt::test {

class TrayHost {
public:
    TrayHost() {
        if (std::system("command -v trayer >/dev/null") != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            execlp("trayer", "trayer", "--edge", "bottom", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Ready once it owns the tray selection of the screen.
        Display* display = XOpenDisplay(nullptr);
        if (!display) return;
        const Atom tray = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (XGetSelectionOwner(display, tray) == 0L && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        m_ready = XGetSelectionOwner(display, tray) != 0L;
        XCloseDisplay(display);
    }
    ~TrayHost() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    bool ready() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};

// Asks a top-level window to close, as a window manager's close box does
// (WM_DELETE_WINDOW). `window` is an X window id as xdotool prints it.
inline bool RequestClose(const std::string& window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display || window.empty()) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(window.c_str(), nullptr, 10);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XSync(display, False);
    XCloseDisplay(display);
    return sent;
}

}  // namespace pt::test
