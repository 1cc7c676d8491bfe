#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pt::site {

// Text for HTML element content and double- or single-quoted attribute values: & < > " '
// become entities, so no text from a visitor or a file can open markup.
std::string EscapeHtml(std::string_view text);

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Unicode characters in well-formed UTF-8 text.
std::size_t CharacterCount(std::string_view utf8);

// Percent-encodes everything but unreserved characters, for a query value.
std::string EncodeQueryValue(std::string_view text);

}  // namespace pt::site
