#pragma once

#include <string>
#include <string_view>

namespace pt {

// The interface language code, decided once at start-up from the system locale.
// English has no texts of its own: every text choice maps it to one of the two scripts.
enum class Language { Simplified, Traditional, English };

// 2052 -> Simplified, 1028 -> Traditional, anything else (1033 included) -> English.
inline Language LanguageFromLocaleId(int localeId) {
    if (localeId == 2052) return Language::Simplified;
    if (localeId == 1028) return Language::Traditional;
    return Language::English;
}

// Simplified only for the Simplified language; English takes the Traditional text.
inline std::string_view TraditionalUnlessSimplified(Language lang, std::string_view simplified,
                                                    std::string_view traditional) {
    return lang == Language::Simplified ? simplified : traditional;
}

// Traditional only for the Traditional language; English takes the Simplified text.
inline std::string_view SimplifiedUnlessTraditional(Language lang, std::string_view simplified,
                                                    std::string_view traditional) {
    return lang == Language::Traditional ? traditional : simplified;
}

}  // namespace pt
