#pragma once

#include <memory>

#include "ui/OnlineWindows.h"
#include "ui/QtProgramDialogs.h"

namespace pt {

class MainWindow;
struct MainParts;
struct MainServices;

// The Qt dialogs and site windows the program's commands open; lives as long as the main
// window.
struct QtProgramWindows {
    QtProgramWindows(MainWindow& window, const MainServices& services, MainParts& parts);

    QtProgramDialogs dialogs;
    OnlineWindows online;
};

// Registers the program's commands (RegisterProgramCommands) with the Qt dialogs and site
// windows, and runs the program's own update check when the window is shown.
std::unique_ptr<QtProgramWindows> WireCommands(MainWindow& window, const MainServices& services,
                                               MainParts& parts);

}  // namespace pt
