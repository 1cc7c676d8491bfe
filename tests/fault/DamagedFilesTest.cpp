// The real program started on damaged or unwritable files: it starts, keeps counting,
// shows no message box, and takes the totals from whichever copy survived. A stale lock or
// socket left by a crashed instance never keeps it from starting.

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "FaultSandbox.h"

namespace pt::test {
namespace {

// Saves come every ten ticks from the restored use time on, so a save holds that time plus
// a whole number of save periods (a busy machine may read the second save, not the first).
void ExpectWholeSavesPast(double saved, double restored) {
    EXPECT_GT(saved, restored);
    EXPECT_EQ(std::fmod(saved - restored, 10.0), 0.0) << saved << " after " << restored;
}

class DamagedFiles : public ::testing::Test {
protected:
    Sandbox sb;
    Totals before;
    std::vector<fs::path> mounts;

    void TearDown() override {
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it)
            ::umount2(it->c_str(), MNT_DETACH);
    }

    // A first run that counts and ends in order: both copies hold the same totals.
    void countSomething() {
        auto run = sb.start();
        {
            BusyUser user;
            auto saved = sb.waitForSave(*run, 10);  // the second save: clicks have arrived
            ASSERT_TRUE(saved) << run->output();
        }
        ASSERT_TRUE(WIFEXITED(run->terminate()));
        auto store = sb.storeTotals();
        auto file = sb.fileTotals();
        ASSERT_TRUE(store && file);
        EXPECT_EQ(store->useTime, file->useTime);
        EXPECT_EQ(store->clicks, file->clicks);
        ASSERT_GT(store->clicks, 0);
        ASSERT_GT(store->move, 0);
        before = *store;
    }

    // The run's first save is ten ticks after the merge: the restored use time is that
    // less ten, and every other total at least what was restored.
    void expectRestored(const Totals& saved, const Totals& from) {
        ExpectWholeSavesPast(saved.useTime, from.useTime);
        EXPECT_GE(saved.clicks, from.clicks);
        EXPECT_GE(saved.move, from.move);
        EXPECT_GE(saved.keys, from.keys);
    }

    // Starts a run and checks it starts cleanly: a window, no message box.
    std::unique_ptr<ProgramProcess> startCleanly() {
        auto run = sb.start();
        EXPECT_TRUE(run->waitForWindow()) << run->output();
        // A save after the window is up comes from the ticks: the start is over and any box
        // it raised is on the screen. One of the two copies is always writable here.
        const auto shown = fs::file_time_type::clock::now();
        EXPECT_TRUE(WaitUntil([&] { return !run->running() || sb.savedSince(shown); }))
            << run->output();
        EXPECT_FALSE(sb.messageBoxShown(*run)) << run->output();
        return run;
    }

