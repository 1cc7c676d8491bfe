#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace pt {

// A dynamically typed number: empty, 16-bit integer, 32-bit integer, 64-bit float or
// text. Empty counts as 0 in arithmetic, compares equal to 0 and reads as "" as text.
// Integer sums that no longer fit widen (16 -> 32 bit -> double) instead of overflowing.
class DynamicValue {
public:
    enum class Kind { Empty, Int16, Int32, Double, Text };

    DynamicValue() = default;
    static DynamicValue Int16(std::int16_t v) { return DynamicValue(v); }
    static DynamicValue Int32(std::int32_t v) { return DynamicValue(v); }
    static DynamicValue Double(double v) { return DynamicValue(v); }
    static DynamicValue Text(std::string v) { return DynamicValue(std::move(v)); }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }

    // Numeric value; text is read leniently (a text without a number is 0).
    double toDouble() const;
    // Plain decimal without grouping; a whole double shows no decimal point.
    std::string toText() const;

    // Adds a whole number, widening as needed (empty + 1 is the 16-bit integer 1).
    void add(std::int64_t amount);
    void increment() { add(1); }

    friend bool operator==(const DynamicValue& a, const DynamicValue& b);

private:
    explicit DynamicValue(std::int16_t v) : m_value(v) {}
    explicit DynamicValue(std::int32_t v) : m_value(v) {}
    explicit DynamicValue(double v) : m_value(v) {}
    explicit DynamicValue(std::string v) : m_value(std::move(v)) {}

    std::variant<std::monostate, std::int16_t, std::int32_t, double, std::string> m_value;
};

// Compares numerically (empty == 0); text against text compares as text.
bool operator==(const DynamicValue& a, const DynamicValue& b);

}  // namespace pt
