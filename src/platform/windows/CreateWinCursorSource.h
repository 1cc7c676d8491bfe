#pragma once

#include <memory>

#include "core/ports/CursorSource.h"

namespace pt {

// The pointer's travel from the low-level mouse hook's moves (WinHookCursorSource), or,
// where the hook cannot be installed, from polling the position at 1 kHz
// (WinCursorSource). The log says which one runs.
std::unique_ptr<CursorSource> CreateWinCursorSource();

}  // namespace pt
