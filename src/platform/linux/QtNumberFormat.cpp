#include "platform/linux/QtNumberFormat.h"

namespace pt {

std::string QtNumberFormat::groupWhole(const std::string& digits) const {
    bool ok = digits.size() <= 18 && !digits.empty();
    const qulonglong value = ok ? QString::fromStdString(digits).toULongLong(&ok) : 0;
    if (!ok) return NumberFormat::groupWhole(digits);
    // The locale's own text of the number gives the places and marks of its groups; its
    // digits (which may be of another script) are replaced by ours, in order.
    const QString localized = m_locale.toString(value);
    QString grouped;
    int next = 0;
    for (const QChar c : localized) {
        if (c.isDigit()) {
            if (next >= static_cast<int>(digits.size())) return NumberFormat::groupWhole(digits);
            grouped += QLatin1Char(digits[static_cast<size_t>(next++)]);
        } else {
            grouped += c;
        }
    }
    if (next != static_cast<int>(digits.size())) return NumberFormat::groupWhole(digits);
    return grouped.toStdString();
}

}  // namespace pt
