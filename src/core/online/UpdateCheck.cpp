#include "core/online/UpdateCheck.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pt {

namespace {

// Byte offset of the character after the one starting at `at` (UTF-8; a stray byte
// counts as one character so that no input is misread as longer than it is).
size_t NextCharacter(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 1;
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= text.size() || (static_cast<unsigned char>(text[at + i]) >> 6) != 0x2)
            return at + 1;
    }
    return at + length;
}

// The numbers of a version text; empty when it is none ("V" and a number first).
std::vector<std::uint64_t> VersionNumbers(std::string_view text) {
    std::vector<std::uint64_t> numbers;
    if (text.empty() || (text[0] != 'V' && text[0] != 'v')) return numbers;
    size_t at = 1;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        std::uint64_t n = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
            const auto digit = static_cast<std::uint64_t>(text[at] - '0');
            n = n > (UINT64_MAX - digit) / 10 ? UINT64_MAX : n * 10 + digit;
        }
        numbers.push_back(n);
        if (at + 1 < text.size() && text[at] == '.' && text[at + 1] >= '0' && text[at + 1] <= '9')
            ++at;
        else
            break;
    }
    return numbers;
}

}  // namespace

bool IsNewerVersion(std::string_view latest, std::string_view running) {
    const std::vector<std::uint64_t> a = VersionNumbers(latest);
    const std::vector<std::uint64_t> b = VersionNumbers(running);
    if (a.empty()) return false;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::uint64_t x = i < a.size() ? a[i] : 0;
        const std::uint64_t y = i < b.size() ? b[i] : 0;
        if (x != y) return x > y;
    }
    return false;
}

std::string LatestVersionFromTitle(std::string_view title) {
    constexpr int First = 20, Count = 7;
    size_t at = 0;
    for (int c = 1; c < First && at < title.size(); ++c) at = NextCharacter(title, at);
    size_t end = at;
    for (int c = 0; c < Count && end < title.size(); ++c) end = NextCharacter(title, end);
    return std::string(title.substr(at, end - at));
}

std::optional<UpdateVerdict> UpdateVerdictFromTitle(std::string_view title,
                                                    std::string_view versionText) {
    if (title.find(UpdatePageMarker) == std::string_view::npos) return std::nullopt;
    return IsNewerVersion(LatestVersionFromTitle(title), versionText) ? UpdateVerdict::Newer
                                                                      : UpdateVerdict::Current;
}

}  // namespace pt
