#pragma once

#include "core/startup/MainParts.h"
#include "core/startup/MainPresenter.h"
#include "ui/win32/Win32MainWindow.h"
#include "ui/win32/Win32OnlineWindows.h"
#include "ui/win32/Win32ProgramDialogs.h"

namespace pt {

// The Win32 dialogs and site windows the program's commands open; lives as long as the main
// window.
struct Win32ProgramWindows {
    Win32ProgramWindows(Win32MainWindow& window, const MainServices& services, MainParts& parts);

    Win32ProgramDialogs dialogs;
    Win32OnlineWindows online;
};

// Registers the program's commands (RegisterProgramCommands) with the Win32 dialogs and site
// windows, and runs the program's own update check when the window is shown.
void WireCommands(Win32MainWindow& window, const MainServices& services, MainParts& parts,
                  Win32ProgramWindows& windows);

}  // namespace pt
