#pragma once

#include <cstdint>
#include <string>

#include "core/ports/Shell.h"
#include "core/stats/DynamicValue.h"
#include "core/texts/Language.h"
#include "platform/windows/Win32.h"

namespace pt {

// The ranking window on Win32, modal: the code to paste into the ranking page, with the page
// itself below it in the system's web control. Where no web control can be created the
// window keeps only the code and the page opens in the desktop's browser.
void RunWin32RankingWindow(HWND owner, HFONT font, Shell& shell, const std::string& address,
                           Language lang, std::uint32_t installationId, const DynamicValue& points);

}  // namespace pt
