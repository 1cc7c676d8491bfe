#pragma once

// Before any header that brings in <windows.h>, whose WM_* macros the click hook's names
// would meet.
#include "core/startup/MainParts.h"
#include "core/startup/MainPresenter.h"

#include "UpdateChecks.h"
#include "ui/win32/Win32MainWindow.h"

namespace pt {

// Registers the commands of the menu items and links that open the dialogs, the site and the
// update check, and runs the program's own update check when the window is shown.
void WireCommands(Win32MainWindow& window, const MainServices& services, MainParts& parts,
                  UpdateChecks& updates);

}  // namespace pt
