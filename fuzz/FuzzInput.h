#pragma once

// Cuts a fuzzer's bytes into the pieces a target needs: texts separated by line feeds,
// and small numbers taken from the front.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace pt::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    // The next byte as a number (0 once the input is used up).
    unsigned byte() {
        if (m_rest.empty()) return 0;
        const auto b = static_cast<unsigned char>(m_rest.front());
        m_rest.remove_prefix(1);
        return b;
    }

    // The text up to the next line feed (the rest when there is none).
    std::string text() {
        const auto end = m_rest.find('\n');
        std::string out(m_rest.substr(0, end));
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        return out;
    }

    bool empty() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

// A property of the code under test that does not hold: libFuzzer keeps the input.
[[noreturn]] inline void Broken() {
    std::abort();
}

}  // namespace pt::fuzz
