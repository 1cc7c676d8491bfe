#pragma once

#include <QLocale>

#include "platform/NumberFormat.h"

namespace pt {

// The user's number settings from the system locale.
class QtNumberFormat : public NumberFormat {
public:
    explicit QtNumberFormat(const QLocale& locale = QLocale::system()) : m_locale(locale) {}
    std::string decimalSeparator() const override { return m_locale.decimalPoint().toStdString(); }
    std::string groupSeparator() const override { return m_locale.groupSeparator().toStdString(); }
    // Where the locale groups (Indian 12,34,567; Spanish leaves 1234 whole) and with which
    // marks, keeping the plain digits.
    std::string groupWhole(const std::string& digits) const override;

private:
    QLocale m_locale;
};

}  // namespace pt
