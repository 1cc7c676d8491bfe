// The smaller Win32 services and the input and pointer sources, under Wine.

#include <gtest/gtest.h>

#define PT_WIDEN2(text) L##text
#define PT_WIDEN(text) PT_WIDEN2(text)
#define PT_WIDE_BINARY_DIR PT_WIDEN(PT_BINARY_DIR)

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/persistence/DataFile.h"
#include "platform/windows/MutexSingleInstance.h"
#include "platform/windows/Win32.h"
#include "platform/windows/WinClock.h"
#include "platform/windows/WinCursorSource.h"
#include "platform/windows/WinDataFolder.h"
#include "platform/windows/WinInputEvents.h"
#include "platform/windows/WinSystemInfo.h"
#include "support/MouseButtonPrint.h"
#include "windows/PointerDriver.h"
#include "windows/PumpUntil.h"

namespace pt {
namespace {

using Clock = std::chrono::steady_clock;

TEST(MutexSingleInstance, SecondClaimIsRefusedUntilTheFirstEnds) {
    auto first = std::make_unique<MutexSingleInstance>(L"Local\\Pathtally.Test.Instance");
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->acquire());  // asking again keeps the claim
    MutexSingleInstance second(L"Local\\Pathtally.Test.Instance");
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST(WinInputEvents, HeldKeysCountOnceAndBothShiftsAreShift) {
    WinInputEvents input;
    EXPECT_EQ(input.keyTransition('A', true), 'A');
    EXPECT_EQ(input.keyTransition('A', true), 0);  // auto-repeat
    EXPECT_EQ(input.keyTransition('A', false), 0);
    EXPECT_EQ(input.keyTransition('A', true), 'A');
    EXPECT_EQ(input.keyTransition(VK_LSHIFT, true), 16);
    EXPECT_EQ(input.keyTransition(VK_RSHIFT, true), 16);
    EXPECT_EQ(input.keyTransition(VK_RCONTROL, true), 17);
    EXPECT_EQ(input.keyTransition(0, true), 0);
    EXPECT_EQ(input.keyTransition(300, true), 0);
}

TEST(WinInputEvents, OnlyTheThreeButtonDownMessagesArePresses) {
    EXPECT_EQ(ButtonPressOfMessage(WM_LBUTTONDOWN), MouseButton::Left);
    EXPECT_EQ(ButtonPressOfMessage(WM_RBUTTONDOWN), MouseButton::Right);
    EXPECT_EQ(ButtonPressOfMessage(WM_MBUTTONDOWN), MouseButton::Middle);
    for (const unsigned message : std::initializer_list<unsigned>{
             WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_LBUTTONDBLCLK,
             WM_MOUSEWHEEL, WM_MOUSEHWHEEL, WM_XBUTTONDOWN, WM_XBUTTONUP, 0u})
        EXPECT_EQ(ButtonPressOfMessage(message), std::nullopt) << message;
}

TEST(WinInputEvents, HooksSeeInjectedClicksAndKeysOnce) {
    WinInputEvents input;
    std::vector<MouseButton> buttons;
    std::vector<int> keys;
    ASSERT_TRUE(input.installMouseHook([&](MouseButton b) { buttons.push_back(b); }));
    ASSERT_TRUE(
        input.installMouseHook([&](MouseButton b) { buttons.push_back(b); }));  // still one hook
    ASSERT_TRUE(input.connectKeys([&](int k) { keys.push_back(k); }));

    INPUT events[6]{};
    events[0].type = events[1].type = events[2].type = events[3].type = INPUT_MOUSE;
    events[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    events[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    events[2].mi.dwFlags = MOUSEEVENTF_MIDDLEDOWN;
    events[3].mi.dwFlags = MOUSEEVENTF_MIDDLEUP;
    events[4].type = events[5].type = INPUT_KEYBOARD;
    events[4].ki.wVk = VK_F5;
    events[5].ki.wVk = VK_F5;
    events[5].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(6, events, sizeof(INPUT)), 6u);
    ASSERT_TRUE(PumpUntil([&] { return buttons.size() >= 2 && !keys.empty(); }));
    EXPECT_EQ(buttons, (std::vector<MouseButton>{MouseButton::Right, MouseButton::Middle}));
    EXPECT_EQ(keys, (std::vector<int>{VK_F5}));

    input.removeMouseHook();
    input.disconnectKeys();
    ASSERT_EQ(SendInput(2, events, sizeof(INPUT)), 2u);
    PumpUntil([] { return false; }, std::chrono::seconds(0));
    EXPECT_EQ(buttons.size(), 2u);
}

TEST(WinCursorSource, FollowsThePointerAndSumsStraightMoves) {
    WinCursorSource cursor;
    ASSERT_TRUE(PumpUntil([&] { return cursor.running(); }));
    ASSERT_TRUE(MovePointer(100, 100));
    std::optional<CursorReading> last;
    ASSERT_TRUE(PumpUntil([&] {
        auto r = cursor.take();
        if (r) last = r;
        return r && r->x == 100 && r->y == 100;
    })) << "last read "
        << (last ? last->x : -1) << "," << (last ? last->y : -1);
    ASSERT_TRUE(MovePointer(400, 500));  // 300 across, 400 down: 500 long
    double travel = 0;
    std::uint64_t samples = 0;
    ASSERT_TRUE(PumpUntil([&] {
        auto r = cursor.take();
        if (!r) return false;
        travel += r->travel;
        samples += r->samples;
        return r->x == 400 && r->y == 500;
    }));
    EXPECT_DOUBLE_EQ(travel, 500.0);
    EXPECT_GE(samples, 1u);
}

TEST(ReadsAsDate, CalendarDatesInTheUsualOrders) {
    for (const char* text : {"2026/12/8", "2026-12-08", "8.12.2026", "12/31/2026", "31/12/2026",
                             " 2024/2/29 ", "2026年12月8日"})
        EXPECT_TRUE(ReadsAsDate(text)) << text;
    for (const char* text : {"", "2026/13/40", "2025/2/29", "2026/12", "2026/12/8/1", "abc",
                             "2026/12-8", "21:30:05", "2026年12月"})
        EXPECT_FALSE(ReadsAsDate(text)) << text;
}

TEST(WinClock, UptimeIsSixtyFourBitAndMovesForward) {
    WinClock clock;
    const std::uint64_t a = clock.millisecondsSinceBoot();
    const LocalTime t = clock.now();
    EXPECT_GE(t.weekday, 1);
    EXPECT_LE(t.weekday, 7);
    EXPECT_FALSE(clock.shortDate().empty());
    EXPECT_TRUE(clock.isDate(clock.shortDate())) << clock.shortDate();
    ASSERT_TRUE(PumpUntil([&] { return clock.millisecondsSinceBoot() > a; }));
}

}  // namespace
}  // namespace pt

namespace pt {
namespace {

namespace fs = std::filesystem;

// Started from a folder that holds an earlier run's data file, the program works in the
// user's application-data folder and takes the file over; a damaged one stays put.
TEST(WinDataFolder, WorksInTheUsersFolderAndTakesAnOldDataFileOver) {
    const char* root = std::getenv("PT_TEST_ROOT");
    ASSERT_NE(root, nullptr);
    const fs::path appData = fs::path(root) / "appdata", start = fs::path(root) / "start",
                   damagedStart = fs::path(root) / "damaged";
    fs::create_directories(start);
    fs::create_directories(damagedStart);
    ASSERT_TRUE(SetEnvironmentVariableW(L"APPDATA", appData.wstring().c_str()));
    _wputenv_s(L"APPDATA", appData.wstring().c_str());
    const std::string computer = WinSystemInfo().computerName();
    DataRecord record;
    record.computerName = computer;
    record.savedAt = "2026-12-08T10:00:00";
    record.totalClick = record.leftClick = 42;
    record.totalKeys = DynamicValue::Int16(7);
    ASSERT_TRUE(DataFile(start / DataFileName).save(record));

    fs::current_path(start);
    const DataFolderEntry entry = EnterWinDataFolder(DataFileName, computer);
    ASSERT_TRUE(entry.entered);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), appData / "Pathtally"));
    EXPECT_EQ(entry.takeover, TakeoverResult::Moved);
    EXPECT_FALSE(fs::exists(start / DataFileName));
    EXPECT_EQ(DataFile(DataFileName).load(computer).fileTotalClick, 42);

    std::ofstream(damagedStart / DataFileName) << "not a data file";
    fs::current_path(damagedStart);
    const DataFolderEntry again = EnterWinDataFolder(DataFileName, computer);
    EXPECT_EQ(again.takeover, TakeoverResult::LeftInPlace);
    EXPECT_TRUE(fs::exists(damagedStart / DataFileName));
    EXPECT_EQ(DataFile(DataFileName).load(computer).fileTotalClick, 42);
}

}  // namespace
}  // namespace pt

namespace pt {
namespace {

// pathtally.exe carries its icon (for the window, the tray and Explorer) and its version.
TEST(ProgramResources, IconAndVersionAreBuiltIn) {
    const std::wstring exe = L"Z:" PT_WIDE_BINARY_DIR L"/pathtally.exe";
    HMODULE program = LoadLibraryExW(exe.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr) << "cannot open pathtally.exe";
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr)
        << "no icon group 1";  // RT_GROUP_ICON
    HICON icon =
        static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)), nullptr)
        << "no version information";  // RT_VERSION
    FreeLibrary(program);
}

}  // namespace
}  // namespace pt
