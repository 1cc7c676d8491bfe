#pragma once

#include <string>

namespace pt {

// The user's regional number settings, as far as the travel texts need them.
class NumberFormat {
public:
    virtual ~NumberFormat() = default;
    virtual std::string decimalSeparator() const = 0;
    virtual std::string groupSeparator() const = 0;
    virtual int groupSize() const { return 3; }
    virtual bool leadingZero() const { return true; }
};

}  // namespace pt
