#pragma once

#include <string_view>

namespace pt::site::content {

// Rendered when the site is built (content/ContentGenerator.cpp): the release notes from
// CHANGELOG.md, the user sections of README.md, and the stylesheet.
extern const std::string_view NewsHtml;
extern const std::string_view HelpHtml;
extern const std::string_view StyleSheet;

}  // namespace pt::site::content
