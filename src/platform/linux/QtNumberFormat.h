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

private:
    QLocale m_locale;
};

}  // namespace pt
