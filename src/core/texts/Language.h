#pragma once

#include <string_view>

namespace pt {

// The interface language, decided once at start-up from the system locale.
enum class Language { Simplified, Traditional, English };

// 2052 -> Simplified, 1028 -> Traditional, anything else (1033 included) -> English.
inline Language LanguageFromLocaleId(int localeId) {
    if (localeId == 2052) return Language::Simplified;
    if (localeId == 1028) return Language::Traditional;
    return Language::English;
}

// One text as each language shows it. English has no words of its own: its column holds the
// Simplified or the Traditional text, whichever that text has always shown there. Every text
// is made at compile time with all three columns filled, so a text missing a language fails
// to compile. The one way to pick a language is `in`.
class Text {
public:
    // A text that reads the same in every language.
    consteval Text(const char* all) : Text(all, all, all) {}
    consteval Text(std::string_view simplified, std::string_view traditional,
                   std::string_view english)
        : m_simplified(simplified), m_traditional(traditional), m_english(english) {
        if (simplified.empty() || traditional.empty() || english.empty())
            throw "every text has all three languages";
    }

    constexpr std::string_view in(Language lang) const {
        switch (lang) {
            case Language::Simplified:
                return m_simplified;
            case Language::Traditional:
                return m_traditional;
            case Language::English:
                return m_english;
        }
        return m_simplified;
    }
    // As the window is designed, before the language is known.
    constexpr std::string_view designed() const { return m_simplified; }

private:
    std::string_view m_simplified;
    std::string_view m_traditional;
    std::string_view m_english;
};

}  // namespace pt
