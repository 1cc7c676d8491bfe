// The real program against files that are not what they should be: a WAL deleted and
// links swapped in while it runs, a store that cannot be written, a data file of 16 MB,
// a lock path that is a FIFO, a runtime folder planted by another user, and another
// computer's or a damaged data file in the folder it is started from. It keeps
// counting into files of its own and never writes through a link.

#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "FaultSandbox.h"
#include "platform/linux/LinuxSystemInfo.h"

namespace pt::test {
namespace {

mode_t Mode(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode : 0;
}

// The peak resident memory of a process, in KiB.
long PeakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
    return -1;
}

class HostileFiles : public ::testing::Test {
protected:
    Sandbox sb;
    std::vector<fs::path> mounts;

    void TearDown() override {
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it)
            ::umount2(it->c_str(), MNT_DETACH);
    }

    // A first run that counts and ends in order: both copies hold the same totals.
    Totals countSomething() {
        auto run = sb.start();
        auto saved = sb.waitForSave(*run, 10);
        EXPECT_TRUE(saved) << run->output();
        EXPECT_TRUE(WIFEXITED(run->terminate()));
        return sb.storeTotals().value_or(Totals{});
    }

    bool readOnlyBind(const fs::path& dir) {
        if (::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            std::cout << "bind mount: " << std::strerror(errno) << std::endl;
            return false;
        }
        mounts.push_back(dir);
        return ::mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) ==
               0;
    }
};

TEST_F(HostileFiles, AWalDeletedWhileRunningLosesNoTotals) {
    auto run = sb.start();
    auto first = sb.waitForSave(*run, 0);
    ASSERT_TRUE(first) << run->output();
    fs::path wal = sb.db;
    wal += "-wal";
    ASSERT_TRUE(fs::exists(wal));
    fs::remove(wal);
    // The sqlite3 shell sees the run's later saves again, and the values written once at
    // the start.
    auto later = sb.waitForSave(*run, first->useTime + 10);
    ASSERT_TRUE(later) << "no save reached the store after its WAL was deleted\n" << run->output();
    EXPECT_FALSE(sb.get(MainKey, "StartDate").empty());
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    EXPECT_EQ(sb.storeCheck(), "ok");
    EXPECT_GE(sb.storeTotals()->useTime, later->useTime);
}

TEST_F(HostileFiles, AStoreThatCannotBeWrittenStillGivesItsTotals) {
    const Totals before = countSomething();
    ASSERT_GT(before.useTime, 0);
    // The totals survive in the store alone; its folder then takes no writes.
    fs::remove(sb.dataFile);
    if (!readOnlyBind(sb.db.parent_path()))
        GTEST_SKIP() << "a read-only bind mount is not permitted here";

    auto run = sb.start();
    ASSERT_TRUE(run->waitForWindow()) << run->output();
    // The data file's saves go on from the stored totals, and the user is told.
    std::optional<Totals> file;
    EXPECT_TRUE(WaitUntil([&] {
        file = sb.fileTotals();
        return file && file->useTime >= before.useTime + 10;
    })) << "the stored totals were not taken: "
        << (file ? file->useTime : -1) << " after " << before.useTime << "\n"
        << run->output();
    EXPECT_GE(file->clicks, before.clicks);
    EXPECT_TRUE(WaitUntil([&] { return sb.messageBoxShown(*run); }, 10s));
    EXPECT_NE(run->output().find("cannot be written"), std::string::npos) << run->output();
    EXPECT_TRUE(WIFEXITED(run->terminate()));
}

TEST_F(HostileFiles, ALinkPlantedBeforeTheStartIsNeverWrittenThrough) {
    const Totals before = countSomething();
    const fs::path target = sb.dir / "someone-elses.txt";
    WriteAll(target, "keep me\n");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    fs::perm_options::replace);
    fs::remove(sb.dataFile);
    fs::create_symlink(target, sb.dataFile);

    auto run = sb.start();
    ASSERT_TRUE(run->waitForWindow()) << run->output();
    // The store's totals carry on, into a data file of the program's own.
    auto saved = sb.waitForSave(*run, before.useTime);
    ASSERT_TRUE(saved) << run->output();
    EXPECT_TRUE(WaitUntil([&] {
        auto file = sb.fileTotals();
        return file && file->useTime >= before.useTime + 10;
    })) << run->output();
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    EXPECT_EQ(ReadAll(target), "keep me\n");
    EXPECT_EQ(Mode(target) & 0777, 0444u);
    EXPECT_TRUE(S_ISREG(Mode(sb.dataFile)));
    EXPECT_EQ(Mode(sb.dataFile) & 0777, 0400u);
}

