#pragma once

// A home of its own for runs of the real program: HOME, XDG folders, runtime folder and a
// working folder, settings seeded and read through the sqlite3 shell, the data file read
// with the program's own reader, and a user moving and clicking the pointer.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "core/persistence/DataFile.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/NumberText.h"
#include "support/ProgramProcess.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

namespace pt::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The length of the program's second in these runs: a save every tenth tick is every
// half second.
inline constexpr int TickMs = 50;

// The saved totals, as numbers.
struct Totals {
    double useTime = 0, move = 0, clicks = 0, keys = 0;
};

class Sandbox {
public:
    TempDir dir;
    fs::path home = dir / "home", config = dir / "config", runtime = dir / "run",
             log = dir / "output.log";
    // The program works in its data folder, $XDG_DATA_HOME/pathtally, and is started there.
    fs::path work = dir / "data" / "pathtally";
    fs::path db = config / "pathtally" / "settings.db";
    fs::path dataFile = work / "PTDATA.CVD";

    Sandbox() {
        for (const auto& d : {home, config, runtime, work, dir / "data", dir / "cache"})
            fs::create_directories(d);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        // No web pages and no update check: these runs are about the totals.
        set(MainKey, "ClosePtHome", "1");
        set(MainKey, "ClosePtNews", "1");
        set(MainKey, "SiteRoot", "http://127.0.0.1:9");
        set(MainKey, "UpdateCK", "0");
    }

    std::map<std::string, std::string> environment() const {
        return {{"HOME", home.string()},
                {"XDG_CONFIG_HOME", config.string()},
                {"XDG_RUNTIME_DIR", runtime.string()},
                {"XDG_DATA_HOME", (dir / "data").string()},
                {"XDG_CACHE_HOME", (dir / "cache").string()},
                {"PATHTALLY_TEST_SECOND_MS", std::to_string(TickMs)}};
    }

    std::unique_ptr<ProgramProcess> start() {
        return std::make_unique<ProgramProcess>(work, log, environment());
    }

    void set(std::string_view key, const std::string& name, const std::string& value) {
        fs::create_directories(db.parent_path());
        const std::string out = SqliteShell(
            db,
            "CREATE TABLE IF NOT EXISTS settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE "
            "NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY (root, key, "
            "name));"
            "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', '" +
                std::string(key) + "', '" + name + "', '" + value +
                "') ON CONFLICT (root, key, name) DO UPDATE SET value = excluded.value;");
        EXPECT_EQ(out, "");
    }
    std::string get(std::string_view key, const std::string& name) {
        return SqliteShell(db,
                           "SELECT value FROM settings WHERE root = 'HKEY_LOCAL_MACHINE' AND "
                           "key = '" +
                               std::string(key) + "' AND name = '" + name + "';");
    }

    // The store's totals when both copies of each agree, as the start-up merge reads them.
    std::optional<Totals> storeTotals() {
        const std::string rows = SqliteShell(
            db,
            "SELECT lower(key) || '|' || lower(name) || '|' || value FROM settings WHERE name "
            "IN ('AllUseTime', 'AllMove', 'totalClick', 'KeyDownAll');");
        std::map<std::string, std::string> values;
        std::istringstream lines(rows);
        for (std::string line; std::getline(lines, line);) {
            auto a = line.find('|'), b = line.find('|', a + 1);
            if (a == std::string::npos || b == std::string::npos) return std::nullopt;
            values[line.substr(0, b)] = line.substr(b + 1);
        }
        auto pick = [&](const char* name, double& out) {
            const std::string m = values[std::string("software\\corvandel\\pathtally|") + name];
            const std::string c = values[std::string("software\\microsoft\\com3|") + name];
            out = NumericValue(m) == NumericValue(c) ? NumericValue(m) : 0;
        };
        Totals t;
        pick("allusetime", t.useTime);
        pick("allmove", t.move);
        pick("totalclick", t.clicks);
        pick("keydownall", t.keys);
        return t;
    }

    // "ok" when SQLite finds the database sound.
    std::string storeCheck() { return SqliteShell(db, "PRAGMA integrity_check;"); }

    // The data file read as the program reads it; nullopt when it is damaged.
    std::optional<ParsedDataFile> dataFileContent() const {
        return ParseDataFile(ReadAll(dataFile));
    }
    std::optional<Totals> fileTotals() const {
        auto parsed = dataFileContent();
        if (!parsed || !parsed->record || !parsed->copiesAgree) return std::nullopt;
        const DataRecord& r = *parsed->record;
        return Totals{r.totalUseTime, r.totalTravel, static_cast<double>(r.totalClick),
                      r.totalKeys.toDouble()};
    }

    // Waits until the store holds a save of this run with a use time above `above`.
    std::optional<Totals> waitForSave(ProgramProcess& run, double above,
                                      std::chrono::milliseconds limit = 30s) {
        std::optional<Totals> saved;
        WaitUntil(
            [&] {
                if (!run.running()) return true;
                saved = storeTotals();
                return saved && saved->useTime > above;
            },
            limit);
        return saved && saved->useTime > above && run.running() ? saved : std::nullopt;
    }

    // True once the store or the data file has been written after `since`.
    bool savedSince(fs::file_time_type since) const {
        fs::path wal = db;
        wal += "-wal";
        for (const fs::path& file : {db, wal, dataFile}) {
            std::error_code ec;
            if (fs::last_write_time(file, ec) > since && !ec) return true;
        }
        return false;
    }

    // A message box ("Pathtally" alone as its title) of this run, if one is shown.
    bool messageBoxShown(ProgramProcess& run) { return !run.visibleWindows("^Pathtally$").empty(); }
};

// Moves the pointer and clicks the left button in the lower right corner of the screen
// (away from the program's window) until stopped. Counts the clicks it sent.
class BusyUser {
public:
    BusyUser() : m_thread([this] { loop(); }) {}
    ~BusyUser() {
        m_stop = true;
        m_thread.join();
    }
    BusyUser(const BusyUser&) = delete;
    BusyUser& operator=(const BusyUser&) = delete;
    long clicks() const { return m_clicks; }

private:
    void loop() {
        Display* d = XOpenDisplay(nullptr);
        if (!d) return;
        std::mt19937 random(7);
        std::uniform_int_distribution<int> x(1000, 1270), y(850, 1015);
        for (int i = 0; !m_stop; ++i) {
            XTestFakeMotionEvent(d, -1, x(random), y(random), CurrentTime);
            if (i % 10 == 0) {
                XTestFakeButtonEvent(d, 1, True, CurrentTime);
                XTestFakeButtonEvent(d, 1, False, CurrentTime);
                ++m_clicks;
            }
            XFlush(d);
            std::this_thread::sleep_for(5ms);
        }
        XSync(d, False);
        XCloseDisplay(d);
    }
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_clicks{0};
    std::thread m_thread;
};

}  // namespace pt::test
