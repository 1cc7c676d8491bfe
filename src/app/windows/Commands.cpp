#include "Commands.h"

#include "core/shell/ProgramCommands.h"

namespace pt {

Win32ProgramWindows::Win32ProgramWindows(Win32MainWindow& window, const MainServices& s,
                                         MainParts& parts)
    : dialogs(window.handle(), window.font(), s.messages, s.clock, window.presenter().lang()),
      online(window.handle(), window.font(), s.shell, s.store, s.messages,
             window.presenter().lang(), window.presenter().versionText(),
             [&parts] { return parts.statistics.points(); }) {}

void WireCommands(Win32MainWindow& window, const MainServices& services, MainParts& parts,
                  Win32ProgramWindows& windows) {
    RegisterProgramCommands(window.commands(), services, parts, window.presenter(), windows.dialogs,
                            windows.online.commands());
    OnlineCommands& online = windows.online.commands();
    window.whenShown([&online] { online.mainWindowShown(); });
}

}  // namespace pt
