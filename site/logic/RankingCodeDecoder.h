#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

namespace pt::site {

// What a ranking code stands for: the program writes (id * 121 + 159) "-" (points * 151 + 189).
struct DecodedCode {
    std::uint32_t installationId = 0;
    std::int64_t points = 0;
};

enum class CodeError {
    Empty,        // nothing entered
    Malformed,    // anything but digits, one "-", digits; or a leading zero
    NotExact,     // numbers that no installation id or whole points give
    OutOfBounds,  // an id or points beyond what the program can write or anyone can earn
    NoPoints,     // decodes to 0 points: the program itself offers no code then
};

// The most points accepted: far past a lifetime of use (about 9,000 points a year for
// someone at the computer all day).
inline constexpr std::int64_t MaxRankedPoints = 10'000'000;

// Strict: blanks around the code (a paste) are ignored, nothing else is.
std::variant<DecodedCode, CodeError> DecodeRankingCode(std::string_view code);

}  // namespace pt::site
