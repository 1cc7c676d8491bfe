#include "Commands.h"

#include "ui/MainWindow.h"

namespace pt {

void WireCommands(MainWindow& window) {
    (void)window;
}

}  // namespace pt
