#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pt {

// What the update check reads from a web page without a browser.

// The character set a page declares, in lower case: the charset parameter of its
// Content-Type header when there is one, else the first <meta charset="..."> or
// <meta http-equiv="Content-Type" content="...; charset=..."> in the page's first 4 KiB.
// Empty when the page declares none.
std::string DeclaredCharset(std::string_view contentTypeHeader, std::string_view html);

// The text of the page's first <title> element (not one inside a comment, a script or a
// style) as a browser shows it: character references decoded, runs of white space made
// one blank, blanks at both ends removed. The page must be UTF-8 already. Nothing when
// there is no complete title element.
std::optional<std::string> HtmlTitle(std::string_view html);

}  // namespace pt
