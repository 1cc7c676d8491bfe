// The real program killed with SIGKILL again and again while the pointer moves and clicks
// arrive, some kills landing inside a save: every restart goes on from the last completed
// save or later, and neither the store nor the data file is ever left unreadable.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "FaultSandbox.h"

namespace pt::test {
namespace {

using Steady = std::chrono::steady_clock;

bool Writable(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
}

std::int64_t ModifiedNs(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

// Spins until `moment` holds or the time is up (a save comes every half second).
template <class F>
void SpinUntil(F moment, std::chrono::milliseconds limit) {
    const auto end = Steady::now() + limit;
    while (!moment() && Steady::now() < end) {
    }
}

// How the kill is timed.
enum class KillAt { RandomMoment, DataFileBeingWritten, StoreBeingWritten };

const char* Name(KillAt k) {
    switch (k) {
        case KillAt::RandomMoment:
            return "a random moment";
        case KillAt::DataFileBeingWritten:
            return "the data file's write";
        case KillAt::StoreBeingWritten:
            return "the store's transaction";
    }
    return "";
}

TEST(KillRestart, TotalsNeverFallBehindTheLastCompletedSave) {
    constexpr int Kills = 33;
    Sandbox sb;
    BusyUser user;
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(0, 1400);

    Totals committed;         // what the store held when the last run died
    double maxLostMs = 0;     // time counted by a run since its last save when it died
    int storeTornBefore = 0;  // kills after which the store's two copies disagreed
    std::map<KillAt, int> kinds;
    int insideFileSave = 0;  // the new data file left beside it: killed before the save ended
    int betweenCopies = 0;   // the store saved, the data file not yet

    for (int i = 0; i <= Kills; ++i) {
        SCOPED_TRACE("start " + std::to_string(i + 1));
        // The data file as the last run left it: read-only after a save, writable while
        // the start-up reads it.
        const bool leftWritable = Writable(sb.dataFile);
        auto run = sb.start();

        // The run's first save: the data file turns read-only again once the start-up has
        // loaded it (writable) and the tenth tick has saved it.
        const auto started = Steady::now();
        bool sawLoad = leftWritable || !fs::exists(sb.dataFile);
        bool saved = false;
        while (Steady::now() - started < 30s && run->running()) {
            if (!sawLoad) {
                sawLoad = Writable(sb.dataFile);
            } else if (fs::exists(sb.dataFile) && !Writable(sb.dataFile)) {
                saved = true;
                break;
            }
            std::this_thread::sleep_for(2ms);
        }
        ASSERT_TRUE(saved) << "no save after the start (running: " << run->running() << ")\n"
                           << run->output();
        auto first = sb.storeTotals();
        ASSERT_TRUE(first);
        // Ten ticks after the start-up merge: what the merge restored is ten seconds less.
        const double restored = first->useTime - 10;
        EXPECT_GE(restored, committed.useTime) << "use time went back";
        EXPECT_GE(first->clicks, committed.clicks) << "clicks went back";
        EXPECT_GE(first->move, committed.move) << "travel went back";
        EXPECT_GE(first->keys, committed.keys);
        EXPECT_FALSE(sb.messageBoxShown(*run));
        if (i == Kills) {
            EXPECT_TRUE(WIFEXITED(run->terminate()));
            break;
        }

        // The kill.
        const KillAt how = static_cast<KillAt>(i % 3);
        ++kinds[how];
        const auto ticksBefore = first->useTime;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        // A save writes the data file's record into a new file beside it, then renames it.
        fs::path newDataFile = sb.dataFile;
        newDataFile += ".new";
        if (how == KillAt::DataFileBeingWritten) {
            SpinUntil([&] { return fs::exists(newDataFile); }, 1500ms);
        } else if (how == KillAt::StoreBeingWritten) {
            fs::path wal = sb.db;
            wal += "-wal";
            const auto before = ModifiedNs(wal);
            SpinUntil([&] { return ModifiedNs(wal) != before; }, 1500ms);
        }
        run->kill9();
        // The last save began when the data file was last written: what was counted since
        // then is what this kill may lose.
        const double sinceSaveMs =
            std::chrono::duration<double, std::milli>(fs::file_time_type::clock::now() -
                                                      fs::last_write_time(sb.dataFile))
                .count();

        // Both copies are readable, whatever the moment was.
        EXPECT_EQ(sb.storeCheck(), "ok") << "store damaged after a kill during " << Name(how);
        EXPECT_TRUE(sb.dataFileContent())
            << "data file unreadable after a kill during " << Name(how) << ":\n"
            << ReadAll(sb.dataFile).substr(0, 200);
        auto afterKill = sb.storeTotals();
        ASSERT_TRUE(afterKill);
        auto inFile = sb.fileTotals();
        if (fs::exists(newDataFile)) ++insideFileSave;
        if (inFile && inFile->useTime < afterKill->useTime) ++betweenCopies;
        // The store is written before the data file: it is never behind it.
        if (inFile) {
            EXPECT_GE(afterKill->useTime, inFile->useTime);
        }
        if (afterKill->useTime < ticksBefore) ++storeTornBefore;
        committed = *afterKill;
        EXPECT_LT(sinceSaveMs, 5000) << "the saves stopped";
        maxLostMs = std::max(maxLostMs, sinceSaveMs);
    }
    EXPECT_EQ(storeTornBefore, 0);
    std::cout << "kills: " << Kills << " (" << kinds[KillAt::RandomMoment] << " at "
              << Name(KillAt::RandomMoment) << ", " << kinds[KillAt::DataFileBeingWritten]
              << " during " << Name(KillAt::DataFileBeingWritten) << ", "
              << kinds[KillAt::StoreBeingWritten] << " during " << Name(KillAt::StoreBeingWritten)
              << "); " << insideFileSave << " left the data file in the middle of its save, "
              << betweenCopies << " came between the store's save and the data file's"
              << "; most lost at a restart: " << maxLostMs << " ms of counting, about "
              << maxLostMs / TickMs << " ticks (a save every 10); clicks sent: " << user.clicks()
              << std::endl;
    EXPECT_GT(committed.clicks, 0);
    EXPECT_GT(committed.move, 0);
}

}  // namespace
}  // namespace pt::test
