#include "logic/RankingCodeDecoder.h"

#include <limits>
#include <optional>

namespace pt::site {

namespace {

// Plain decimal without sign or leading zero, up to 18 digits (no overflow of int64).
std::optional<std::int64_t> PlainNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 18) return std::nullopt;
    if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::variant<DecodedCode, CodeError> DecodeRankingCode(std::string_view code) {
    while (!code.empty() && Blank(code.front())) code.remove_prefix(1);
    while (!code.empty() && Blank(code.back())) code.remove_suffix(1);
    if (code.empty()) return CodeError::Empty;
    const auto dash = code.find('-');
    if (dash == std::string_view::npos) return CodeError::Malformed;
    const auto a = PlainNumber(code.substr(0, dash));
    const auto b = PlainNumber(code.substr(dash + 1));
    if (!a || !b) {
        // 19 digits or more of plain digits: a number, only too large.
        const auto digitsOnly = [](std::string_view s) {
            return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos &&
                   s.front() != '0';
        };
        if (digitsOnly(code.substr(0, dash)) && digitsOnly(code.substr(dash + 1)))
            return CodeError::OutOfBounds;
        return CodeError::Malformed;
    }
    if (*a < 159 || *b < 189 || (*a - 159) % 121 != 0 || (*b - 189) % 151 != 0)
        return CodeError::NotExact;
    const std::int64_t id = (*a - 159) / 121;
    const std::int64_t points = (*b - 189) / 151;
    if (id > std::numeric_limits<std::uint32_t>::max() || points > MaxRankedPoints)
        return CodeError::OutOfBounds;
    if (points == 0) return CodeError::NoPoints;
    return DecodedCode{static_cast<std::uint32_t>(id), points};
}

}  // namespace pt::site
