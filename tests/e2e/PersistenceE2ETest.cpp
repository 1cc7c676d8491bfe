// The real program under Xvfb: totals survive a kill, and at the next start each total
// comes from the source the start-up merge trusts.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

#include "core/stats/NumberText.h"
#include "support/ProgramRun.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The program with its own home and settings folder.
class ProgramRun : public test::ProgramRun {
public:
    // `workDir` is the data folder, $XDG_DATA_HOME/pathtally; the program starts there.
    ProgramRun(const fs::path& home, const fs::path& config, const fs::path& workDir)
        : test::ProgramRun(workDir, {{"HOME", home.string()},
                                     {"XDG_CONFIG_HOME", config.string()},
                                     {"XDG_DATA_HOME", workDir.parent_path().string()}}) {}
};

class PersistenceE2E : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path home = dir / "home", config = dir / "config", work = dir / "data" / "pathtally";
    fs::path db = config / "pathtally" / "settings.db";
    fs::path dataFile = work / "PTDATA.CVD";

    void SetUp() override {
        fs::create_directories(home);
        fs::create_directories(work);
        // No web pages: the test is about the totals.
        set("SOFTWARE\\Corvandel\\Pathtally", "ClosePtHome", "1");
        set("SOFTWARE\\Corvandel\\Pathtally", "ClosePtNews", "1");
        set("SOFTWARE\\Corvandel\\Pathtally", "SiteRoot", "http://127.0.0.1:9");
        set("SOFTWARE\\Corvandel\\Pathtally", "UpdateCK", "0");
    }

    void set(const std::string& key, const std::string& name, const std::string& value) {
        fs::create_directories(db.parent_path());
        std::string out = test::SqliteShell(
            db,
            "CREATE TABLE IF NOT EXISTS settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE "
            "NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, "
            "name));"
            "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', '" +
                key + "', '" + name + "', '" + value +
                "') ON CONFLICT (root, key, name) DO UPDATE SET value = excluded.value;");
        ASSERT_EQ(out, "");
    }
    std::string get(const std::string& key, const std::string& name) {
        return test::SqliteShell(db,
                                 "SELECT value FROM settings WHERE root = "
                                 "'HKEY_LOCAL_MACHINE' AND key = '" +
                                     key + "' AND name = '" + name + "';");
    }
    std::string main(const std::string& name) {
        return get("SOFTWARE\\Corvandel\\Pathtally", name);
    }
    std::string mirror(const std::string& name) { return get("software\\microsoft\\com3", name); }

    // Waits for the run's first save: the use-time total moves away from `before`. A read
    // the shell could not make (the program holding the database while it sets it up)
    // answers with the same error text for both keys, and is no save.
    std::optional<double> firstSave(ProgramRun& run, const std::string& before) {
        auto deadline = std::chrono::steady_clock::now() + 40s;
        auto isNumber = [](const std::string& text) {
            return !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos;
        };
        while (std::chrono::steady_clock::now() < deadline) {
            if (!run.running()) return std::nullopt;
            std::string now = main("AllUseTime");
            if (isNumber(now) && now != before && mirror("AllUseTime") == now)
                return NumericValue(now);
            std::this_thread::sleep_for(200ms);
        }
        return std::nullopt;
    }
};

TEST_F(PersistenceE2E, TotalsSurviveAKillAndTheMergeTrustsTheRightSource) {
    // First run: move the pointer, wait past the first save, kill.
    double useTime = 0, travel = 0;
    {
        ProgramRun run(home, config, work);
        std::this_thread::sleep_for(3s);
        ASSERT_TRUE(run.running());
        for (int i = 0; i < 30; ++i) {
            std::string cmd = "xdotool mousemove " + std::to_string(100 + (i % 2) * 600) + " " +
                              std::to_string(100 + (i % 3) * 300);
            ASSERT_EQ(std::system(cmd.c_str()), 0);
            std::this_thread::sleep_for(100ms);
        }
        auto saved = firstSave(run, "");
        ASSERT_TRUE(saved);
        run.kill9();
        useTime = *saved;
        travel = NumericValue(main("AllMove"));
        EXPECT_EQ(useTime, 10);  // the first save comes on the tenth tick
        EXPECT_GT(travel, 1000);
        EXPECT_EQ(mirror("Allmove"), main("AllMove"));
        ASSERT_TRUE(fs::exists(dataFile));
        EXPECT_EQ(fs::status(dataFile).permissions() & fs::perms::owner_write, fs::perms::none);
    }

    // Both sources intact: the totals go on from where they were.
    {
        ProgramRun run(home, config, work);
        auto saved = firstSave(run, main("AllUseTime"));
        ASSERT_TRUE(saved);
        run.kill9();
        EXPECT_EQ(*saved, useTime + 10);
        EXPECT_GE(NumericValue(main("AllMove")), travel);
        useTime = *saved;
    }

    // The data file corrupted: it counts for nothing, and the store's lower total wins.
    {
        const std::string lower = NumberToText(useTime - 5);
        set("SOFTWARE\\Corvandel\\Pathtally", "AllUseTime", lower);
        set("software\\microsoft\\com3", "AllUseTime", lower);
        fs::permissions(dataFile, fs::perms::owner_write, fs::perm_options::add);
        fs::resize_file(dataFile, fs::file_size(dataFile) / 2);
        ProgramRun run(home, config, work);
        auto saved = firstSave(run, lower);
        ASSERT_TRUE(saved);
        run.kill9();
        EXPECT_EQ(*saved, useTime - 5 + 10);
        useTime = *saved;
    }

    // The store higher than the file: the store wins while its two copies agree ...
    {
        const std::string higher = NumberToText(useTime + 1000);
        set("SOFTWARE\\Corvandel\\Pathtally", "AllUseTime", higher);
        set("software\\microsoft\\com3", "AllUseTime", higher);
        ProgramRun run(home, config, work);
        auto saved = firstSave(run, higher);
        ASSERT_TRUE(saved);
        run.kill9();
        EXPECT_EQ(*saved, useTime + 1000 + 10);
        useTime = *saved;
    }

    // ... and counts as 0 once the mirror copy was edited: the data file's total wins.
    {
        const std::string edited = NumberToText(useTime + 5000);
        set("SOFTWARE\\Corvandel\\Pathtally", "AllUseTime", NumberToText(useTime + 3000));
        set("software\\microsoft\\com3", "AllUseTime", edited);
        ProgramRun run(home, config, work);
        auto saved = firstSave(run, NumberToText(useTime + 3000));
        ASSERT_TRUE(saved);
        run.kill9();
        EXPECT_EQ(*saved, useTime + 10);
    }
}

TEST_F(PersistenceE2E, EachRunAddsOnlyItsOwnFiguresToTodaysRow) {
    // Years of totals before this run belong to no day of the history.
    set("SOFTWARE\\Corvandel\\Pathtally", "AllUseTime", "5000");
    set("software\\microsoft\\com3", "AllUseTime", "5000");
    auto today = [] {
        const std::time_t now = std::time(nullptr);
        char text[16];
        std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
        return std::string(text);
    };
    for (int runs = 1; runs <= 2; ++runs) {
        ProgramRun run(home, config, work);
        ASSERT_TRUE(firstSave(run, main("AllUseTime")));
        run.kill9();
        EXPECT_EQ(test::SqliteShell(db, "SELECT date, use_seconds FROM days;"),
                  today() + "|" + std::to_string(10 * runs));
        EXPECT_EQ(main("AllUseTime"), std::to_string(5000 + 10 * runs));
    }
}

}  // namespace
}  // namespace pt
