#include "platform/windows/CreateWinCursorSource.h"

#include "platform/windows/WinCursorSource.h"
#include "platform/windows/WinHookCursorSource.h"
#include "platform/windows/WinLog.h"

namespace pt {

std::unique_ptr<CursorSource> CreateWinCursorSource() {
    auto hooked = std::make_unique<WinHookCursorSource>();
    if (hooked->available()) {
        LogLine("Pointer travel: from the low-level mouse hook's moves (WH_MOUSE_LL)");
        return hooked;
    }
    hooked.reset();
    LogLine(
        "Pointer travel: the low-level mouse hook cannot be installed, "
        "polling the position at 1 kHz");
    return std::make_unique<WinCursorSource>();
}

}  // namespace pt
