// The pointer's travel from the low-level mouse hook, under Wine: paths driven with XTest
// over a window of this test's own (Wine hands the hooks the input that reaches its own
// windows), moves no hook sees, and a pointer at rest.

#include <gtest/gtest.h>

#define PT_WIDEN2(text) L##text
#define PT_WIDEN(text) PT_WIDEN2(text)

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/stats/Chord.h"
#include "platform/windows/CreateWinCursorSource.h"
#include "platform/windows/Win32.h"
#include "platform/windows/WinHookCursorSource.h"
#include "windows/PointerDriver.h"
#include "windows/PumpUntil.h"

namespace pt {
namespace {

using namespace std::chrono_literals;

constexpr int kWindowWidth = 900, kWindowHeight = 700;  // at the screen's top-left corner

double PathLength(const std::vector<POINT>& path) {
    double length = 0;
    for (size_t i = 1; i < path.size(); ++i)
        length += ChordLength(path[i - 1].x, path[i - 1].y, path[i].x, path[i].y);
    return length;
}

// The points of a straight line from a to b, `step` pixels apart, rounded to pixels;
// without a itself.
void LineTo(std::vector<POINT>& path, POINT a, POINT b, double step) {
    const double length = ChordLength(a.x, a.y, b.x, b.y);
    const int steps = std::max(1, static_cast<int>(std::lround(length / step)));
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        path.push_back({static_cast<LONG>(std::lround(a.x + (b.x - a.x) * t)),
                        static_cast<LONG>(std::lround(a.y + (b.y - a.y) * t))});
    }
}

// Nine tenths of a turn, so that the last point is nowhere else on the path.
std::vector<POINT> Circle(POINT centre, double radius, int points) {
    std::vector<POINT> path;
    for (int i = 0; i <= points * 9 / 10; ++i) {
        const double a = 2 * 3.14159265358979323846 * i / points;
        path.push_back({static_cast<LONG>(std::lround(centre.x + radius * std::cos(a))),
                        static_cast<LONG>(std::lround(centre.y + radius * std::sin(a)))});
    }
    return path;
}

std::vector<POINT> ZigZag() {
    std::vector<POINT> path{{100, 100}};
    for (int tooth = 1; tooth <= 5; ++tooth)
        LineTo(path, path.back(), {100 + tooth * 150, tooth % 2 ? 550 : 100}, 4);
    return path;
}

LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class WinHookCursorSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW cls{};
        cls.lpfnWndProc = PlainWindowProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        cls.lpszClassName = L"PathtallyHookTestWindow";
        RegisterClassW(&cls);
        m_window = CreateWindowExW(WS_EX_TOPMOST, cls.lpszClassName, L"hook test",
                                   WS_POPUP | WS_VISIBLE, 0, 0, kWindowWidth, kWindowHeight,
                                   nullptr, nullptr, cls.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
        UpdateWindow(m_window);
        ASSERT_TRUE(m_source.available()) << "the low-level mouse hook was not installed";
        PumpUntil([] { return false; }, 0s);
    }
    void TearDown() override {
        if (m_window) DestroyWindow(m_window);
    }

    // Takes what the source counted until it reports `p` (or the time is up), the driver
    // being done; the travel. `p` must be nowhere else on a driven path.
    double travelUntilAt(POINT p, PointerDriver* driver = nullptr) {
        double travel = 0;
        const bool reached = PumpUntil(
            [&] {
                if (auto r = m_source.take()) {
                    travel += r->travel;
                    m_last = {r->x, r->y};
                }
                return (!driver || driver->finished()) && m_last.x == p.x && m_last.y == p.y;
            },
            20s);
        EXPECT_TRUE(reached) << "the source reports " << m_last.x << "," << m_last.y << ", not "
                             << p.x << "," << p.y;
        return travel;
    }

    // Puts the pointer on `p` and drops what was counted on the way there.
    void placeAt(POINT p) {
        ASSERT_TRUE(MovePointer(p.x, p.y));
        travelUntilAt(p);
    }

    // Drives `path` from its first point, through `drive` (which gets the rest of the path);
    // the travel counted over its true length.
    template <class Drive>
    double measure(const char* name, const std::vector<POINT>& path, std::uint64_t minHookMoves,
                   Drive drive) {
        placeAt(path.front());
        const std::uint64_t hookMovesBefore = m_source.hookMoves();
        PointerDriver driver;
        drive(driver, std::vector<POINT>(path.begin() + 1, path.end()));
        const double travel = travelUntilAt(path.back(), &driver);
        const double ratio = travel / PathLength(path);
        const std::uint64_t hookMoves = m_source.hookMoves() - hookMovesBefore;
        std::printf("%s: %zu moves, %.1f px of %.1f px, ratio %.4f, hook moves %llu\n", name,
                    path.size() - 1, travel, PathLength(path), ratio,
                    static_cast<unsigned long long>(hookMoves));
        // The hook measured it, not the slow checks.
        EXPECT_GE(hookMoves, minHookMoves) << name;
        return ratio;
    }

    // Moved by XTest, a move every `intervalUs` microseconds, as a mouse reports them.
    double driveWithXTest(const char* name, const std::vector<POINT>& path, int intervalUs) {
        // Wine keeps only the last of the motion events it reads at once.
        return measure(name, path, 20, [&](PointerDriver& driver, const std::vector<POINT>& rest) {
            EXPECT_TRUE(driver.start(rest, intervalUs));
        });
    }

