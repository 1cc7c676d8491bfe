#include "logic/Markdown.h"

#include <algorithm>

#include "logic/Html.h"

namespace pt::site {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool SafeAddress(std::string_view url) {
    return url.starts_with("https://") || url.starts_with("http://") ||
           url.starts_with("mailto:") || url.starts_with("/") || url.starts_with("#");
}

std::string Inline(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '`') {
            const auto end = text.find('`', i + 1);
            if (end != std::string_view::npos) {
                out += "<code>" + EscapeHtml(text.substr(i + 1, end - i - 1)) + "</code>";
                i = end + 1;
                continue;
            }
        }
        if (text.substr(i, 2) == "**") {
            const auto end = text.find("**", i + 2);
            if (end != std::string_view::npos) {
                out += "<strong>" + Inline(text.substr(i + 2, end - i - 2)) + "</strong>";
                i = end + 2;
                continue;
            }
        }
        if (text[i] == '[') {
            const auto close = text.find("](", i + 1);
            const auto end = close == std::string_view::npos ? close : text.find(')', close);
            if (end != std::string_view::npos) {
                const std::string_view label = text.substr(i + 1, close - i - 1);
                const std::string_view url = text.substr(close + 2, end - close - 2);
                if (SafeAddress(url))
                    out += "<a href=\"" + EscapeHtml(url) + "\">" + Inline(label) + "</a>";
                else
                    out += Inline(label);
                i = end + 1;
                continue;
            }
        }
        out += EscapeHtml(text.substr(i, 1));
        ++i;
    }
    return out;
}

std::vector<std::string_view> TableCells(std::string_view row) {
    row = Trimmed(row);
    if (row.starts_with('|')) row.remove_prefix(1);
    if (row.ends_with('|')) row.remove_suffix(1);
    std::vector<std::string_view> cells;
    while (true) {
        const auto bar = row.find('|');
        cells.push_back(Trimmed(row.substr(0, bar)));
        if (bar == std::string_view::npos) break;
        row.remove_prefix(bar + 1);
    }
    return cells;
}

bool IsTableRule(std::string_view line) {
    line = Trimmed(line);
    return line.starts_with('|') && line.find_first_not_of("|-: ") == std::string_view::npos;
}

}  // namespace

std::string MarkdownToHtml(std::string_view markdown, int headingShift) {
    const auto lines = Lines(markdown);
    std::string out;
    std::string paragraph;
    bool inList = false;
    auto closeParagraph = [&] {
        if (!paragraph.empty()) out += "<p>" + Inline(paragraph) + "</p>\n";
        paragraph.clear();
    };
    std::string item;
    auto closeItem = [&] {
        if (!item.empty()) out += "<li>" + Inline(item) + "</li>\n";
        item.clear();
    };
    auto closeList = [&] {
        closeItem();
        if (inList) out += "</ul>\n";
        inList = false;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view trimmed = Trimmed(line);
        if (trimmed.starts_with("```")) {
            closeParagraph();
            closeList();
            std::string code;
            for (++i; i < lines.size() && !Trimmed(lines[i]).starts_with("```"); ++i)
                code += std::string(lines[i]) + "\n";
            out += "<pre><code>" + EscapeHtml(code) + "</code></pre>\n";
            continue;
        }
        if (trimmed.empty()) {
            closeParagraph();
            closeList();
            continue;
        }
        if (line.starts_with('#')) {
            closeParagraph();
            closeList();
            const auto level = std::min<std::size_t>(line.find_first_not_of('#'), 6);
            const int shifted = std::min(6, static_cast<int>(level) + headingShift);
            const std::string tag = "h" + std::to_string(shifted);
            out += "<" + tag + ">" + Inline(Trimmed(line.substr(level))) + "</" + tag + ">\n";
            continue;
        }
        if (trimmed.starts_with('|') && i + 1 < lines.size() && IsTableRule(lines[i + 1])) {
            closeParagraph();
            closeList();
            out += "<table>\n<tr>";
            for (auto cell : TableCells(line)) out += "<th>" + Inline(cell) + "</th>";
            out += "</tr>\n";
            for (i += 2; i < lines.size() && Trimmed(lines[i]).starts_with('|'); ++i) {
                out += "<tr>";
                for (auto cell : TableCells(lines[i])) out += "<td>" + Inline(cell) + "</td>";
                out += "</tr>\n";
            }
            --i;
            out += "</table>\n";
            continue;
        }
        if (line.starts_with("- ") || line.starts_with("* ")) {
            closeParagraph();
            closeItem();
            if (!inList) out += "<ul>\n";
            inList = true;
            item = std::string(trimmed.substr(2));
            continue;
        }
        if (inList && (line.starts_with(' ') || line.starts_with('\t'))) {
            item += " " + std::string(trimmed);
            continue;
        }
        closeList();
        if (!paragraph.empty()) paragraph += ' ';
        paragraph += trimmed;
    }
    closeParagraph();
    closeList();
    return out;
}

std::string MarkdownSections(std::string_view markdown, const std::vector<std::string>& titles) {
    std::string out;
    bool taking = false;
    bool inCode = false;
    for (std::string_view line : Lines(markdown)) {
        if (Trimmed(line).starts_with("```")) inCode = !inCode;
        if (!inCode && line.starts_with("## ")) {
            const std::string title(Trimmed(line.substr(3)));
            taking = std::find(titles.begin(), titles.end(), title) != titles.end();
        } else if (!inCode && line.starts_with("# ")) {
            taking = false;
        }
        if (taking) {
            out += line;
            out += '\n';
        }
    }
    return out;
}

}  // namespace pt::site
