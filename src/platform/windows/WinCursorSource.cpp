#include "platform/windows/WinCursorSource.h"

#include "platform/windows/Win32.h"

#include <mmsystem.h>

#include <algorithm>

#include "core/stats/Chord.h"
#include "platform/windows/WinThreadName.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace pt {
namespace {

std::int64_t CounterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::int64_t CounterFrequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
}

}  // namespace

WinCursorSource::WinCursorSource() : WinCursorSource(Options{}) {}

WinCursorSource::WinCursorSource(Options options) : m_options(options) {
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_stopEvent)
        m_thread = std::thread([this] {
            NameThisThread(L"pt-cursor-poll");
            run();
        });
}

WinCursorSource::~WinCursorSource() {
    if (m_stopEvent) SetEvent(m_stopEvent);
    if (m_thread.joinable()) m_thread.join();
    if (m_stopEvent) CloseHandle(m_stopEvent);
}

void WinCursorSource::run() {
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
    const bool highResolution = timer != nullptr;
    if (!timer) timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    if (!timer) return;
    if (!highResolution) timeBeginPeriod(1);
    m_highResolution.store(highResolution, std::memory_order_relaxed);
    m_running.store(true, std::memory_order_release);

    const std::int64_t frequency = CounterFrequency();
    auto ticks = [frequency](std::chrono::microseconds d) {
        return d.count() * frequency / 1000000;
    };
    const std::int64_t period = ticks(m_options.period);
    const std::int64_t idlePeriod = ticks(m_options.idlePeriod);
    std::int32_t x0 = 0, y0 = 0;  // the first read measures from the screen's top-left corner
    int unchanged = 0;
    bool resting = false;
    std::int64_t deadline = CounterNow();
    // How late the timer wakes the thread, learnt as it runs (a moving average): each wait
    // is set that much early so that reads land on the grid. Under Wine a 1 ms wait takes
    // some 1.7 ms, which alone would halve the reads.
    std::int64_t wakeDelay = 0;
    const HANDLE waits[2] = {m_stopEvent, timer};

    for (;;) {
        POINT p;
        if (GetCursorPos(&p)) {
            const double d = ChordLength(x0, y0, p.x, p.y);
            x0 = p.x;
            y0 = p.y;
            m_handOver.record(p.x, p.y, d);
            m_samplesTaken.fetch_add(1, std::memory_order_relaxed);
            unchanged = d > 0 ? 0 : unchanged + 1;
        }
        const bool rest = unchanged >= m_options.restingReads;
        if (rest != resting) {
            resting = rest;
            m_resting.store(rest, std::memory_order_relaxed);
        }

        // The next deadline on the grid; a read that came late skips the deadlines it
        // missed instead of hurrying to catch up.
        const std::int64_t step = resting ? idlePeriod : period;
        deadline += step;
        const std::int64_t now = CounterNow();
        if (deadline <= now) {
            m_missed.fetch_add(static_cast<std::uint64_t>((now - deadline) / step + 1),
                               std::memory_order_relaxed);
            deadline = now + step - (now - deadline) % step;
        }
        const std::int64_t wait = std::max<std::int64_t>(0, deadline - now - wakeDelay);
        LARGE_INTEGER due;  // negative: relative, in 100 ns units
        due.QuadPart = -std::max<std::int64_t>(1, wait * 10000000 / frequency);
        if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) break;
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
        const std::int64_t late = CounterNow() - (now + wait);
        wakeDelay =
            std::clamp<std::int64_t>(wakeDelay + (late - wakeDelay) / 8, 0, period * 9 / 10);
    }
    if (!highResolution) timeEndPeriod(1);
    CloseHandle(timer);
    m_running.store(false, std::memory_order_release);
}

}  // namespace pt
