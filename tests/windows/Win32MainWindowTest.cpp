// The Windows main window with fake services: its wiring, under Wine.

// The composition root's commands first: their header orders <windows.h> after the core's.
#include "app/windows/Commands.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/form/MainControls.h"
#include "core/texts/DialogTexts.h"
#include "platform/windows/WideText.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

namespace pt {
namespace {

// The main window with fake services and the composition root's commands.
struct WiredWindow {
    explicit WiredWindow(test::FakeServices& fakes, const test::TempDir& dir)
        : services(Services(fakes, dir)),
          parts(services.input, services.history, services.clock),
          window(services, parts) {
        window.start();
        WireCommands(window, services, parts, windows.emplace(window, services, parts));
    }
    static MainServices Services(test::FakeServices& fakes, const test::TempDir& dir) {
        fakes.system.folder = dir.path().string();
        fakes.system.exe = (dir / "pathtally.exe").string();
        for (const char* off : {"ClosePtHome", "ClosePtNews"})
            WriteSetting(fakes.store, MainKey, off, "1");
        WriteSetting(fakes.store, MainKey, "UpdateCK", "0");
        return fakes.services((dir / "PTDATA.CVD").string());
    }

    MainServices services;
    MainParts parts;
    Win32MainWindow window;
    std::optional<Win32ProgramWindows> windows;
};

// Clicks the data reset's OK once its dialog runs, the pointer having moved just before: a
// reading the cursor source measured that no tick has taken yet.
struct ResetConfirmation {
    test::FakeCursor* cursor = nullptr;
    std::wstring okText;
    bool clicked = false;
};
ResetConfirmation* g_confirmation = nullptr;

void CALLBACK ConfirmResetAfterMotion(HWND, UINT, UINT_PTR, DWORD) {
    ResetConfirmation& c = *g_confirmation;
    if (c.clicked) return;
    const HWND dialog = FindWindowW(L"PathtallyDialog", nullptr);
    const HWND ok = dialog ? FindWindowExW(dialog, nullptr, L"Button", c.okText.c_str()) : nullptr;
    if (!ok) return;
    c.clicked = true;
    c.cursor->push(CursorReading{300, 200, 500.0, 1});
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                 reinterpret_cast<LPARAM>(ok));
}

// Every control a person can click has a command: the window's own, the shutdown page's and
// those of the composition root.
TEST(Win32MainWindow, EveryClickableControlHasACommand) {
    test::TempDir dir;
    test::FakeServices fakes;
    WiredWindow wired(fakes, dir);
    EXPECT_EQ(wired.window.controlsWithoutCommand(), std::vector<std::string>{});
}

// The travel measured up to the confirmed reset is taken in before the totals are zeroed,
// so it is cleared with them instead of landing in the fresh totals at the next tick.
TEST(Win32MainWindow, DataResetClearsTheTravelMeasuredUpToTheConfirmation) {
    test::TempDir dir;
    test::FakeServices fakes;
    WiredWindow wired(fakes, dir);
    StatisticsModel& figures = wired.parts.statistics;
    fakes.cursor.push(CursorReading{100, 100, 2000.0, 1});
    wired.window.presenter().onSamplingTick();
    ASSERT_GE(figures.totals().travel, 2000.0);

    ResetConfirmation confirmation{&fakes.cursor,
                                   Widen(clear_all_texts::Ok.in(wired.window.presenter().lang()))};
    g_confirmation = &confirmation;
    fakes.messages.answers = {MsgAnswer::Yes, MsgAnswer::Ok};
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ConfirmResetAfterMotion);
    wired.window.commands().run(main_controls::ClearAllItem);
    KillTimer(nullptr, timer);
    g_confirmation = nullptr;

    ASSERT_TRUE(confirmation.clicked);
    ASSERT_EQ(fakes.messages.shown.size(), 2u);  // the question, then "done"
    wired.window.presenter().onSamplingTick();
    EXPECT_EQ(figures.todayTravel(), 0.0);
    EXPECT_EQ(figures.totals().travel, 0.0);
}

}  // namespace
}  // namespace pt
