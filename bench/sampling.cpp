// Pointer sampling and input handling under a real X server, driven through XTEST.
// Prints one "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" line per figure
// (bench/run_all.sh gathers them into its table) and commentary on other lines.

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

#include "core/form/FormModel.h"
#include "core/input/ClickHook.h"
#include "core/input/KeyCounter.h"
#include "core/stats/Chord.h"
#include "core/stats/StatisticsModel.h"
#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11InputEvents.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr double kPi = 3.14159265358979323846;

void Result(const char* figure, double value, const char* unit, const char* budget = "",
            int verdict = -1) {
    std::printf("RESULT\t%s\t%.6g\t%s\t%s\t%s\n", figure, value, unit, budget,
                verdict < 0 ? "-"
                : verdict   ? "ok"
                            : "MISSED");
    std::fflush(stdout);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double CpuSeconds(const pt::X11CursorSource& s) {
    return std::chrono::duration<double>(s.samplerCpuTime()).count();
}

// Drains a source into running totals, as the sampling tick does.
struct Taken {
    double travel = 0;
    std::uint64_t samples = 0;
    void take(pt::X11CursorSource& s) {
        while (auto r = s.take()) {
            travel += r->travel;
            samples += r->samples;
        }
    }
};

// Moves the pointer through absolute positions from time t = 0 (seconds), every step.
struct PathRun {
    double driven = 0;  // length of the path of the positions actually set
    double seconds = 0;
    std::uint64_t positions = 0;
};

template <typename Path>
PathRun Drive(Display* d, Path path, double seconds, std::chrono::microseconds step) {
    PathRun run;
    const auto start = Clock::now();
    auto next = start;
    int px = 0, py = 0;
    bool first = true;
    for (;;) {
        const double t = Seconds(Clock::now() - start);
        if (t > seconds) break;
        int x = 0, y = 0;
        path(t, x, y);
        if (first || x != px || y != py) {
            XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
            XFlush(d);
            if (!first) run.driven += pt::ChordLength(px, py, x, y);
            px = x;
            py = y;
            first = false;
            ++run.positions;
        }
        next += step;
        std::this_thread::sleep_until(next);
    }
    XSync(d, False);
    run.seconds = Seconds(Clock::now() - start);
    return run;
}

void Sampling(Display* d) {
    const int cx = DisplayWidth(d, DefaultScreen(d)) / 2;
    const int cy = DisplayHeight(d, DefaultScreen(d)) / 2;
    pt::X11CursorSource source;
    if (!source.running()) {
        std::printf("no X display for the sampler\n");
        return;
    }
    Taken taken;

    // At rest.
    XTestFakeMotionEvent(d, -1, cx, cy, CurrentTime);
    XSync(d, False);
    while (!source.resting()) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(200ms);
    {
        const double cpu0 = CpuSeconds(source);
        const auto n0 = source.samplesTaken();
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(5s);
        const double wall = Seconds(Clock::now() - t0);
        const double cpu = (CpuSeconds(source) - cpu0) / wall * 100;
        Result("sampler CPU, pointer resting", cpu, "% of a core", "< 0.5", cpu < 0.5);
        Result("reads per second, pointer resting",
               static_cast<double>(source.samplesTaken() - n0) / wall, "1/s");
    }

    // A circle of radius 200 px at one turn per second, a position set every millisecond
    // (a 1000 Hz mouse).
    constexpr double r = 200, turns = 3;
    auto circle = [&](double t, int& x, int& y) {
        x = cx + static_cast<int>(std::lround(r * std::cos(2 * kPi * t)));
        y = cy + static_cast<int>(std::lround(r * std::sin(2 * kPi * t)));
    };
    XTestFakeMotionEvent(d, -1, cx + static_cast<int>(r), cy, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(60ms);  // the sampler is awake and has seen the start
    taken.take(source);
    {
        const double cpu0 = CpuSeconds(source);
        const auto n0 = source.samplesTaken();
        const PathRun run = Drive(d, circle, turns, 1000us);
        const auto n1 = source.samplesTaken();
        const double cpu = (CpuSeconds(source) - cpu0) / run.seconds * 100;
        std::this_thread::sleep_for(20ms);
        const double before = taken.travel;
        taken.take(source);
        const double measured = taken.travel - before;
        const double ideal = 2 * kPi * r * turns;
        const double rate = static_cast<double>(n1 - n0) / run.seconds;
        Result("samples per second, pointer moving", rate, "1/s", ">= 950", rate >= 950);
        Result("circle: measured / true length", measured / ideal * 100, "%", ">= 99",
               measured / ideal >= 0.99);
        Result("circle: measured / driven pixel path", measured / run.driven * 100, "%");
        Result("sampler CPU, pointer moving", cpu, "% of a core", "< 5", cpu < 5);
        std::printf(
            "circle: %.0f px true, %.0f px through %llu driven pixel positions, "
            "%.0f px measured, %llu missed deadlines so far\n",
            ideal, run.driven, static_cast<unsigned long long>(run.positions), measured,
            static_cast<unsigned long long>(source.missedDeadlines()));
    }

    // A fast zig-zag: 600 px left and right five times a second, drifting down.
    auto zigzag = [&](double t, int& x, int& y) {
        const double phase = std::fmod(t * 5, 1.0);
        const double tri = phase < 0.5 ? phase * 2 : 2 - phase * 2;
        x = cx - 300 + static_cast<int>(std::lround(600 * tri));
        y = cy - 200 + static_cast<int>(std::lround(100 * t));
    };
    XTestFakeMotionEvent(d, -1, cx - 300, cy - 200, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(60ms);
    taken.take(source);
    {
        const auto n0 = source.samplesTaken();
        const PathRun run = Drive(d, zigzag, 2, 1000us);
        const auto n1 = source.samplesTaken();
        std::this_thread::sleep_for(20ms);
        const double before = taken.travel;
        taken.take(source);
        const double measured = taken.travel - before;
        Result("zig-zag: samples per second", static_cast<double>(n1 - n0) / run.seconds, "1/s",
               ">= 950", static_cast<double>(n1 - n0) / run.seconds >= 950);
        Result("zig-zag (6,000 px/s): measured / driven path", measured / run.driven * 100, "%");
    }
}

// Runs the Qt event loop until done() or the time limit.
void RunLoopUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    QTimer poll;
    const auto end = Clock::now() + limit;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || Clock::now() > end) QCoreApplication::quit();
    });
    poll.start(5);
    QCoreApplication::exec();
}

