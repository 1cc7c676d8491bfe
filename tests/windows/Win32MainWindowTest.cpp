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
#include "windows/PumpUntil.h"

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

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The status bar's panels run along the bottom edge side by side, show what the ticks
// write, and the maker's panel opens the site when clicked.
TEST(Win32MainWindow, TheStatusPanelsShowTheTicksAndTheMakersPanelOpensTheSite) {
    test::TempDir dir;
    test::FakeServices fakes;
    WiredWindow wired(fakes, dir);
    const HWND main = wired.window.handle();
    wired.window.showWindow(true);
    RECT client{};
    GetClientRect(main, &client);
    std::vector<HWND> panels;
    for (ControlId id : main_controls::Panels) {
        const HWND panel = GetDlgItem(
            main, static_cast<int>(FirstBoundId + wired.window.presenter().form().slot(id)));
        ASSERT_NE(panel, nullptr) << id.name;
        panels.push_back(panel);
    }
    int left = 0;
    for (HWND panel : panels) {
        RECT r{};
        GetWindowRect(panel, &r);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, left);
        EXPECT_EQ(r.bottom, client.bottom);
        EXPECT_GT(r.bottom - r.top, 12);
        left = r.right;
    }
    EXPECT_EQ(left, client.right);

    // The second tick writes the date, the clicks and today's use time.
    const FormModel& form = wired.window.presenter().form();
    ASSERT_TRUE(PumpUntil([&] {
        return TextOf(panels[3]) == Widen(form.get(main_controls::UseTimePanel).text) &&
               TextOf(panels[3]) != L"0:00:00";
    }));
    EXPECT_EQ(TextOf(panels[0]), Widen(form.get(main_controls::DatePanel).text));
    EXPECT_EQ(TextOf(panels[4]), L"Corvandel");

    SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(panels[4]), STN_CLICKED),
                 reinterpret_cast<LPARAM>(panels[4]));
    ASSERT_EQ(fakes.shell.opened.size(), 1u);
    EXPECT_EQ(fakes.shell.opened[0].rfind("http", 0), 0u) << fakes.shell.opened[0];
    // Another panel takes no clicks.
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(panels[1]), STN_CLICKED),
                 reinterpret_cast<LPARAM>(panels[1]));
    EXPECT_EQ(fakes.shell.opened.size(), 1u);
}

}  // namespace
}  // namespace pt
