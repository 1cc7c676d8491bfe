#pragma once

#include <string>

#include "core/ports/SystemInfo.h"

namespace pt {

// GetComputerNameW, GetUserNameW, GetModuleFileNameW, GetSystemDefaultLCID.
class WinSystemInfo : public SystemInfo {
public:
    std::string computerName() override;
    std::string userName() override;
    std::string programFolder() override;
    std::string executablePath() override;
    int systemLocaleId() override;
};

}  // namespace pt
