#pragma once

#include <string>

namespace pt {

enum class PowerAction { LogOff, Reboot, PowerOff };

// The outcome of a power request: accepted (the session or system is going down) or
// refused, with a reason the user can read.
struct PowerResult {
    bool accepted = false;
    std::string reason;
};

class Power {
public:
    virtual ~Power() = default;
    // Whatever privilege the platform needs before a power request (none on Linux:
    // logind authorises the request itself).
    virtual void enablePrivilege() {}
    // PowerOff is forced (running programs are not asked to agree); LogOff and Reboot
    // let them answer as a normal log-off or restart does.
    virtual PowerResult request(PowerAction action) = 0;
};

}  // namespace pt
