#pragma once

#include <memory>

namespace pt {

class MainWindow;
class OnlineWindows;

// Connects the menu items and links that open secondary windows. The returned object
// owns the online windows and lives as long as the main window.
std::unique_ptr<OnlineWindows> WireCommands(MainWindow& window);

}  // namespace pt
