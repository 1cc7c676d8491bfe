#include "platform/windows/WinShell.h"

#include "platform/windows/Win32.h"

#include <shellapi.h>
#include "platform/windows/WideText.h"

namespace pt {

void WinShell::open(const std::string& address) {
    ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace pt