void InputBurst(Display*) {
    constexpr int kBurst = 10000;
    pt::StatisticsModel stats;
    pt::FormModel form;
    pt::X11InputEvents source;
    pt::ClickHook hook(stats, source);
    pt::KeyCounter keys(stats, form, pt::Language::Simplified);
    hook.install();
    keys.connect(source);
    if (!hook.installed()) {
        std::printf("no X input source: %s\n", source.error().c_str());
        return;
    }

    auto burst = [&](const char* what, auto send, auto counted) {
        const auto handled0 = source.eventsHandled();
        const double cpu0 = ThreadCpuSeconds();
        const auto t0 = Clock::now();
        std::thread sender([&] {
            Display* d = XOpenDisplay(nullptr);
            for (int i = 0; i < kBurst; ++i) {
                send(d);
                if (i % 500 == 0) XFlush(d);
            }
            XSync(d, False);
            XCloseDisplay(d);
        });
        RunLoopUntil([&] { return counted() >= kBurst; }, 60s);
        sender.join();
        RunLoopUntil([] { return false; }, 0s);
        const double wall = Seconds(Clock::now() - t0);
        const double cpu = ThreadCpuSeconds() - cpu0;
        const auto events = source.eventsHandled() - handled0;
        std::string name = std::string(what) + ": counted of 10,000 sent";
        Result(name.c_str(), counted(), "", "= 10000", counted() == kBurst);
        name = std::string(what) + ": UI-thread cost per event";
        Result(name.c_str(), cpu / static_cast<double>(events) * 1e6, "us");
        name = std::string(what) + ": UI-thread CPU during the burst";
        Result(name.c_str(), cpu / wall * 100, "% of a core");
    };
    burst(
        "clicks",
        [](Display* d) {
            XTestFakeButtonEvent(d, 1, True, CurrentTime);
            XTestFakeButtonEvent(d, 1, False, CurrentTime);
        },
        [&] { return static_cast<double>(stats.totals().clicks.left); });
    burst(
        "keys",
        [](Display* d) {
            const KeyCode a = XKeysymToKeycode(d, XK_a);
            XTestFakeKeyEvent(d, a, True, CurrentTime);
            XTestFakeKeyEvent(d, a, False, CurrentTime);
        },
        [&] { return stats.totals().keys.toDouble(); });

    // The counting steps alone, without the X server.
    constexpr int kCalls = 5'000'000;
    pt::StatisticsModel counters;
    pt::X11InputEvents unused(":none");  // never opened: the procedure is called directly
    pt::ClickHook core(counters, unused);
    auto t0 = Clock::now();
    for (int i = 0; i < kCalls; ++i)
        core.countButton(i % 4 == 0 ? pt::MouseButton::Right : pt::MouseButton::Left);
    Result("click hook procedure alone", Seconds(Clock::now() - t0) / kCalls * 1e9, "ns");
    pt::StatisticsModel s2;
    pt::FormModel f2;
    pt::KeyCounter k2(s2, f2, pt::Language::Simplified);
    constexpr int kKeys = 1'000'000;
    t0 = Clock::now();
    for (int i = 0; i < kKeys; ++i) k2.countKey(65);
    Result("key handler alone (counted key)", Seconds(Clock::now() - t0) / kKeys * 1e9, "ns");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::printf("sampling: no X display (run under bench/run_all.sh)\n");
        return 1;
    }
    Sampling(d);
    InputBurst(d);
    XCloseDisplay(d);
    return 0;
}
