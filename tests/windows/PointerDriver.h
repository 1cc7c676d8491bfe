#pragma once

#include <string>
#include <vector>

#include "platform/windows/Win32.h"

namespace pt {

// Drives the X pointer through XTest (tests/windows/drive-pointer.py), as a person's mouse
// would: Wine runs a Unix program named by its path, and turns the X server's motion over its
// own windows into input, which the low-level hooks see. Moves outside Wine's windows reach
// no hook.
class PointerDriver {
public:
    PointerDriver() = default;
    PointerDriver(const PointerDriver&) = delete;
    PointerDriver& operator=(const PointerDriver&) = delete;
    ~PointerDriver() { wait(); }

    // Starts one run that moves through `path` in order, a move every `intervalUs`
    // microseconds (0: as fast as the X server takes them, a burst). Returns at once;
    // finished() tells when the server has every move.
    bool start(const std::vector<POINT>& path, int intervalUs) {
        wait();
        std::wstring command =
            L"Z:\\usr\\bin\\python3 " PT_WIDE_SOURCE_DIR L"/tests/windows/drive-pointer.py " +
            std::to_wstring(intervalUs);
        for (const POINT& p : path)
            command += L" " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        return true;
    }

    bool finished() const {
        return !m_process || WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0;
    }

    // Waits for the run to end (the pointer still moving on the window needs this thread's
    // messages pumped: use finished() there).
    void wait() {
        if (!m_process) return;
        WaitForSingleObject(m_process, INFINITE);
        CloseHandle(m_process);
        m_process = nullptr;
    }

private:
    HANDLE m_process = nullptr;
};

// Moves the pointer to (x, y) and waits for xdotool to finish.
inline bool MovePointer(int x, int y) {
    PointerDriver driver;
    if (!driver.start({POINT{x, y}}, 0)) return false;
    driver.wait();
    return true;
}

}  // namespace pt
