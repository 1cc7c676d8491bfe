// What the program leaves on disk and opens is the user's alone: the store, the data file
// and the single-instance socket are owner-only even under a permissive umask, and an
// address with shell syntax in it reaches the desktop opener as one argument, unrun.

#include <sys/stat.h>

#include <algorithm>

#include <QGuiApplication>
#include <QUrl>

#include "FaultSandbox.h"
#include "platform/linux/DesktopShell.h"

namespace pt::test {
namespace {

mode_t Mode(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return 07777;
    return st.st_mode;
}

// Sets the process's umask for a scope (the program inherits it).
class Umask {
public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }

private:
    mode_t m_old;
};

// True while a process runs a script from `bin` (its command line names the script).
bool OpenerRunning(const fs::path& bin) {
    std::error_code ec;
    for (const auto& process : fs::directory_iterator("/proc", ec)) {
        const std::string commandLine = ReadAll(process.path() / "cmdline");
        if (commandLine.find(bin.string() + "/") != std::string::npos) return true;
    }
    return false;
}

TEST(Security, StoreDataFileAndSocketAreOwnerOnlyUnderAnOpenUmask) {
    Sandbox sb;
    fs::remove_all(sb.config / "pathtally");  // the program creates the store itself
    std::unique_ptr<ProgramProcess> run;
    {
        Umask open(0);
        run = sb.start();
    }
    ASSERT_TRUE(run->waitForWindow()) << run->output();
    ASSERT_TRUE(sb.waitForSave(*run, 0)) << run->output();
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(sb.dataFile); }))  // written after the store
        << run->output();

    fs::path wal = sb.db, shm = sb.db;
    wal += "-wal";
    shm += "-shm";
    const fs::path socket = sb.runtime / "pathtally.socket";
    ASSERT_TRUE(fs::exists(socket));
    EXPECT_TRUE(S_ISSOCK(Mode(socket)));
    for (const fs::path& p : {sb.db, wal, shm, sb.dataFile, socket, sb.config / "pathtally"}) {
        ASSERT_TRUE(fs::exists(p)) << p;
        EXPECT_EQ(Mode(p) & 077, 0u) << p << " is open to others: " << std::oct << Mode(p);
    }
    // A save in a later run keeps it so.
    EXPECT_TRUE(WIFEXITED(run->terminate()));
    EXPECT_EQ(Mode(sb.dataFile) & 077, 0u) << std::oct << Mode(sb.dataFile);
    EXPECT_EQ(Mode(sb.db) & 077, 0u) << std::oct << Mode(sb.db);
}

TEST(Security, AddressesReachTheOpenerAsOneArgumentNeverThroughAShell) {
    TempDir dir;
    const fs::path bin = dir / "bin", calls = dir / "calls", cwd = dir / "cwd";
    for (const fs::path& folder : {bin, calls, cwd}) fs::create_directories(folder);
    // Each call of an opener records its arguments, one per line, in a file of its own: the
    // calls run at the same time, so one shared file could interleave their lines.
    for (const char* opener : {"xdg-open", "xdg-email"}) {
        const std::string call = (calls / "$$").string();
        WriteAll(bin / opener, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"" + call +
                                   "\"; done\necho end >> \"" + call + "\"\n");
        fs::permissions(bin / opener, fs::perms::owner_all);
    }
    const std::string path = bin.string() + ":" + std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    const fs::path testCwd = fs::current_path();
    ASSERT_EQ(chdir(cwd.c_str()), 0);

    static int argc = 1;
    static char name[] = "fault_tests";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    DesktopShell shell;
    // Neither a file, a script address nor an option ever reaches the opener.
    for (const char* refused : {"file:///etc/passwd/pt/", "javascript:alert(1)//pt/", "--help/pt/"})
        shell.open(refused);
    const std::string hostile = "http://127.0.0.1:9/a;touch ran1 $(touch ran2) `touch ran3`|x&y";
    shell.open(hostile);
    shell.open("mailto:someone@example.org?subject=a;touch ran4&body=$(touch ran5)");
    // Each call's arguments, the calls in no particular order.
    const auto recordedCalls = [&] {
        std::vector<std::vector<std::string>> recorded;
        for (const auto& file : fs::directory_iterator(calls)) {
            std::istringstream lines(ReadAll(file.path()));
            auto& args = recorded.emplace_back();
            for (std::string line; std::getline(lines, line);) args.push_back(line);
        }
        std::sort(recorded.begin(), recorded.end());
        return recorded;
    };
    // Every open has started its opener by now (or refused to): wait for the two allowed
    // calls to finish and for no opener to be left running, so a leaked one would be seen too.
    EXPECT_TRUE(WaitUntil([&] {
        const auto recorded = recordedCalls();
        return recorded.size() >= 2 &&
               std::all_of(
                   recorded.begin(), recorded.end(),
                   [](const auto& args) { return !args.empty() && args.back() == "end"; }) &&
               !OpenerRunning(bin);
    }));
    const auto recorded = recordedCalls();
    ASSERT_EQ(recorded.size(), 2u);
    // The whole address, percent-encoded, as the single argument ("http" sorts before "mailto").
    ASSERT_EQ(recorded[0].size(), 2u);
    ASSERT_EQ(recorded[1].size(), 2u);
    EXPECT_EQ(QUrl::fromPercentEncoding(QByteArray::fromStdString(recorded[0][0])).toStdString(),
              hostile);
    EXPECT_TRUE(recorded[1][0].starts_with("mailto:someone@example.org?subject=a;touch"))
        << recorded[1][0];
    for (const char* ran : {"ran1", "ran2", "ran3", "ran4", "ran5"})
        EXPECT_FALSE(fs::exists(cwd / ran)) << ran;
    ASSERT_EQ(chdir(testCwd.c_str()), 0);
}

}  // namespace
}  // namespace pt::test
