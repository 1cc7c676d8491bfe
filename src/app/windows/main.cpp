// The composition root of the Windows program: the Win32 services, the main window and
// its commands.

#include <cstdlib>
#include <memory>

#include "Commands.h"
#include "HistoryExport.h"
#include "core/ports/PlatformServices.h"
#include "core/texts/MainWindowTexts.h"
#include "core/texts/ProgramName.h"
#include "platform/windows/WinMessageBox.h"
#include "ui/win32/Win32MainWindow.h"
#include "ui/win32/Win32WebPage.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // --export-csv needs no window and no claim on the single instance.
    if (const auto exportFile = pt::ExportCsvRequest(GetCommandLineW()))
        return pt::RunWinExportCommand(*exportFile);
    pt::WinMessageBox messages;
    auto platform = pt::CreatePlatformServices();
    // Before anything else: one instance only. The language is not known yet.
    if (!platform->singleInstance().acquire()) {
        messages.show(std::string(pt::main_texts::AlreadyRunning.designed()),
                      std::string(pt::ProgramName), pt::MsgButtons::Ok, pt::MsgIcon::Warning,
                      pt::MsgDefault::First);
        return 0;
    }

    pt::OleApartment ole;  // for the web control of the home strip and news pages

    pt::PlatformServices& p = *platform;
    // The data file lives in the user's own folder, wherever the program was started from.
    p.enterDataFolder();
    pt::MainServices services{p.store(), p.clock(),     p.numberFormat(), p.system(), messages,
                              p.shell(), p.autostart(), p.cursor(),       p.input(),  p.power()};
    services.history = p.history();
    services.inputAccess = &p.inputAccess();
    pt::MainParts parts(services.input, services.history, services.clock);
    pt::Win32MainWindow window(services, parts);
    messages.setOwner(window.handle());
    // Tests run the one-second tick faster (10 to 1000 ms); unset in every real run.
    if (const char* ms = std::getenv("PATHTALLY_TEST_SECOND_MS")) {
        const long value = std::strtol(ms, nullptr, 10);
        if (value >= 10 && value <= 1000) window.secondTickMs = static_cast<unsigned>(value);
    }
    window.start();
    pt::Win32ProgramWindows windows(window, services, parts);
    pt::WireCommands(window, services, parts, windows);
    window.showAtStart();

    HACCEL accelerators = window.createAccelerators();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window.handle(), accelerators, &msg)) continue;
        if (IsDialogMessageW(GetAncestor(msg.hwnd, GA_ROOT), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Exit and power actions have saved already; a quit message from elsewhere saves here.
    window.presenter().saveAll();
    DestroyAcceleratorTable(accelerators);
    return static_cast<int>(msg.wParam);
}
