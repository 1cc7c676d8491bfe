#pragma once

#include <QLocale>

#include "core/ports/NumberFormat.h"

namespace pt {

// The user's number settings from the system locale.
class QtNumberFormat : public NumberFormat {
public:
    explicit QtNumberFormat(const QLocale& locale = QLocale::system())
        : m_locale(locale),
          m_decimal(locale.decimalPoint().toStdString()),
          m_group(locale.groupSeparator().toStdString()) {}
    std::string decimalSeparator() const override { return m_decimal; }
    std::string groupSeparator() const override { return m_group; }
    // Where the locale groups (Indian 12,34,567; Spanish leaves 1234 whole) and with which
    // marks, keeping the plain digits.
    std::string groupWhole(const std::string& digits) const override;

private:
    QLocale m_locale;
    std::string m_decimal, m_group;
};

}  // namespace pt
