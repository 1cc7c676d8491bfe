#pragma once

#include <functional>
#include <string>

namespace pt {

enum class PowerAction { LogOff, Reboot, PowerOff };

// Why the system turned a power request down, as far as the user needs to know.
enum class PowerRefusal {
    Denied,         // the system said no, for a reason of its own
    NotAuthorized,  // the user may not do it (policy, authorization refused)
    NoService,      // no system service there to ask (no bus, no logind, no such method)
    NoAnswer,       // the system did not answer in time
};

// The outcome of a power request: accepted (the session or system is going down) or
// refused. `detail` is the system's full error text, for the log only: it is raw and may
// be long, so the user is shown `why`.
struct PowerResult {
    bool accepted = false;
    PowerRefusal why = PowerRefusal::Denied;
    std::string detail;
};

class Power {
public:
    virtual ~Power() = default;
    // Whatever privilege the platform needs before a power request (none on Linux:
    // logind authorises the request itself).
    virtual void enablePrivilege() {}
    // Sends the request and returns without waiting for the system: `done` runs later on
    // the calling thread's event loop with the outcome (or before request returns where the
    // platform knows it at once). PowerOff is forced (running programs are not asked to
    // agree); LogOff and Reboot let them answer as a normal log-off or restart does.
    virtual void request(PowerAction action, std::function<void(const PowerResult&)> done) = 0;
};

}  // namespace pt
