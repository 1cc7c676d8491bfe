#pragma once

#include <string>

namespace pt {

// The user's regional number settings, as far as the travel texts need them.
class NumberFormat {
public:
    virtual ~NumberFormat() = default;
    virtual std::string decimalSeparator() const = 0;
    virtual std::string groupSeparator() const = 0;

    // The whole part of a number (ASCII digits, no sign) with the locale's digit grouping.
    // By default groups of three joined by groupSeparator().
    virtual std::string groupWhole(const std::string& digits) const {
        const std::string separator = groupSeparator();
        std::string grouped;
        for (size_t i = 0; i < digits.size(); ++i) {
            grouped += digits[i];
            const size_t left = digits.size() - i - 1;
            if (!separator.empty() && left > 0 && left % 3 == 0) grouped += separator;
        }
        return grouped;
    }
};

}  // namespace pt
