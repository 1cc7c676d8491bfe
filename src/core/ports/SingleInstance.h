#pragma once

#include <functional>
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
    // A later start that did not acquire: asks the running instance to bring its window to
    // the front. False when that instance cannot be reached.
    virtual bool activateRunning() { return false; }
    // The running instance: `handler` runs on the UI thread whenever a later start asks.
    virtual void onActivationRequested(std::function<void()> /*handler*/) {}
};

}  // namespace pt
