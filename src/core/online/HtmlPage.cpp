#include "core/online/HtmlPage.h"

#include <cstdint>

namespace pt {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Whether `text` holds `word` (lower case) at `at`, whatever the case of the letters.
bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(text[at + i]) != word[i]) return false;
    return true;
}

size_t FindNoCase(std::string_view text, std::string_view word, size_t from) {
    for (size_t at = from; at + word.size() <= text.size(); ++at)
        if (StartsWithNoCase(text, at, word)) return at;
    return std::string_view::npos;
}

// A tag named `name` starts at `at` (just after its "<"): the name is not the beginning
// of a longer one.
bool TagAt(std::string_view html, size_t at, std::string_view name) {
    if (!StartsWithNoCase(html, at, name)) return false;
    const size_t end = at + name.size();
    return end == html.size() || IsSpace(html[end]) || html[end] == '>' || html[end] == '/';
}

// The value after "charset=" in `text` (quotes and blanks dropped), lower case.
std::string CharsetParameter(std::string_view text) {
    const size_t key = FindNoCase(text, "charset", 0);
    if (key == std::string_view::npos) return {};
    size_t at = key + 7;
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at >= text.size() || text[at] != '=') return {};
    ++at;
    while (at < text.size() && (IsSpace(text[at]) || text[at] == '"' || text[at] == '\'')) ++at;
    std::string value;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (IsSpace(c) || c == ';' || c == '"' || c == '\'' || c == '>' || c == '/') break;
        value += Lower(c);
    }
    return value;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

struct NamedEntity {
    std::string_view name;
    std::uint32_t code;
    bool withoutSemicolon;  // also recognised without the closing ";" (legacy forms)
};

// The references a title plausibly holds; others are left as written.
constexpr NamedEntity kEntities[] = {
    {"amp", '&', true},        {"lt", '<', true},        {"gt", '>', true},
    {"quot", '"', true},       {"apos", '\'', false},    {"nbsp", 0xA0, true},
    {"copy", 0xA9, true},      {"reg", 0xAE, true},      {"middot", 0xB7, true},
    {"laquo", 0xAB, true},     {"raquo", 0xBB, true},    {"times", 0xD7, true},
    {"yen", 0xA5, true},       {"ndash", 0x2013, false}, {"mdash", 0x2014, false},
    {"hellip", 0x2026, false}, {"trade", 0x2122, false}, {"ldquo", 0x201C, false},
    {"rdquo", 0x201D, false},  {"lsquo", 0x2018, false}, {"rsquo", 0x2019, false},
};

// Decodes the character reference starting at text[at] == '&'; returns the bytes used
// (0 when it is no reference: the "&" is then kept as it stands).
size_t DecodeReference(std::string_view text, size_t at, std::string& out) {
    size_t i = at + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        std::uint32_t code = 0;
        const size_t digits = i;
        for (; i < text.size(); ++i) {
            const char c = Lower(text[i]);
            int v = -1;
            if (c >= '0' && c <= '9') v = c - '0';
            if (hex && c >= 'a' && c <= 'f') v = c - 'a' + 10;
            if (v < 0) break;
            code = code > 0x10FFFF ? code : code * (hex ? 16 : 10) + static_cast<unsigned>(v);
        }
        if (i == digits) return 0;
        if (i < text.size() && text[i] == ';') ++i;
        AppendUtf8(out, code);
        return i - at;
    }
    for (const NamedEntity& e : kEntities) {
        if (text.substr(i, e.name.size()) != e.name) continue;
        const size_t end = i + e.name.size();
        if (end < text.size() && text[end] == ';') {
            AppendUtf8(out, e.code);
            return end + 1 - at;
        }
        if (e.withoutSemicolon) {
            AppendUtf8(out, e.code);
            return end - at;
        }
    }
    return 0;
}

}  // namespace

std::string DeclaredCharset(std::string_view contentTypeHeader, std::string_view html) {
    if (std::string fromHeader = CharsetParameter(contentTypeHeader); !fromHeader.empty())
        return fromHeader;
    const std::string_view head = html.substr(0, 4096);
    for (size_t at = FindNoCase(head, "<meta", 0); at != std::string_view::npos;
         at = FindNoCase(head, "<meta", at + 5)) {
        if (!TagAt(head, at + 1, "meta")) continue;
        const size_t end = head.find('>', at);
        const std::string_view tag =
            head.substr(at, end == std::string_view::npos ? head.size() - at : end - at);
        // <meta charset=...> and <meta http-equiv=Content-Type content="...charset=...">
        // both carry the word "charset"; other meta tags do not.
        if (std::string charset = CharsetParameter(tag); !charset.empty()) return charset;
    }
    return {};
}

std::optional<std::string> HtmlTitle(std::string_view html) {
    size_t at = 0;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        if (html.substr(at, 4) == "<!--") {
            const size_t end = html.find("-->", at + 4);
            if (end == std::string_view::npos) return std::nullopt;
            at = end + 3;
            continue;
        }
        for (std::string_view raw : {std::string_view("script"), std::string_view("style")}) {
            if (!TagAt(html, at + 1, raw)) continue;
            const size_t close = FindNoCase(html, raw == "script" ? "</script" : "</style", at);
            if (close == std::string_view::npos) return std::nullopt;
            at = close;
        }
        if (!TagAt(html, at + 1, "title")) {
            ++at;
            continue;
        }
        const size_t open = html.find('>', at);
        if (open == std::string_view::npos) return std::nullopt;
        const size_t close = FindNoCase(html, "</title", open + 1);
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view raw = html.substr(open + 1, close - open - 1);
        std::string decoded;
        for (size_t i = 0; i < raw.size();) {
            if (raw[i] == '&') {
                if (const size_t used = DecodeReference(raw, i, decoded)) {
                    i += used;
                    continue;
                }
            }
            decoded += raw[i++];
        }
        std::string title;
        bool blank = false;
        for (const char c : decoded) {
            if (IsSpace(c)) {
                blank = !title.empty();
                continue;
            }
            if (blank) title += ' ';
            blank = false;
            title += c;
        }
        return title;
    }
    return std::nullopt;
}

}  // namespace pt
