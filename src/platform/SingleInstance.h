#pragma once

#include <string>

namespace pt {

// One running instance per user. A crashed instance never blocks the next start.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when this process is the only instance (and now holds the claim).
    virtual bool acquire() = 0;
    // Why acquire() failed when no other instance holds the claim (no safe place for it);
    // empty otherwise.
    virtual std::string failure() const { return {}; }
};

}  // namespace pt
