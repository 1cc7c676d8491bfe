#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "core/ports/CursorSource.h"
#include "platform/common/CursorHandOver.h"

namespace pt {

// The pointer's travel from the motion events themselves: every MotionNotify the X server
// generates for a pointer device is recorded through the RECORD extension, and the chords
// between the root positions they carry are summed. This is the path the pointer took, at
// any speed and any device rate, with no wake-up per sample: a thread of its own sleeps on
// the recording connection until the server sends events.
//
// A warp (a program moving the pointer) makes no device event; the requests that warp it
// are recorded as well, and the position is read after each, as the polling sampler would
// have seen it. Nothing else wakes the thread. The first position counts from (0, 0).
// Distances are handed to take() through atomics, without a lock.
//
// available() is false when the display cannot be opened or lacks RECORD; the caller then
// uses another source. A server that goes away stops the source (take() stays empty).
class X11MotionCursorSource : public CursorSource {
public:
    struct Options {
        std::string displayName;  // empty: $DISPLAY
    };

    X11MotionCursorSource();
    explicit X11MotionCursorSource(Options options);
    ~X11MotionCursorSource() override;
    X11MotionCursorSource(const X11MotionCursorSource&) = delete;
    X11MotionCursorSource& operator=(const X11MotionCursorSource&) = delete;

    // Called on the UI thread: what the recorder saw since the last call.
    std::optional<CursorReading> take() override { return m_handOver.take(); }

    // The recording started (display open, RECORD present); false when it never did.
    bool available() const { return m_available; }
    // The recording runs now; false once the server has gone away.
    bool running() const { return m_running.load(std::memory_order_acquire); }

    // For benchmarks and tests.
    std::uint64_t motionEvents() const { return m_motionEvents.load(std::memory_order_relaxed); }
    std::uint64_t positionReads() const { return m_positionReads.load(std::memory_order_relaxed); }
    std::uint64_t warpsFound() const { return m_warpsFound.load(std::memory_order_relaxed); }
    // Times the recording thread woke up.
    std::uint64_t wakeUps() const { return m_wakeUps.load(std::memory_order_relaxed); }

private:
    struct Recorder;
    void run();
    void stop();
    void add(int x, int y);

    Options m_options;
    std::thread m_thread;
    int m_wakeFd = -1;  // eventfd: wakes the recorder for shutdown
    bool m_available = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_started{false};

    // Owned by the recorder thread: the last position counted.
    int m_x0 = 0, m_y0 = 0;

    // Handed from the recorder to take(): the last position packed as (x << 32 | y), the
    // travel and the positions not yet taken.
    CursorHandOver m_handOver;

    std::atomic<std::uint64_t> m_motionEvents{0};
    std::atomic<std::uint64_t> m_positionReads{0};
    std::atomic<std::uint64_t> m_warpsFound{0};
    std::atomic<std::uint64_t> m_wakeUps{0};
};

}  // namespace pt
