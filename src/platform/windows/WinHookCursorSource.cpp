#include "platform/windows/WinHookCursorSource.h"

#include "platform/windows/Win32.h"

#include <algorithm>
#include <cstdint>

#include "core/stats/Chord.h"
#include "platform/windows/WinThreadName.h"

namespace pt {
namespace {

// The source whose hook runs on this thread: a hook procedure carries no context of its
// own, and each source's hook is called on its own thread. Set before the hook is installed
// (so the procedure never makes the runtime allocate the slot).
thread_local WinHookCursorSource* t_source = nullptr;

bool ReadPosition(POINT& p) {
    return GetPhysicalCursorPos(&p) != FALSE;
}

// Makes this thread see physical pixels, as the hook reports them, in its position reads and
// screen metrics, where the system can (Windows 10 and later; the program itself is not DPI
// aware, so its other threads see scaled pixels on a scaled screen).
void SeePhysicalPixels() {
    using SetContext = void*(__stdcall*)(void*);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    auto* proc = GetProcAddress(user32, "SetThreadDpiAwarenessContext");
    if (!proc) return;
    const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(proc));
    // Per-monitor aware, version 2 where there is one, else version 1.
    if (!set(reinterpret_cast<void*>(static_cast<std::intptr_t>(-4))))
        set(reinterpret_cast<void*>(static_cast<std::intptr_t>(-3)));
}

}  // namespace

WinHookCursorSource::WinHookCursorSource() : WinHookCursorSource(Options{}) {}

WinHookCursorSource::WinHookCursorSource(Options options) : m_options(options) {
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!started) return;
    m_thread = std::thread([this, started] {
        m_threadId = GetCurrentThreadId();
        t_source = this;
        NameThisThread(L"pt-cursor-hook");
        SeePhysicalPixels();
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue
        HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &hookProc, GetModuleHandleW(nullptr), 0);
        m_available = hook != nullptr;
        SetEvent(started);  // the constructor goes on from here: nothing below touches it
        if (!hook) return;
        run();
        UnhookWindowsHookEx(hook);
    });
    WaitForSingleObject(started, INFINITE);
    CloseHandle(started);
    if (!m_available && m_thread.joinable()) m_thread.join();
}

WinHookCursorSource::~WinHookCursorSource() {
    if (m_thread.joinable()) {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
}

long long __stdcall WinHookCursorSource::hookProc(int code, unsigned long long wParam,
                                                  long long lParam) {
    if (code == HC_ACTION && wParam == WM_MOUSEMOVE && t_source) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        t_source->hookMove(info->pt.x, info->pt.y);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void WinHookCursorSource::run() {
    refreshScreen();
    POINT p;
    if (ReadPosition(p)) add(p.x, p.y);  // the first position, from (0, 0)
    setCheckPeriod(m_options.checkPeriod);
    // The hook's calls are sent messages: GetMessage runs them while it waits, before it
    // returns any posted message, so a check never comes before a move already on its way.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == m_timer) check();
    }
    if (m_timer) KillTimer(nullptr, m_timer);
}

void WinHookCursorSource::hookMove(std::int32_t x, std::int32_t y) {
    if (m_right >= m_left && m_bottom >= m_top) {
        x = std::clamp(x, m_left, m_right);
        y = std::clamp(y, m_top, m_bottom);
    }
    ++m_movesSinceCheck;
    m_pending.reset();  // the hook tells where the pointer is
    m_hookMoves.fetch_add(1, std::memory_order_relaxed);
    add(x, y);
}

void WinHookCursorSource::check() {
    if (m_movesSinceCheck > 0) {  // the hook sees the pointer: nothing to check
        m_movesSinceCheck = 0;
        m_quietChecks = 0;
        m_pending.reset();
        setCheckPeriod(m_options.checkPeriod);
        return;
    }
    // Screens come and go: their bounds are read again every 40th check (forty seconds at
    // rest) and whenever a check finds the pointer moved.
    if (m_checks.fetch_add(1, std::memory_order_relaxed) % 40 == 39) refreshScreen();
    POINT p;
    if (!ReadPosition(p)) return;
    const bool atCounted = p.x == m_x0 && p.y == m_y0;
    if (!atCounted || m_pending) refreshScreen();
    if (m_pending) {
        const bool confirmed = p.x == m_pending->x && p.y == m_pending->y;
        // The pointer went on from the position read before (it is counted), came to rest
        // there (counted), or is back where it was counted: that read was a passing one
        // (a position the system reported before the move reached it) and counts nothing.
        if (!atCounted) {
            m_unseenMoves.fetch_add(1, std::memory_order_relaxed);
            add(m_pending->x, m_pending->y);
        }
        m_pending.reset();
        m_quietChecks = 0;
        if (confirmed) {
            setCheckPeriod(m_options.followPeriod);
            return;
        }
    }
    if (atCounted) {
        if (m_quietChecks < m_options.checksBeforeRest) ++m_quietChecks;
        setCheckPeriod(m_quietChecks >= m_options.checksBeforeRest ? m_options.restPeriod
                                                                   : m_options.checkPeriod);
        return;
    }
    m_quietChecks = 0;
    m_pending = Position{p.x, p.y};  // counted when the next check confirms or passes it
    setCheckPeriod(m_options.followPeriod);
}

void WinHookCursorSource::setCheckPeriod(std::chrono::milliseconds period) {
    if (m_timer && period == m_period) return;
    if (m_timer) KillTimer(nullptr, m_timer);
    m_timer = SetTimer(nullptr, 0, static_cast<UINT>(period.count()), nullptr);
    m_period = period;
}

void WinHookCursorSource::refreshScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {  // unknown: no clamping
        m_right = m_left - 1;
        return;
    }
    m_left = left;
    m_top = top;
    m_right = left + width - 1;
    m_bottom = top + height - 1;
}

void WinHookCursorSource::add(std::int32_t x, std::int32_t y) {
    const double d = ChordLength(m_x0, m_y0, x, y);
    m_x0 = x;
    m_y0 = y;
    m_handOver.record(x, y, d);
}

}  // namespace pt
