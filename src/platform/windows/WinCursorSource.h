#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "core/ports/CursorSource.h"
#include "platform/common/CursorHandOver.h"

namespace pt {

// The pointer's position and travel, read with GetCursorPos on a thread of its own at
// about 1 kHz. Each wait is for the next deadline of a fixed grid measured on the
// performance counter (late reads do not push later ones back), on a high-resolution
// waitable timer where the system has one, else a plain waitable timer with a 1 ms
// system timer resolution. After restingReads unchanged reads the thread backs off to
// idlePeriod and returns to the full rate at the first change. Distances are summed as
// chords between consecutive reads, starting from (0, 0), and handed to take() through
// atomics, without a lock.
class WinCursorSource : public CursorSource {
public:
    struct Options {
        std::chrono::microseconds period{1000};
        std::chrono::microseconds idlePeriod{20000};
        int restingReads = 100;
    };

    WinCursorSource();
    explicit WinCursorSource(Options options);
    ~WinCursorSource() override;
    WinCursorSource(const WinCursorSource&) = delete;
    WinCursorSource& operator=(const WinCursorSource&) = delete;

    std::optional<CursorReading> take() override { return m_handOver.take(); }

    bool running() const { return m_running.load(std::memory_order_acquire); }
    bool highResolutionTimer() const { return m_highResolution.load(std::memory_order_relaxed); }
    std::uint64_t samplesTaken() const { return m_samplesTaken.load(std::memory_order_relaxed); }
    std::uint64_t missedDeadlines() const { return m_missed.load(std::memory_order_relaxed); }
    bool resting() const { return m_resting.load(std::memory_order_relaxed); }

private:
    void run();

    Options m_options;
    void* m_stopEvent = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_highResolution{false};

    CursorHandOver m_handOver;

    std::atomic<std::uint64_t> m_samplesTaken{0};
    std::atomic<std::uint64_t> m_missed{0};
    std::atomic<bool> m_resting{false};
};

}  // namespace pt
