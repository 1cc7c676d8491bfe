#pragma once

#include <string>
#include <string_view>

namespace pt {

// The core speaks UTF-8; the wide Win32 API speaks UTF-16. Invalid sequences become
// U+FFFD rather than failing.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace pt