TEST_F(HostileFiles, LinksSwappedInWhileRunningAreReplacedNotFollowed) {
    const fs::path target = sb.dir / "someone-elses.txt";
    WriteAll(target, "keep me\n");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read,
                    fs::perm_options::replace);
    const fs::path otherDb = sb.dir / "other.db";
    SqliteShell(otherDb, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('mine');");
    fs::permissions(otherDb, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    const std::string otherBefore = ReadAll(otherDb);

    auto run = sb.start();
    ASSERT_TRUE(run->waitForWindow()) << run->output();
    ASSERT_TRUE(WaitUntil([&] { return sb.fileTotals().has_value(); })) << run->output();
    const double before = sb.fileTotals()->useTime;
    fs::remove(sb.dataFile);
    fs::create_symlink(target, sb.dataFile);
    fs::rename(sb.db, sb.dir / "settings.db");
    fs::create_symlink(otherDb, sb.db);

    // Both are saved again, into files of the program's own.
    ASSERT_TRUE(WaitUntil([&] {
        auto t = sb.fileTotals();
        return t && t->useTime > before;
    })) << run->output();
    ASSERT_TRUE(WaitUntil([&] { return S_ISREG(Mode(sb.db)); })) << run->output();
    auto saved = sb.waitForSave(*run, before);
    ASSERT_TRUE(saved) << run->output();
    EXPECT_TRUE(WIFEXITED(run->terminate()));

    EXPECT_EQ(ReadAll(target), "keep me\n");
    EXPECT_EQ(Mode(target) & 0777, 0604u);
    EXPECT_TRUE(S_ISREG(Mode(sb.dataFile)));
    EXPECT_EQ(ReadAll(otherDb), otherBefore);
    EXPECT_EQ(Mode(otherDb) & 0777, 0640u);
    EXPECT_EQ(SqliteShell(otherDb, "SELECT name FROM sqlite_master;"), "notes");
}

TEST_F(HostileFiles, HugeDataFilesCostLittleMemoryAtTheStart) {
    const Totals before = countSomething();
    for (const char* kind : {"commas", "short lines"}) {
        SCOPED_TRACE(kind);
        {
            std::ofstream out(sb.dataFile, std::ios::binary | std::ios::trunc);
            const std::string block = kind[0] == 'c' ? std::string(1 << 20, ',') : [] {
                std::string lines;
                for (int i = 0; i < (1 << 19); ++i) lines += "1\n";
                return lines;
            }();
            for (int i = 0; i < 16; ++i) out << block;
        }
        auto run = sb.start();
        ASSERT_TRUE(run->waitForWindow()) << run->output();
        const long peak = PeakResidentKiB(run->pid());
        std::cout << kind << ": peak resident " << peak / 1024 << " MiB" << std::endl;
        EXPECT_LT(peak, 200 * 1024) << kind;
        // The store's totals carry on.
        auto saved = sb.waitForSave(*run, before.useTime);
        ASSERT_TRUE(saved) << run->output();
        EXPECT_TRUE(WIFEXITED(run->terminate()));
    }
}

TEST_F(HostileFiles, ALockPathThatIsAFifoOrALinkNeverBlocksTheStart) {
    const fs::path lock = sb.runtime / "pathtally.lock";
    const fs::path target = sb.dir / "someone-elses.txt";
    WriteAll(target, "keep me\n");
    for (const char* kind : {"fifo", "link"}) {
        SCOPED_TRACE(kind);
        fs::remove(lock);
        if (kind[0] == 'f')
            ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0) << std::strerror(errno);
        else
            fs::create_symlink(target, lock);
        auto run = sb.start();
        EXPECT_TRUE(run->waitForWindow()) << run->output();
        EXPECT_TRUE(S_ISREG(Mode(lock)));
        EXPECT_TRUE(WIFEXITED(run->terminate()));
        EXPECT_EQ(ReadAll(target), "keep me\n");
    }
}

