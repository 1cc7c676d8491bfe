#include "platform/windows/WinNumberFormat.h"

#include <array>

#include "platform/windows/WideText.h"
#include "platform/windows/Win32.h"

namespace pt {
namespace {

std::string LocaleText(LCTYPE type, const std::string& fallback) {
    std::array<wchar_t, 16> buffer{};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer.data(),
                                  static_cast<int>(buffer.size()));
    return n > 1 ? Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(n - 1))) : fallback;
}

}  // namespace

WinNumberFormat::WinNumberFormat()
    : m_decimal(LocaleText(LOCALE_SDECIMAL, ".")), m_group(LocaleText(LOCALE_STHOUSAND, ",")) {}

}  // namespace pt
