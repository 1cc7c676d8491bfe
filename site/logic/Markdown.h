#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pt::site {

// The Markdown of the repository's README and changelog as HTML: headings, paragraphs,
// bullet lists (continued by indented lines), fenced code, pipe tables, and inline `code`,
// **bold** and [links](address). Every text is escaped; a link keeps its address only
// when it is http(s), mailto or a path, else it is shown as plain text. Headings are moved
// down by `headingShift` levels (a page keeps its own <h1>).
std::string MarkdownToHtml(std::string_view markdown, int headingShift = 1);

// The second-level sections ("## Title") whose titles are listed, in the order they appear
// in the document, each with its heading; empty when none is found.
std::string MarkdownSections(std::string_view markdown, const std::vector<std::string>& titles);

}  // namespace pt::site
