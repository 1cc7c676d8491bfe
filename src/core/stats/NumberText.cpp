#include "core/stats/NumberText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace pt {
namespace {

bool IsSkippable(char c) {
    return c == ' ' || c == '\t' || c == '\n';  // a carriage return ends the number
}

// Collects the characters that matter, dropping blanks wherever they stand.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}
    char peek() {
        while (m_pos < m_text.size() && IsSkippable(m_text[m_pos])) ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void next() { ++m_pos; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

double ReadRadix(Reader& r, int radix) {
    std::uint64_t value = 0;
    bool any = false;
    for (;;) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(r.peek())));
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= radix) break;
        r.next();
        any = true;
        if (value > (std::uint64_t{1} << 40)) return 0;  // far beyond 32 bits: no number
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    if (!any || value > 0xFFFFFFFFull) return 0;
    // Up to 16 bits the number is a 16-bit integer, up to 32 bits a 32-bit one,
    // both read as two's complement ("&HFFFF" is -1).
    if (value <= 0xFFFF) return static_cast<double>(static_cast<std::int16_t>(value));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

std::string FormatG(double value, int digits) {
    if (value == 0) return "0";
    if (!std::isfinite(value)) return "0";
    // to_chars is locale-independent: the decimal separator is always ".".
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    std::string text(buf, res.ptr);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

}  // namespace

double NumericValue(std::string_view text) {
    Reader r(text);
    if (r.peek() == '&') {
        r.next();
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(r.peek())));
        if (c == 'H') {
            r.next();
            return ReadRadix(r, 16);
        }
        if (c == 'O') {
            r.next();
            return ReadRadix(r, 8);
        }
        return ReadRadix(r, 8);
    }
    std::string digits;
    if (r.peek() == '-' || r.peek() == '+') {
        digits += r.peek();
        r.next();
    }
    bool mantissa = false;
    while (std::isdigit(static_cast<unsigned char>(r.peek()))) {
        digits += r.peek();
        r.next();
        mantissa = true;
    }
    if (r.peek() == '.') {
        digits += '.';
        r.next();
        while (std::isdigit(static_cast<unsigned char>(r.peek()))) {
            digits += r.peek();
            r.next();
            mantissa = true;
        }
    }
    if (!mantissa) return 0;
    char e = static_cast<char>(std::toupper(static_cast<unsigned char>(r.peek())));
    if (e == 'E' || e == 'D') {
        std::string exponent = "E";
        r.next();
        if (r.peek() == '-' || r.peek() == '+') {
            exponent += r.peek();
            r.next();
        }
        bool anyExp = false;
        while (std::isdigit(static_cast<unsigned char>(r.peek()))) {
            if (exponent.size() < 8) exponent += r.peek();  // 1E+99999999 is out of range anyway
            r.next();
            anyExp = true;
        }
        if (anyExp) digits += exponent;
    }
    double value = 0;
    const char* first = digits.c_str();
    if (*first == '+') ++first;
    auto res = std::from_chars(first, digits.c_str() + digits.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        return 0;
    }
    if (!std::isfinite(value)) return 0;
    return value == 0 ? 0.0 : value;  // no negative zero
}

std::string NumberToText(double value) {
    return FormatG(value, 15);
}

double IntPart(double value) {
    return std::floor(value);
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

int ToInt32Saturated(double value) {
    if (std::isnan(value)) return 0;
    double r = std::nearbyint(value);
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

}  // namespace pt
