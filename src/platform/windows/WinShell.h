#pragma once

#include <string>

#include "core/ports/Shell.h"

namespace pt {

// ShellExecuteW with the "open" verb: the address is one argument, no command line.
class WinShell : public Shell {
public:
    void open(const std::string& address) override;
};

}  // namespace pt
