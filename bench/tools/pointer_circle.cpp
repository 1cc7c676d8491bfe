// Drives the pointer around a circle through XTest for a benchmark that cannot link Xlib
// itself (a Windows program under Wine): radius 200 px about the screen's middle, one turn
// a second, `rate` positions a second on a grid of absolute deadlines. Prints the true
// length of the path it drew (chords between the whole-pixel positions sent), in pixels.
//   usage: pointer_circle SECONDS [RATE]

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pointer_circle SECONDS [RATE]\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const int rate = argc > 2 ? std::atoi(argv[2]) : 1000;
    Display* d = XOpenDisplay(nullptr);
    if (!d || rate <= 0) {
        std::fprintf(stderr, "pointer_circle: no X display or bad rate\n");
        return 2;
    }
    const double pi = std::acos(-1.0);
    const int cx = DisplayWidth(d, DefaultScreen(d)) / 2;
    const int cy = DisplayHeight(d, DefaultScreen(d)) / 2;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto step = std::chrono::nanoseconds(1'000'000'000 / rate);
    auto next = start;
    double length = 0;
    bool first = true;
    int lastX = 0, lastY = 0;
    for (;;) {
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        if (t > seconds) break;
        const int x = cx + static_cast<int>(std::lround(200 * std::cos(2 * pi * t)));
        const int y = cy + static_cast<int>(std::lround(200 * std::sin(2 * pi * t)));
        if (!first) length += std::hypot(x - lastX, y - lastY);
        first = false;
        lastX = x;
        lastY = y;
        XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
        XFlush(d);
        next += step;
        std::this_thread::sleep_until(next);
    }
    XSync(d, False);
    XCloseDisplay(d);
    std::printf("%.1f\n", length);
    return 0;
}
