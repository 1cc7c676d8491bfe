#include "Commands.h"

#include "core/shell/ProgramCommands.h"
#include "core/startup/MainParts.h"
#include "ui/MainWindow.h"

namespace pt {

QtProgramWindows::QtProgramWindows(MainWindow& window, const MainServices& s, MainParts& parts)
    : dialogs(&window, s.clock, s.messages, window.presenter().lang()),
      online(s.store, s.messages, window.presenter().lang(), window.presenter().versionText(),
             [&parts] { return parts.statistics.points(); }) {}

std::unique_ptr<QtProgramWindows> WireCommands(MainWindow& window, const MainServices& services,
                                               MainParts& parts) {
    auto windows = std::make_unique<QtProgramWindows>(window, services, parts);
    RegisterProgramCommands(window.commands(), services, parts, window.presenter(),
                            windows->dialogs, windows->online.commands());
    OnlineCommands& online = windows->online.commands();
    QObject::connect(&window, &MainWindow::shown, &window, [&online] { online.mainWindowShown(); });
    return windows;
}

}  // namespace pt
