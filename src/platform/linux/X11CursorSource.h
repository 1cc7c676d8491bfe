#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "core/ports/CursorSource.h"
#include "platform/common/CursorHandOver.h"

namespace pt {

// The pointer's position and travel, sampled on a thread of its own with its own X
// connection on absolute 1 ms deadlines (a 1 ms timer of the UI thread falls well short
// of 1000 reads a second). Each read is a round trip to the X server, so while the
// pointer rests the sampler backs off to about 20 reads a second and wakes at once on
// raw pointer motion; the slow reads stay because warps and absolute moves of synthetic
// input produce no raw motion. Distances are summed as chords between consecutive
// reads, starting from (0, 0), and handed to take() through atomics, without a lock.
class X11CursorSource : public CursorSource {
public:
    struct Options {
        std::string displayName;  // empty: $DISPLAY
        std::chrono::microseconds period{1000};
        std::chrono::microseconds idlePeriod{50000};
        // Unchanged reads in a row after which the sampler backs off.
        int restingReads = 100;
    };

    X11CursorSource();
    explicit X11CursorSource(Options options);
    ~X11CursorSource() override;
    X11CursorSource(const X11CursorSource&) = delete;
    X11CursorSource& operator=(const X11CursorSource&) = delete;

    // Called on the UI thread: what the sampler saw since the last call.
    std::optional<CursorReading> take() override { return m_handOver.take(); }

    // False when the X display could not be opened (take() then stays empty).
    bool running() const { return m_running.load(std::memory_order_acquire); }

    // For benchmarks and tests.
    std::uint64_t samplesTaken() const { return m_samplesTaken.load(std::memory_order_relaxed); }
    // Successful reads per second over the last full second (about 1000 while the pointer
    // moves, about 20 at rest).
    double samplesPerSecond() const { return m_rate.load(std::memory_order_relaxed); }
    std::uint64_t failedReads() const { return m_failedReads.load(std::memory_order_relaxed); }
    std::uint64_t missedDeadlines() const { return m_missed.load(std::memory_order_relaxed); }
    bool resting() const { return m_resting.load(std::memory_order_relaxed); }
    // CPU time the sampler thread has used.
    std::chrono::nanoseconds samplerCpuTime() const;

private:
    void run();
    void stop();

    Options m_options;
    std::thread m_thread;
    int m_wakeFd = -1;  // eventfd: wakes the sampler for shutdown
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_started{false};

    // Handed from the sampler to take(): the last position packed as (x << 32 | y), the
    // travel and the reads not yet taken.
    CursorHandOver m_handOver;

    std::atomic<std::uint64_t> m_samplesTaken{0};
    std::atomic<double> m_rate{0};
    std::atomic<std::uint64_t> m_failedReads{0};
    std::atomic<std::uint64_t> m_missed{0};
    std::atomic<bool> m_resting{false};
};

}  // namespace pt
