#pragma once

#include <string>

#include "core/ports/NumberFormat.h"

namespace pt {

// GetLocaleInfoEx of the user's locale: LOCALE_SDECIMAL, LOCALE_STHOUSAND.
class WinNumberFormat : public NumberFormat {
public:
    WinNumberFormat();
    std::string decimalSeparator() const override { return m_decimal; }
    std::string groupSeparator() const override { return m_group; }

private:
    std::string m_decimal = ".";
    std::string m_group = ",";
};

}  // namespace pt
