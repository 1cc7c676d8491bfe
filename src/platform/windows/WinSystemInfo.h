#pragma once

#include <string>
#include <vector>

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
    bool isWindows() override { return true; }
    // The data file in the working folder and the registry key of the settings.
    std::vector<std::string> storagePlaces() override;
};

}  // namespace pt
