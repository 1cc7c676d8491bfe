// One instance per user: a second start shows the warning and ends when it is closed; the
// first instance goes on undisturbed; a crashed instance never blocks the next start.

#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/TempDir.h"

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
