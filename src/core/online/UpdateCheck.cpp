#include "online/UpdateCheck.h"

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

}  // namespace

std::string LatestVersionFromTitle(std::string_view title) {
    constexpr int First = 20, Count = 7;
    size_t at = 0;
    for (int c = 1; c < First && at < title.size(); ++c) at = NextCharacter(title, at);
    size_t end = at;
    for (int c = 0; c < Count && end < title.size(); ++c) end = NextCharacter(title, end);
    return std::string(title.substr(at, end - at));
}

std::optional<UpdateVerdict> UpdateVerdictFromTitle(std::string_view title,
                                                    std::string_view versionNumber) {
    if (title.find(UpdatePageMarker) == std::string_view::npos) return std::nullopt;
    // UTF-8 byte order is the order of the character codes.
    return LatestVersionFromTitle(title) > versionNumber ? UpdateVerdict::Newer
                                                         : UpdateVerdict::Current;
}

}  // namespace pt
