// The Windows main window with fake services: its wiring, under Wine.

// The composition root's commands first: their header orders <windows.h> after the core's.
#include "app/windows/Commands.h"

#include <gtest/gtest.h>

#include "support/FakeServices.h"
#include "support/TempDir.h"

namespace pt {
namespace {

// Every control a person can click has a command: the window's own, the shutdown page's and
// those of the composition root.
TEST(Win32MainWindow, EveryClickableControlHasACommand) {
    test::TempDir dir;
    test::FakeServices fakes;
    fakes.system.folder = dir.path().string();
    fakes.system.exe = (dir / "pathtally.exe").string();
    for (const char* off : {"ClosePtHome", "ClosePtNews"})
        WriteSetting(fakes.store, MainKey, off, "1");
    WriteSetting(fakes.store, MainKey, "UpdateCK", "0");
    const MainServices services = fakes.services((dir / "PTDATA.CVD").string());
    MainParts parts(services.input, services.history, services.clock);
    Win32MainWindow window(services, parts);
    window.start();
    UpdateChecks updates(window, services.store);
    WireCommands(window, services, parts, updates);
    EXPECT_EQ(window.controlsWithoutCommand(), std::vector<std::string>{});
}

}  // namespace
}  // namespace pt
