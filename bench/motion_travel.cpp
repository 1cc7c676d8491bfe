// Pointer travel on paths driven through XTEST, counted at once by the program's pointer
// source (motion events where the server has RECORD), by the former 1 kHz position
// sampler, and by a bare RECORD listener (the limit). Each figure is printed beside the
// listener's and as a ratio to the true length of the driven path.
// Prints "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" lines.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RecordListener.h"
#include "core/stats/Chord.h"
#include "platform/linux/CreateX11CursorSource.h"
#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11MotionCursorSource.h"

#include <X11/extensions/XTest.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr double kPi = 3.14159265358979323846;

void Result(const std::string& figure, double value, const char* unit, const char* budget = "",
            int verdict = -1) {
    std::printf("RESULT\t%s\t%.5g\t%s\t%s\t%s\n", figure.c_str(), value, unit, budget,
                verdict < 0 ? "-"
                : verdict   ? "ok"
                            : "MISSED");
    std::fflush(stdout);
}

// What a source handed over so far, summed as the sampling tick sums it.
struct Totals {
    double travel = 0;
    int x = -1, y = -1;
    void drain(pt::CursorSource& source) {
        while (auto r = source.take()) {
            travel += r->travel;
            x = r->x;
            y = r->y;
        }
    }
};

struct Point {
    int x, y;
};

// Positions at a given rate for a given time; f(t) gives the position at t seconds.
std::vector<Point> Positions(double seconds, int perSecond, const std::function<Point(double)>& f) {
    std::vector<Point> out;
    const int n = static_cast<int>(seconds * perSecond);
    for (int i = 0; i <= n; ++i) out.push_back(f(static_cast<double>(i) / perSecond));
    return out;
}

// A zig-zag `width` px wide at `hz` turns and back per second, drifting down 20 px/s.
std::function<Point(double)> ZigZag(int width, double hz) {
    return [=](double t) {
        const double phase = std::fmod(t * hz, 1.0);
        const double tri = phase < 0.5 ? phase * 2 : 2 - phase * 2;
        return Point{500 + static_cast<int>(std::lround(tri * width)),
                     300 + static_cast<int>(std::lround(t * 20))};
    };
}

Point Circle(double t) {
    return {640 + static_cast<int>(std::lround(200 * std::cos(2 * kPi * t))),
            512 + static_cast<int>(std::lround(200 * std::sin(2 * kPi * t)))};
}

void Run(Display* d, const std::string& name, const std::vector<Point>& path, int perSecond) {
    bench::RecordListener listener;
    pt::X11MotionCursorSource motion;
    pt::X11CursorSource sampler;
    if (!listener.ok() || !motion.available()) {
        std::printf("%s: the X server has no RECORD extension\n", name.c_str());
        return;
    }
    XTestFakeMotionEvent(d, -1, path[0].x, path[0].y, CurrentTime);
    XSync(d, False);
    Totals m, s;
    const auto settle = [&](Point at) {
        const auto end = Clock::now() + 10s;
        long events = -1;
        while (Clock::now() < end) {
            m.drain(motion);
            s.drain(sampler);
            const long now = listener.events();
            if (m.x == at.x && m.y == at.y && s.x == at.x && s.y == at.y && now == events) return;
            events = now;
            std::this_thread::sleep_for(50ms);
        }
        std::printf("%s: sources did not settle at (%d, %d)\n", name.c_str(), at.x, at.y);
    };
    settle(path[0]);
    const double l0 = listener.travel(), m0 = m.travel, s0 = s.travel;

    double truth = 0;
    const int perMs = std::max(1, perSecond / 1000);
    auto next = Clock::now();
    for (size_t i = 1; i < path.size(); ++i) {
        truth += pt::ChordLength(path[i - 1].x, path[i - 1].y, path[i].x, path[i].y);
        XTestFakeMotionEvent(d, -1, path[i].x, path[i].y, CurrentTime);
        if (i % perMs == 0) {
            XFlush(d);
            next += 1ms;
            std::this_thread::sleep_until(next);
        }
    }
    XSync(d, False);
    settle(path.back());
    const double listened = listener.travel() - l0;
    const double counted = m.travel - m0;
    const double sampled = s.travel - s0;
    Result(name + ": true length", truth, "px");
    Result(name + ": RECORD listener / true", listened / truth, "");
    Result(name + ": program (motion events) / true", counted / truth, "", ">= 0.995",
           counted / truth >= 0.995);
    Result(name + ": program / RECORD listener", counted / listened, "");
    Result(name + ": former 1 kHz sampler / true", sampled / truth, "");
}

}  // namespace

int main() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "needs an X server\n");
        return 2;
    }
    {
        auto chosen = pt::CreateX11CursorSource();
        std::printf("the program's pointer source here: %s\n",
                    dynamic_cast<pt::X11MotionCursorSource*>(chosen.get())
                        ? "motion events (RECORD)"
                        : "1 kHz sampler");
    }
    Run(d, "zig-zag 30 px at 20 Hz, 1000 events/s", Positions(3, 1000, ZigZag(30, 20)), 1000);
    Run(d, "zig-zag 30 px at 20 Hz, 4000 events/s", Positions(3, 4000, ZigZag(30, 20)), 4000);
    Run(d, "circle r=200, 1 turn/s, 1000 events/s", Positions(3, 1000, Circle), 1000);
    XCloseDisplay(d);
    return 0;
}
