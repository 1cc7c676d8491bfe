#pragma once

#include <string>

namespace pt {

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual std::string computerName() = 0;    // at most 255 characters
    virtual std::string userName() = 0;        // at most 25 characters
    virtual std::string programFolder() = 0;   // folder of the running executable
    virtual std::string executablePath() = 0;  // absolute path of the running executable
    virtual int systemLocaleId() = 0;          // 2052, 1028, 1033, ...
    // True when the power actions can be requested (the counterpart of the NT-family test).
    virtual bool powerActionsAvailable() { return true; }
};

}  // namespace pt
