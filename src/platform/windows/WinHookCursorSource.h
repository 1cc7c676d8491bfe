#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "core/ports/CursorSource.h"
#include "platform/common/CursorHandOver.h"

namespace pt {

// The pointer's travel from the low-level mouse hook: every WM_MOUSEMOVE the system hands a
// WH_MOUSE_LL hook carries the pointer's new screen position (MSLLHOOKSTRUCT.pt), and the
// chords between consecutive positions are summed. This is the path the pointer took, at
// any speed, with no wake-up while it rests. The hook lives on a thread of its own that does
// nothing else, so the system never waits on the user interface to go on; the procedure
// adds one chord through atomics, allocates nothing and takes no lock (the system drops a
// hook that keeps it waiting).
//
// Moves no hook sees (another program's SetCursorPos, a remote session; under Wine, moves
// outside Wine's own windows) are caught by a slow position check: when a whole check
// period went by without a hook move, the position is read. A changed position is counted
// (a chord from the last position) once the next check, a follow period later, finds the
// pointer there or gone on elsewhere; a pointer found back where it was counted made that
// read a passing one, which counts nothing (a system may report a warp's target before the
// pointer is moved there, then where it still is). While the checks keep finding changes
// they come at the follow period, back to the check period at the first check that finds
// none. A pointer at rest for a while (no hook move, nothing found for a number of checks)
// is checked at a slower rest period: each read is a round trip to the system's server
// under Wine, and a warp at rest is still counted, only found later.
//
// The position read at the start counts from (0, 0); the position handed on is always the
// last one. Positions are the physical screen pixels the hook reports, clamped to the
// virtual screen (near an edge the hook reports where the pointer would have gone).
//
// available() is false when the hook cannot be installed; the caller then polls instead.
class WinHookCursorSource : public CursorSource {
public:
    struct Options {
        std::chrono::milliseconds checkPeriod{250};
        std::chrono::milliseconds followPeriod{50};
        // After this many checks in a row that found the pointer where it was counted, the
        // checks come at the rest period, until the hook or a check sees it move again.
        int checksBeforeRest = 8;
        std::chrono::milliseconds restPeriod{1000};
    };

    WinHookCursorSource();
    explicit WinHookCursorSource(Options options);
    ~WinHookCursorSource() override;
    WinHookCursorSource(const WinHookCursorSource&) = delete;
    WinHookCursorSource& operator=(const WinHookCursorSource&) = delete;

    // Called on the UI thread: what the hook and the checks saw since the last call.
    std::optional<CursorReading> take() override { return m_handOver.take(); }

    // The hook was installed; false when it could not be.
    bool available() const { return m_available; }

    // For benchmarks and tests.
    std::uint64_t hookMoves() const { return m_hookMoves.load(std::memory_order_relaxed); }
    std::uint64_t positionChecks() const { return m_checks.load(std::memory_order_relaxed); }
    // Checks that found the pointer moved without a hook move.
    std::uint64_t unseenMoves() const { return m_unseenMoves.load(std::memory_order_relaxed); }

private:
    static long long __stdcall hookProc(int code, unsigned long long wParam, long long lParam);
    void run();
    void hookMove(std::int32_t x, std::int32_t y);
    void check();
    void setCheckPeriod(std::chrono::milliseconds period);
    void refreshScreen();
    void add(std::int32_t x, std::int32_t y);

    Options m_options;
    std::thread m_thread;
    unsigned long m_threadId = 0;
    bool m_available = false;

    // Owned by the hook thread: the last position counted, the moves the hook delivered
    // since the last check, the check timer and the virtual screen's bounds.
    std::int32_t m_x0 = 0, m_y0 = 0;
    std::uint64_t m_movesSinceCheck = 0;
    int m_quietChecks = 0;  // checks in a row that found the pointer where it was counted
    unsigned long long m_timer = 0;
    std::chrono::milliseconds m_period{0};
    std::int32_t m_left = 0, m_top = 0, m_right = -1, m_bottom = -1;
    // A changed position a check read, not counted until the next check.
    struct Position {
        std::int32_t x, y;
    };
    std::optional<Position> m_pending;

    CursorHandOver m_handOver;

    std::atomic<std::uint64_t> m_hookMoves{0};
    std::atomic<std::uint64_t> m_checks{0};
    std::atomic<std::uint64_t> m_unseenMoves{0};
};

}  // namespace pt