    // Mounts a file system over `dir`; false (with the reason) when this user may not.
    bool mount(const char* type, const fs::path& dir, const char* options, unsigned long flags,
               const char* source = "pathtally-test") {
        if (::mount(source, dir.c_str(), type, flags, options) != 0) {
            std::cout << "mount " << type << " on " << dir << ": " << std::strerror(errno)
                      << std::endl;
            return false;
        }
        mounts.push_back(dir);
        return true;
    }
    bool readOnlyBind(const fs::path& dir) {
        if (!mount(nullptr, dir, nullptr, MS_BIND, dir.c_str())) return false;
        return mount(nullptr, dir, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, dir.c_str());
    }
    void unmount(const fs::path& dir) {
        ASSERT_EQ(::umount2(dir.c_str(), 0), 0) << std::strerror(errno);
        mounts.erase(std::remove(mounts.begin(), mounts.end(), dir), mounts.end());
    }
    // A small RAM disk over `dir`, filled to the last byte.
    bool fullDisk(const fs::path& dir, const std::string& keep = {}) {
        if (!mount("tmpfs", dir, "size=64k", 0)) return false;
        if (!keep.empty()) WriteAll(dir / fs::path(keep).filename(), ReadAll(keep));
        std::ofstream filler(dir / "filler", std::ios::binary);
        const std::string block(512, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
        filler.close();
        std::ofstream last(dir / "filler2", std::ios::binary);
        for (int i = 0; i < 4096 && last.put('x'); ++i) last.flush();
        return true;
    }
};

TEST_F(DamagedFiles, TruncatedStoreGivesWayToTheDataFile) {
    countSomething();
    fs::resize_file(sb.db, fs::file_size(sb.db) / 2);
    auto run = startCleanly();
    auto saved = sb.waitForSave(*run, 0);
    ASSERT_TRUE(saved) << run->output();
    expectRestored(*saved, before);
    // The damaged database is kept beside the new one.
    bool setAside = false;
    for (auto& e : fs::directory_iterator(sb.db.parent_path()))
        setAside |= e.path().filename().string().starts_with("settings.db.damaged-");
    EXPECT_TRUE(setAside);
    EXPECT_EQ(sb.storeCheck(), "ok");
}

TEST_F(DamagedFiles, StoreOfRandomBytesGivesWayToTheDataFile) {
    countSomething();
    std::mt19937 random(99);
    std::string noise(fs::file_size(sb.db), '\0');
    for (char& c : noise) c = static_cast<char>(random());
    WriteAll(sb.db, noise);
    auto run = startCleanly();
    auto saved = sb.waitForSave(*run, 0);
    ASSERT_TRUE(saved) << run->output();
    expectRestored(*saved, before);
}

TEST_F(DamagedFiles, GarbageDataFileGivesWayToTheStore) {
    countSomething();
    WriteAll(sb.dataFile, "\"garbage,\r\n,,,\x01\x02\xff" + std::string(3000, ','));
    auto run = startCleanly();
    auto saved = sb.waitForSave(*run, before.useTime);
    ASSERT_TRUE(saved) << run->output();
    expectRestored(*saved, before);
    // The next save writes a sound data file again.
    run->terminate();
    auto file = sb.fileTotals();
    ASSERT_TRUE(file);
    EXPECT_GE(file->useTime, saved->useTime);
}

TEST_F(DamagedFiles, BothCopiesDamagedStartsFromZeroWithoutComplaint) {
    countSomething();
    WriteAll(sb.dataFile, std::string(500, '"'));
    fs::resize_file(sb.db, 100);
    auto run = startCleanly();
    auto saved = sb.waitForSave(*run, 0);
    ASSERT_TRUE(saved) << run->output();
    EXPECT_EQ(saved->useTime, 10);
}

TEST_F(DamagedFiles, ReadOnlyWorkingFolderKeepsCountingInTheStore) {
    countSomething();
    const std::string fileBefore = ReadAll(sb.dataFile);
    if (!readOnlyBind(sb.work)) GTEST_SKIP() << "mounting is not permitted here";
    auto run = startCleanly();
    auto first = sb.waitForSave(*run, before.useTime);
    ASSERT_TRUE(first) << run->output();
    expectRestored(*first, before);  // the data file could still be read
    auto second = sb.waitForSave(*run, first->useTime);
    ASSERT_TRUE(second) << "stopped counting";
    EXPECT_FALSE(sb.messageBoxShown(*run));
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    EXPECT_EQ(ReadAll(sb.dataFile), fileBefore);
    auto last = sb.storeTotals();
    unmount(sb.work);

    // Writable again: the store's newer totals win over the old file's.
    auto again = startCleanly();
    auto saved = sb.waitForSave(*again, last->useTime);
    ASSERT_TRUE(saved);
    expectRestored(*saved, *last);
}

TEST_F(DamagedFiles, FullDiskUnderTheWorkingFolderKeepsCountingInTheStore) {
    if (!fullDisk(sb.work)) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    auto run = startCleanly();
    auto first = sb.waitForSave(*run, 0);
    ASSERT_TRUE(first) << run->output();
    auto second = sb.waitForSave(*run, first->useTime);
    ASSERT_TRUE(second) << "stopped counting";
    EXPECT_FALSE(sb.messageBoxShown(*run));
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    EXPECT_FALSE(sb.fileTotals());  // nothing fitted
}

TEST_F(DamagedFiles, FullDiskUnderTheStoreKeepsCountingInTheDataFile) {
    countSomething();
    const fs::path folder = sb.db.parent_path();
    const fs::path copy = sb.dir / "settings.db";
    fs::copy_file(sb.db, copy);
    // The store's folder on a full disk, the database in it as it was.
    if (!fullDisk(folder, copy.string())) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    double counted = 0;
    {
        auto run = startCleanly();
        // The data file alone keeps the totals now, from where both copies were.
        std::optional<Totals> file;
        ASSERT_TRUE(WaitUntil([&] {
            file = sb.fileTotals();
            return file && file->useTime >= before.useTime + 20;
        })) << run->output();
        EXPECT_FALSE(sb.messageBoxShown(*run));
        EXPECT_TRUE(WIFEXITED(run->terminate()));
        counted = sb.fileTotals()->useTime;
        // The store was neither damaged nor replaced by the failed writes.
        EXPECT_EQ(ReadAll(sb.db), ReadAll(copy));
    }
    unmount(folder);

    // Room again: the data file's newer totals win over the store's.
    auto run = startCleanly();
    auto saved = sb.waitForSave(*run, before.useTime);
    ASSERT_TRUE(saved) << run->output();
    ExpectWholeSavesPast(saved->useTime, counted);
    EXPECT_GE(saved->clicks, before.clicks);
}

TEST_F(DamagedFiles, StaleLockAndSocketNeverBlockAStart) {
    const fs::path lock = sb.runtime / "pathtally.lock";
    const fs::path socket = sb.runtime / "pathtally.socket";
    // A socket file whose server is gone.
    auto staleSocket = [&] {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, socket.c_str(), sizeof addr.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    };
    // A pid no process has any more.
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string host = Capture("hostname");

    struct Case {
        const char* what;
        std::string content;
    };
    const std::vector<Case> cases = {
        {"a crashed instance's lock", std::to_string(gone) + "\npathtally\n" + host + "\n"},
        {"a lock whose pid now belongs to another program",
         std::to_string(getpid()) + "\npathtally\n" + host + "\n"},
        {"an empty lock (crash while it was written)", ""},
        {"a lock of garbage", "\x01\x02garbage\n\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(lock, c.content);
        // Older than any start in progress could make it.
        fs::last_write_time(lock, fs::file_time_type::clock::now() - std::chrono::minutes(5));
        fs::remove(socket);
        staleSocket();
        auto run = startCleanly();
        EXPECT_TRUE(run->running());
        EXPECT_TRUE(WIFEXITED(run->terminate()));
    }

    // While one runs, a second start is refused with the message and ends.
    auto first = startCleanly();
    auto second = sb.start();
    EXPECT_TRUE(WaitUntil([&] { return !second->visibleWindows("^Pathtally$").empty(); }))
        << "no message from the second start";
    EXPECT_TRUE(first->running());
}

}  // namespace
}  // namespace pt::test
