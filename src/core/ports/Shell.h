#pragma once

#include <string>

namespace pt {

// Hands one web address or "mailto:" text to the desktop (never through a command line).
// The result is not examined; a failure is silent.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const std::string& address) = 0;
};

}  // namespace pt
