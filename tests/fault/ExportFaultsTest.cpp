// `pathtally --export-csv` against targets that are not plain files and stores it must not
// touch: a FIFO or a device is written as a stream and stays what it was, standard output
// is written where the shell points it, a folder or a socket is refused, a link planted in
// a shared folder is refused, a full disk is named as the reason, and the database it reads
// is left exactly as it was.

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "FaultSandbox.h"
#include "core/persistence/HistoryCsv.h"
#include "platform/linux/SqliteDayHistory.h"
#include "platform/linux/SqliteSettingsStore.h"

namespace pt::test {
namespace {

using ExportResult = CommandResult;

mode_t Mode(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode : 0;
}

ino_t Inode(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

class ExportFaults : public ::testing::Test {
protected:
    TempDir dir;
    fs::path config = dir / "config", out = dir / "out";
    fs::path db = config / "pathtally" / "settings.db";
    std::vector<fs::path> mounts;
    std::vector<DayRow> days;

    void SetUp() override {
        fs::create_directories(out);
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        history.add("2026-12-07", 9, {123456, 812, 3, 95, 10432, 28800});
        history.add("2026-12-08", 10, {1, 2, 3, 4, 5, 6});
        days = history.days();
    }
    void TearDown() override {
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it)
            ::umount2(it->c_str(), MNT_DETACH);
    }

    // The export with no display; stdout and stderr together.
    ExportResult exportTo(const fs::path& file) {
        return RunWithoutDisplay(config, "--export-csv '" + file.string() + "'");
    }

    bool tmpfs(const fs::path& where, const char* options) {
        if (::mount("pathtally-test", where.c_str(), "tmpfs", 0, options) != 0) {
            std::cout << "mount tmpfs: " << std::strerror(errno) << std::endl;
            return false;
        }
        mounts.push_back(where);
        return true;
    }
};

TEST_F(ExportFaults, AFifoIsWrittenAsAStreamAndStaysAFifo) {
    // A reader there first: the few rows fit in the pipe's buffer, so the export is done
    // before anything is read.
    const fs::path fifo = out / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const ExportResult r = exportTo(fifo);
    EXPECT_EQ(r.code, 0) << r.output;
    std::string got;
    char buf[4096];
    for (ssize_t n; (n = ::read(reader, buf, sizeof buf)) > 0;)
        got.append(buf, static_cast<size_t>(n));
    ::close(reader);
    EXPECT_EQ(got, HistoryCsv(days));
    EXPECT_TRUE(S_ISFIFO(Mode(fifo))) << "replaced by a file";
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST_F(ExportFaults, AFifoReadOnlyLaterIsWaitedForAndReadWhileWritten) {
    // More rows than a pipe holds: the export writes while the reader reads.
    {
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        SettingsBatch batch(store);
        for (int i = 0; i < 3000; ++i)
            history.add("2020-" + std::to_string(1000 + i), 1, {i, i, i, i, i, i});
        days = history.days();
    }
    ASSERT_GT(HistoryCsv(days).size(), 65536u);
    const fs::path fifo = out / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    // `pathtally --export-csv pipe & gzip < pipe`: the reader starts once the export waits.
    std::FILE* run = StartWithoutDisplay(config, "--export-csv '" + fifo.string() + "'");
    ASSERT_NE(run, nullptr);
    std::string said;
    char line[512];
    while (said.find("waiting") == std::string::npos && std::fgets(line, sizeof line, run))
        said += line;
    if (said.find("waiting") == std::string::npos) {
        const ExportResult r = FinishWithoutDisplay(run, said);
        FAIL() << "exit " << r.code << ": " << r.output;
    }
    EXPECT_NE(said.find("waiting up to 60 s for a program to read from " + fifo.string()),
              std::string::npos)
        << said;

    // Read as it comes, until the export closes its end.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string got;
    char buf[4096];
    for (pollfd p{reader, POLLIN, 0}; ::poll(&p, 1, 30000) > 0; p.revents = 0) {
        const ssize_t n = ::read(reader, buf, sizeof buf);
        if (n == 0) break;
        if (n > 0) got.append(buf, static_cast<size_t>(n));
    }
    ::close(reader);
    const ExportResult r = FinishWithoutDisplay(run, said);
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(got == HistoryCsv(days)) << got.size() << " bytes read";
    EXPECT_TRUE(S_ISFIFO(Mode(fifo))) << "replaced by a file";
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST_F(ExportFaults, StandardOutputIsWrittenWhereTheShellPointsIt) {
    // Appending to a log through /dev/stdout or a descriptor of its own: what the log held
    // stays, the rows follow it, and the log is the same file as before.
    const fs::path log = out / "log";
    for (const std::string& how : {std::string("/dev/stdout >> '") + log.string() + "'",
                                   std::string("/dev/fd/3 3>> '") + log.string() + "'"}) {
        WriteAll(log, "earlier line\n");
        const auto before = Inode(log);
        const ExportResult r = RunWithoutDisplay(config, "--export-csv " + how);
        EXPECT_EQ(r.code, 0) << how << ": " << r.output;
        EXPECT_EQ(ReadAll(log).rfind("earlier line\n" + HistoryCsv(days), 0), 0u)
            << how << ": " << ReadAll(log);
        EXPECT_EQ(Inode(log), before) << how << ": replaced by another file";
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    }
}

TEST_F(ExportFaults, FoldersAndSocketsAreRefusedAndLeftAsTheyWere) {
    const fs::path folder = out / "folder", socket = out / "socket";
    fs::create_directory(folder);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socket.string().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socket.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const auto& [target, reason] :
         {std::pair{folder, "it is a folder"}, std::pair{socket, "it is not a regular file"}}) {
        const ExportResult r = exportTo(target);
        EXPECT_EQ(r.code, 1) << r.output;
        EXPECT_NE(r.output.find("cannot write " + target.string() + ": " + reason),
                  std::string::npos)
            << r.output;
    }
    ::close(listener);
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(S_ISSOCK(Mode(socket)));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
}

TEST_F(ExportFaults, ACharacterDeviceIsWrittenThroughAndStaysADevice) {
    // A private null device, as /dev/null is (1, 3).
    const fs::path device = out / "null";
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod: " << std::strerror(errno);
    const ExportResult r = exportTo(device);
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(S_ISCHR(Mode(device))) << "replaced by a file";
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST_F(ExportFaults, LinksInASharedFolderAreRefused) {
    // A sticky folder anyone may write in, as /tmp is.
    const fs::path shared = dir / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const fs::path victim = dir / "victim.txt";
    WriteAll(victim, "someone's file");
    fs::create_symlink(dir / "created-by-the-export", shared / "dangling.csv");
    fs::create_symlink(victim, shared / "existing.csv");
    for (const char* name : {"dangling.csv", "existing.csv"}) {
        const ExportResult r = exportTo(shared / name);
        EXPECT_EQ(r.code, 1) << name << ": " << r.output;
        EXPECT_NE(r.output.find("link"), std::string::npos) << r.output;
        EXPECT_TRUE(fs::is_symlink(shared / name)) << name;
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "created-by-the-export")));
    EXPECT_EQ(ReadAll(victim), "someone's file");

    // A link of one's own elsewhere leads to the file it names.
    fs::create_symlink(victim, out / "mine.csv");
    const ExportResult mine = exportTo(out / "mine.csv");
    EXPECT_EQ(mine.code, 0) << mine.output;
    EXPECT_EQ(ReadAll(victim), HistoryCsv(days));
    EXPECT_TRUE(fs::is_symlink(out / "mine.csv"));
}

TEST_F(ExportFaults, AFullDiskIsNamedAsTheReasonAndLeavesNothing) {
    // Enough days that their CSV does not fit in what is left.
    {
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        SettingsBatch batch(store);
        for (int i = 0; i < 3000; ++i)
            history.add("2020-" + std::to_string(1000 + i), 1, {i, i, i, i, i, i});
    }
    if (!tmpfs(out, "size=64k")) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    // Nearly full (the first bytes fit, the rest does not), then full to the last byte.
    WriteAll(out / "filler", std::string(40 * 1024, 'x'));
    for (const char* when : {"nearly full", "full"}) {
        if (std::string(when) == "full") {
            std::ofstream filler(out / "filler2", std::ios::binary);
            const std::string block(512, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
                filler.flush();
        }
        const auto before = std::distance(fs::directory_iterator(out), fs::directory_iterator());
        const ExportResult r = exportTo(out / "days.csv");
        EXPECT_EQ(r.code, 1) << when << ": " << r.output;
        EXPECT_NE(r.output.find("No space left on device"), std::string::npos)
            << when << ": " << r.output;
        EXPECT_EQ(r.output.find("Unknown error"), std::string::npos) << r.output;
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), before)
            << when << ": a partial file was left";
    }
}

TEST_F(ExportFaults, TheStoreReadIsLeftExactlyAsItWas) {
    // A store of the first version, made by the sqlite3 shell: rollback journal, no mark,
    // the settings table alone.
    fs::remove_all(config);
    fs::create_directories(db.parent_path());
    EXPECT_EQ(SqliteShell(db,
                          "CREATE TABLE settings (root TEXT NOT NULL, key TEXT NOT NULL COLLATE "
                          "NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, PRIMARY KEY "
                          "(root, key, name));"
                          "INSERT INTO settings VALUES ('HKEY_LOCAL_MACHINE', "
                          "'SOFTWARE\\Corvandel\\Pathtally', 'AllUseTime', '100');"),
              "");
    const std::string bytes = ReadAll(db);
    const ExportResult r = exportTo(out / "days.csv");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(ReadAll(out / "days.csv"), HistoryCsv({})) << "the header alone";
    EXPECT_EQ(ReadAll(db), bytes);
    EXPECT_EQ(SqliteShell(db,
                          "PRAGMA user_version; PRAGMA journal_mode; PRAGMA application_id;"
                          " SELECT group_concat(name) FROM sqlite_master WHERE type = 'table';"),
              "0\ndelete\n0\nsettings");

    // A store of this version in WAL mode: read, not written.
    fs::remove_all(config);
    {
        SqliteSettingsStore store(db);
        SqliteDayHistory history(store.database());
        history.add("2026-12-08", 10, {1, 2, 3, 4, 5, 6});
    }
    const std::string written = ReadAll(db);
    const ExportResult again = exportTo(out / "days.csv");
    EXPECT_EQ(again.code, 0) << again.output;
    EXPECT_EQ(ReadAll(out / "days.csv"), HistoryCsv({{"2026-12-08", {1, 2, 3, 4, 5, 6}}}));
    EXPECT_EQ(ReadAll(db), written);
}

}  // namespace
}  // namespace pt::test
