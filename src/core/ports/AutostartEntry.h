#pragma once

#include <string>

namespace pt {

// The entry that starts the program with the session. An empty path means the entry is
// kept but switched off.
class AutostartEntry {
public:
    virtual ~AutostartEntry() = default;
    // The command the entry runs, or empty when absent or switched off.
    virtual std::string read() = 0;
    virtual void write(const std::string& path) = 0;
};

}  // namespace pt
