#pragma once

namespace pt {

class MainWindow;

// Connects the menu items and links that open secondary windows.
void WireCommands(MainWindow& window);

}  // namespace pt
