#include "platform/windows/SystemErrorText.h"

#include "platform/windows/Win32.h"

#include "platform/windows/WideText.h"

namespace pt {

std::string SystemErrorText(unsigned long error) {
    wchar_t* message = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string text = message ? Narrow(message) : std::string();
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text;
}

}  // namespace pt
