#include "platform/windows/WinLog.h"

#include "platform/windows/Win32.h"

#include <string>

#include "platform/windows/WideText.h"

namespace pt {

void LogLine(std::string_view line) {
    std::string text = "Pathtally: ";
    text += line;
    text += '\n';
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err && err != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    OutputDebugStringW(Widen(text).c_str());
}

}  // namespace pt
