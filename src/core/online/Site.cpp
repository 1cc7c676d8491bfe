#include "core/online/Site.h"

#include <cstdio>

namespace pt {
namespace {

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > 253 || host.front() == '-' || host.front() == '.')
        return false;
    for (char c : host)
        if (!IsAlnum(c) && c != '-' && c != '.') return false;
    return true;
}

bool IsBracketedAddress(std::string_view host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']') return false;
    for (char c : host.substr(1, host.size() - 2))
        if (!IsAlnum(c) && c != ':' && c != '.') return false;
    return true;
}

}  // namespace

bool IsUsableSiteRoot(std::string_view root) {
    std::string_view rest;
    if (StartsWithNoCase(root, "https://"))
        rest = root.substr(8);
    else if (StartsWithNoCase(root, "http://"))
        rest = root.substr(7);
    else
        return false;
    const size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    const std::string_view path = slash == std::string_view::npos ? "" : rest.substr(slash);
    // The port: the digits after the last colon outside brackets.
    const size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        const std::string_view port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5) return false;
        for (char c : port)
            if (c < '0' || c > '9') return false;
        authority = authority.substr(0, colon);
    }
    if (!IsHostName(authority) && !IsBracketedAddress(authority)) return false;
    for (char c : path)
        if (!IsAlnum(c) && c != '/' && c != '-' && c != '.' && c != '_' && c != '~' && c != '%')
            return false;
    return true;
}

std::string SiteRoot(SettingsStore& store) {
    std::string root = ReadSetting(store, MainKey, value::SiteRoot);
    while (!root.empty() && (root.back() == '/' || root.back() == ' ')) root.pop_back();
    if (root.empty()) return std::string(DefaultSiteRoot);
    if (!IsUsableSiteRoot(root)) {
        // Logged once per refused text: the root is asked for on every page and menu command.
        static std::string lastRefused;
        if (root != lastRefused) {
            lastRefused = root;
            std::fprintf(stderr,
                         "pathtally: the stored SiteRoot is not an http or https address with a "
                         "host; using %s\n",
                         std::string(DefaultSiteRoot).c_str());
        }
        return std::string(DefaultSiteRoot);
    }
    return root;
}

}  // namespace pt
