// One instance per user: a second start shows the warning and ends when it is closed; the
// first instance goes on undisturbed; a crashed instance never blocks the next start.

#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TrayHost.h"

namespace pt {
namespace {

using namespace std::chrono_literals;
using test::Shell;

class SingleInstanceE2E : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "work");
        std::filesystem::create_directories(dir / "config" / "pathtally");
        // No web pages, no update check: this is about the processes.
        Shell("sqlite3 " + (dir / "config" / "pathtally" / "settings.db").string() +
              " \"CREATE TABLE IF NOT EXISTS settings (root TEXT NOT NULL, key TEXT NOT NULL "
              "COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, "
              "key, name)); INSERT INTO settings VALUES"
              "('HKEY_LOCAL_MACHINE','SOFTWARE\\Corvandel\\Pathtally','ClosePtHome','1'),"
              "('HKEY_LOCAL_MACHINE','SOFTWARE\\Corvandel\\Pathtally','ClosePtNews','1'),"
              "('HKEY_LOCAL_MACHINE','SOFTWARE\\Corvandel\\Pathtally','UpdateCK','0');\"");
        env = {{"XDG_CONFIG_HOME", (dir / "config").string()}};
    }
    static bool WindowNamed(const std::string& regex) { return test::WaitForWindow(regex); }

    test::TempDir dir;
    std::map<std::string, std::string> env;
};

TEST_F(SingleInstanceE2E, ASecondStartWarnsAndEndsWhileTheFirstRunsOn) {
    test::ProgramRun first(dir / "work", env);
    ASSERT_TRUE(WindowNamed("^PathtallyV")) << first.output();

    test::ProgramRun second(dir / "work", env);
    ASSERT_TRUE(WindowNamed("^Pathtally$")) << "the warning box, titled with the product name";
    EXPECT_TRUE(second.running()) << "it waits for the warning to be closed";
    EXPECT_TRUE(test::KeysTo("^Pathtally$", "Return"));
    ASSERT_TRUE(second.waitExit(10s));
    EXPECT_TRUE(WIFEXITED(second.status()) && WEXITSTATUS(second.status()) == 0);
    EXPECT_TRUE(first.running()) << "the first instance is not disturbed";
}

// Without a tray the close box must not strand the program: it keeps running and a second
// start brings its window back to the front.
TEST_F(SingleInstanceE2E, WithoutATrayASecondStartShowsTheClosedWindow) {
    test::ProgramRun first(dir / "work", env);
    ASSERT_TRUE(first.waitForWindow()) << first.output();
    const std::string window = first.visibleWindows("^PathtallyV");
    ASSERT_TRUE(test::RequestClose(window.substr(0, window.find('\n'))));

    test::ProgramRun second(dir / "work", env);
    ASSERT_TRUE(WindowNamed("^Pathtally$")) << "the second start's message";
    EXPECT_FALSE(first.visibleWindows("^PathtallyV").empty()) << "the window is back";
    EXPECT_TRUE(test::KeysTo("^Pathtally$", "Return"));
    ASSERT_TRUE(second.waitExit(10s));
    EXPECT_TRUE(first.running());
}

// With a tray the close box hides the window; a second start shows it again.
TEST_F(SingleInstanceE2E, WithATrayASecondStartShowsTheHiddenWindow) {
    test::TrayHost tray;
    if (!tray.ready()) GTEST_SKIP() << "no tray host (trayer) on this machine";
    test::ProgramRun first(dir / "work", env);
    ASSERT_TRUE(first.waitForWindow()) << first.output();
    const std::string window = first.visibleWindows("^PathtallyV");
    ASSERT_TRUE(test::RequestClose(window.substr(0, window.find('\n'))));
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!first.visibleWindows("^PathtallyV").empty() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(first.visibleWindows("^PathtallyV").empty()) << "closing hides it";

    test::ProgramRun second(dir / "work", env);
    EXPECT_TRUE(first.waitForWindow()) << "the second start brings it back";
    ASSERT_TRUE(WindowNamed("^Pathtally$"));
    EXPECT_TRUE(test::KeysTo("^Pathtally$", "Return"));
    ASSERT_TRUE(second.waitExit(10s));
    EXPECT_TRUE(first.running());
}

TEST_F(SingleInstanceE2E, ACrashedInstanceNeverBlocksTheNextStart) {
    {
        test::ProgramRun crashed(dir / "work", env);
        ASSERT_TRUE(WindowNamed("^PathtallyV"));
        crashed.kill9();  // leaves its lock file and socket behind
    }
    test::ProgramRun next(dir / "work", env);
    ASSERT_TRUE(WindowNamed("^PathtallyV")) << next.output();
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(next.running());
    EXPECT_EQ(Shell("xdotool search --onlyvisible --name '^Pathtally$' >/dev/null 2>&1"), false)
        << "no warning box";
}

}  // namespace
}  // namespace pt
