#pragma once

#include <string>
#include <string_view>

namespace pt {

// The interface language code, decided once at start-up from the system locale.
// "En" has no texts of its own: every text choice maps it to one of the two scripts.
enum class Wlang { GB, B5, En };

// 2052 -> GB, 1028 -> B5, anything else (1033 included) -> En.
inline Wlang WlangFromLocaleId(int localeId) {
    if (localeId == 2052) return Wlang::GB;
    if (localeId == 1028) return Wlang::B5;
    return Wlang::En;
}

// GB test: Simplified only when the code is "GB".
inline std::string_view GbTest(Wlang lang, std::string_view simplified,
                               std::string_view traditional) {
    return lang == Wlang::GB ? simplified : traditional;
}

// B5 test: Traditional only when the code is "B5".
inline std::string_view B5Test(Wlang lang, std::string_view simplified,
                               std::string_view traditional) {
    return lang == Wlang::B5 ? traditional : simplified;
}

}  // namespace pt