TEST_F(HostileFiles, ARuntimeFolderPlantedByAnotherUserIsPassedOver) {
    if (::geteuid() != 0) GTEST_SKIP() << "planting another user's folder needs root";
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no user 'nobody' here";
    const passwd* me = ::getpwuid(::getuid());
    ASSERT_TRUE(me);
    // A shared temporary folder, as /tmp is.
    const fs::path tmp = sb.dir / "tmp";
    fs::create_directories(tmp);
    fs::permissions(tmp, fs::perms::all | fs::perms::sticky_bit, fs::perm_options::replace);
    const std::string uid = std::to_string(::getuid());
    std::vector<fs::path> planted = {tmp / ("pathtally-" + uid),
                                     tmp / ("runtime-" + std::string(me->pw_name))};
    for (const fs::path& p : planted) {
        fs::create_directories(p);
        fs::permissions(p, fs::perms::all, fs::perm_options::replace);
        if (::chown(p.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            GTEST_SKIP() << "chown refused: " << std::strerror(errno);
    }

    auto env = sb.environment();
    env["XDG_RUNTIME_DIR"] = "";
    env["TMPDIR"] = tmp.string();
    auto first = std::make_unique<ProgramProcess>(sb.work, sb.log, env);
    ASSERT_TRUE(first->waitForWindow()) << first->output();
    for (const fs::path& p : planted)
        EXPECT_TRUE(fs::is_empty(p)) << p << " received our lock or socket";
    const fs::path ours = tmp / ("pathtally-" + uid + "-1");
    EXPECT_TRUE(fs::exists(ours / "pathtally.socket")) << first->output();
    EXPECT_EQ(Mode(ours) & 07777, 0700u);

    // A second start finds the first one in the same folder.
    ProgramProcess second(sb.work, sb.log, env);
    EXPECT_TRUE(WaitUntil([&] { return !second.visibleWindows("^Pathtally$").empty(); }))
        << "no message from the second start";
    EXPECT_TRUE(first->running());
    EXPECT_TRUE(WIFEXITED(first->terminate()));
}

TEST_F(HostileFiles, OnlyAUsableDataFileOfThisComputerIsTakenOverFromTheStartFolder) {
    const std::string computer = LinuxSystemInfo().computerName();
    const fs::path start = sb.dir / "start", left = start / "PTDATA.CVD";
    fs::create_directories(start);
    // A start from `start` with no data file in the data folder yet, until it has saved a
    // use time above `above`.
    auto runFromStart = [&](double above) {
        fs::remove(sb.dataFile);
        ProgramProcess run(start, sb.log, sb.environment());
        EXPECT_TRUE(WaitUntil([&] {
            const auto saved = sb.fileTotals();
            return !run.running() || (saved && saved->useTime > above);
        })) << run.output();
        EXPECT_TRUE(WIFEXITED(run.terminate())) << run.output();
        return sb.fileTotals().value_or(Totals{});
    };

    DataRecord foreign;
    foreign.computerName = computer + "-ELSEWHERE";
    foreign.totalUseTime = 99999;
    foreign.totalClick = 999;
    std::string noise(3000, '\0');
    std::mt19937 random(25);
    for (char& c : noise) c = static_cast<char>(random());
    for (const auto& [what, content] :
         {std::pair{"another computer's", FormatDataRecord(foreign, [] { return 'x'; })},
          std::pair{"random bytes", noise}}) {
        WriteAll(left, content);
        const Totals counted = runFromStart(0);
        EXPECT_TRUE(ReadAll(left) == content) << what << ": not left where it was";
        EXPECT_TRUE(ReadAll(sb.dataFile) != content) << what << ": moved into the data folder";
        EXPECT_LT(counted.useTime, 99999) << what;
        EXPECT_LT(counted.clicks, 999) << what;
    }

    // One of this computer's, whole: moved, its totals kept.
    fs::remove(left);
    DataRecord mine = foreign;
    mine.computerName = computer;
    ASSERT_TRUE(DataFile(left).save(mine));
    const Totals taken = runFromStart(mine.totalUseTime);
    EXPECT_FALSE(fs::exists(fs::symlink_status(left))) << "taken over, not copied";
    EXPECT_GT(taken.useTime, 99999);
    EXPECT_GE(taken.clicks, 999);
}

}  // namespace
}  // namespace pt::test