    // Injected with SendInput, as a mouse's driver hands its moves to the system: one move
    // every `intervalMs` milliseconds from a thread of its own, or (0) all in one call, as
    // fast as the system takes them.
    double driveWithSendInput(const char* name, const std::vector<POINT>& path, int intervalMs) {
        // The hook sees every injected move.
        return measure(
            name, path, path.size() - 1, [&](PointerDriver&, const std::vector<POINT>& rest) {
                std::vector<INPUT> moves(rest.size());
                const int width = GetSystemMetrics(SM_CXSCREEN),
                          height = GetSystemMetrics(SM_CYSCREEN);
                for (size_t i = 0; i < rest.size(); ++i) {
                    moves[i].type = INPUT_MOUSE;
                    // Normalised to 0..65535, rounded up so that the system's scaling back
                    // gives the same pixel.
                    moves[i].mi.dx = static_cast<LONG>((rest[i].x * 65536LL + width - 1) / width);
                    moves[i].mi.dy = static_cast<LONG>((rest[i].y * 65536LL + height - 1) / height);
                    moves[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
                }
                if (intervalMs == 0) {
                    EXPECT_EQ(
                        SendInput(static_cast<UINT>(moves.size()), moves.data(), sizeof(INPUT)),
                        moves.size());
                    return;
                }
                // This thread pumps while the moves go in: the hook thread needs nobody, but the
                // window's messages should not pile up.
                std::thread injector([&] {
                    for (INPUT& move : moves) {
                        SendInput(1, &move, sizeof(INPUT));
                        Sleep(static_cast<DWORD>(intervalMs));
                    }
                });
                PumpUntil([] { return false; }, 0s);
                injector.join();
            });
    }

    HWND m_window = nullptr;
    WinHookCursorSource m_source;
    POINT m_last{-1, -1};
};

TEST_F(WinHookCursorSourceTest, ACircleAZigZagAndABurstOverTheWindowGiveTheirTrueLength) {
    // A move a millisecond, as a mouse reports them.
    const double circle = driveWithSendInput("circle", Circle({450, 350}, 250, 720), 1);
    EXPECT_GE(circle, 0.995);
    EXPECT_LE(circle, 1.005);
    const double zigzag = driveWithSendInput("zig-zag", ZigZag(), 1);
    EXPECT_GE(zigzag, 0.995);
    EXPECT_LE(zigzag, 1.005);
    // Out along a line and back along another, as fast as the system takes the moves.
    std::vector<POINT> burst{{50, 620}};
    LineTo(burst, burst.back(), {850, 620}, 2);
    LineTo(burst, burst.back(), {100, 680}, 2);
    const double fast = driveWithSendInput("burst", burst, 0);
    EXPECT_GE(fast, 0.995);
    EXPECT_LE(fast, 1.005);
}

// Through the X server, as a person's mouse moves under Wine: Wine hands the hooks one move
// for each batch of motion events it reads at once (it keeps the last of them), so a path
// comes out as chords between fewer positions when Wine falls behind the X server; never
// longer than the path.
TEST_F(WinHookCursorSourceTest, ACircleMovedThroughTheXServerIsMeasuredByTheHook) {
    const double circle = driveWithXTest("circle through X", Circle({450, 350}, 250, 720), 1000);
    EXPECT_GE(circle, 0.95);
    EXPECT_LE(circle, 1.005);
}

TEST_F(WinHookCursorSourceTest, MovesNoHookSeesAreCountedAndNothingIsAddedAtRest) {
    placeAt({300, 300});
    // Outside Wine's windows: the X server moves the pointer, no hook hears of it.
    const std::uint64_t unseen = m_source.unseenMoves();
    ASSERT_TRUE(MovePointer(1100, 900));
    EXPECT_DOUBLE_EQ(travelUntilAt({1100, 900}), 1000.0);  // 800 across, 600 down
    EXPECT_GT(m_source.unseenMoves(), unseen);

    // Another program's SetCursorPos.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring command = L"Z:" PT_WIDEN(PT_BINARY_DIR) L"/tests/set_cursor_pos.exe 200 150";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    ASSERT_EQ(exitCode, 0u) << "SetCursorPos failed";
    EXPECT_NEAR(travelUntilAt({200, 150}), ChordLength(1100, 900, 200, 150), 1e-9);

    // At rest: the checks go on and add nothing (a late report of the same position, as
    // Wine's own for the warp, may come; it adds no travel and moves nothing).
    const std::uint64_t checks = m_source.positionChecks();
    double travel = 0;
    PumpUntil(
        [&] {
            if (auto r = m_source.take()) {
                travel += r->travel;
                EXPECT_EQ(r->x, 200);
                EXPECT_EQ(r->y, 150);
            }
            return m_source.positionChecks() >= checks + 4;
        },
        5s);
    if (auto r = m_source.take()) travel += r->travel;
    EXPECT_GE(m_source.positionChecks(), checks + 4);
    EXPECT_EQ(travel, 0.0);

    // Still at rest after eight quiet checks: once a second, no longer four times.
    const std::uint64_t quiet = m_source.positionChecks();
    PumpUntil([&] { return m_source.positionChecks() >= quiet + 8; }, 5s);
    const std::uint64_t resting = m_source.positionChecks();
    PumpUntil([] { return false; }, 3s);
    EXPECT_LE(m_source.positionChecks() - resting, 5u) << "the checks did not slow down at rest";
    EXPECT_GE(m_source.positionChecks() - resting, 1u) << "the checks stopped";
    // A warp at rest is still counted.
    command = L"Z:" PT_WIDEN(PT_BINARY_DIR) L"/tests/set_cursor_pos.exe 260 230";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_NEAR(travelUntilAt({260, 230}), ChordLength(200, 150, 260, 230), 1e-9);
}

TEST(CreateWinCursorSource, TakesTheHookWhereItCanBeInstalled) {
    auto source = CreateWinCursorSource();
    EXPECT_NE(dynamic_cast<WinHookCursorSource*>(source.get()), nullptr);
}

}  // namespace
}  // namespace pt
