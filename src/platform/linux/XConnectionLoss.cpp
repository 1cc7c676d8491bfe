#include "platform/linux/XConnectionLoss.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include <X11/Xlib.h>

namespace pt {
namespace {

std::mutex g_mutex;
std::vector<Display*> g_watched;
XIOErrorHandler g_previous = nullptr;
bool g_installed = false;

int OnIoError(Display* display) {
    XIOErrorHandler previous = nullptr;
    {
        std::lock_guard lock(g_mutex);
        if (std::find(g_watched.begin(), g_watched.end(), display) != g_watched.end())
            return 0;  // Xlib goes on to the display's exit handler, which returns
        previous = g_previous;
    }
    return previous ? previous(display) : 0;
}

void OnExit(Display*, void* lost) {
    static_cast<std::atomic<bool>*>(lost)->store(true, std::memory_order_release);
}

}  // namespace

void WatchConnectionLoss(Display* display, std::atomic<bool>* lost) {
    {
        std::lock_guard lock(g_mutex);
        g_watched.push_back(display);
        if (!g_installed) {
            g_installed = true;
            g_previous = XSetIOErrorHandler(OnIoError);
        }
    }
    XSetIOErrorExitHandler(display, OnExit, lost);
}

void ForgetConnectionLoss(Display* display) {
    std::lock_guard lock(g_mutex);
    g_watched.erase(std::remove(g_watched.begin(), g_watched.end(), display), g_watched.end());
}

}  // namespace pt
