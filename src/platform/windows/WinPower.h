#pragma once

#include <functional>

#include "core/ports/Power.h"

namespace pt {

// ExitWindowsEx after SE_SHUTDOWN_NAME has been enabled with AdjustTokenPrivileges. It
// returns at once, so the answer is given before request returns; a refusal carries the
// system's own error text as its detail.
class WinPower : public Power {
public:
    void enablePrivilege() override;
    void request(PowerAction action, std::function<void(const PowerResult&)> done) override;
};

}  // namespace pt
