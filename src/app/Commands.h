#pragma once

#include <memory>

namespace pt {

class MainWindow;
class OnlineWindows;
struct MainParts;
struct MainServices;

// Registers the commands of the menu items and links that open secondary windows. The
// returned object owns the online windows and lives as long as the main window.
std::unique_ptr<OnlineWindows> WireCommands(MainWindow& window, const MainServices& services,
                                            MainParts& parts);

}  // namespace pt
