#include "core/stats/DynamicValue.h"

#include <limits>

#include "core/stats/NumberText.h"

namespace pt {

double DynamicValue::toDouble() const {
    switch (kind()) {
        case Kind::Empty:
            return 0;
        case Kind::Int16:
            return std::get<std::int16_t>(m_value);
        case Kind::Int32:
            return std::get<std::int32_t>(m_value);
        case Kind::Double:
            return std::get<double>(m_value);
        case Kind::Text:
            return NumericValue(std::get<std::string>(m_value));
    }
    return 0;
}

std::string DynamicValue::toText() const {
    switch (kind()) {
        case Kind::Empty:
            return {};
        case Kind::Int16:
            return std::to_string(std::get<std::int16_t>(m_value));
        case Kind::Int32:
            return std::to_string(std::get<std::int32_t>(m_value));
        case Kind::Double:
            return NumberToText(std::get<double>(m_value));
        case Kind::Text:
            return std::get<std::string>(m_value);
    }
    return {};
}

void DynamicValue::add(std::int64_t amount) {
    switch (kind()) {
        case Kind::Empty:
        case Kind::Int16:
        case Kind::Int32: {
            std::int64_t sum = static_cast<std::int64_t>(toDouble()) + amount;
            if (kind() != Kind::Int32 && sum >= std::numeric_limits<std::int16_t>::min() &&
                sum <= std::numeric_limits<std::int16_t>::max())
                m_value = static_cast<std::int16_t>(sum);
            else if (sum >= std::numeric_limits<std::int32_t>::min() &&
                     sum <= std::numeric_limits<std::int32_t>::max())
                m_value = static_cast<std::int32_t>(sum);
            else
                m_value = static_cast<double>(sum);
            return;
        }
        case Kind::Double:
        case Kind::Text:
            m_value = toDouble() + static_cast<double>(amount);
            return;
    }
}

bool operator==(const DynamicValue& a, const DynamicValue& b) {
    using K = DynamicValue::Kind;
    if (a.kind() == K::Text && b.kind() == K::Text) return a.toText() == b.toText();
    return a.toDouble() == b.toDouble();
}

}  // namespace pt
