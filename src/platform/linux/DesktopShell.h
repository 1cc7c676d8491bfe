#pragma once

#include "core/ports/Shell.h"

namespace pt {

// Opens addresses with the desktop's handler (QDesktopServices; no shell command line).
class DesktopShell : public Shell {
public:
    void open(const std::string& address) override;
};

}  // namespace pt
