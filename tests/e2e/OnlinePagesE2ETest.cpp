// The program's web pages against a local site on 127.0.0.1: what it requests when shown,
// started hidden in the tray, with the switches off, and from its menus.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ProgramRun.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Shell;

// Serves every path with a page titled after the table below, writes each requested path
// to a log, and its port to a file.
constexpr const char* SiteScript = R"(
import http.server, sys
titles = {"/pt/pt_update.asp": "Pathtally 软件最新版本号为：V9.9.9"}
class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[2], "a") as log:
            log.write(self.path + "\n")
        body = ("<html><head><meta charset='utf-8'><title>%s</title></head><body>%s</body></html>"
                % (titles.get(self.path, self.path), self.path)).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Page)
open(sys.argv[1] + ".tmp", "w").write(str(server.server_address[1]))
__import__("os").rename(sys.argv[1] + ".tmp", sys.argv[1])
server.serve_forever()
)";

class LocalSite {
public:
    explicit LocalSite(const fs::path& dir) : m_log(dir / "requests.log") {
        const fs::path script = dir / "site.py", portFile = dir / "port";
        std::ofstream(script) << SiteScript;
        m_pid = fork();
        if (m_pid == 0) {
            execl("/usr/bin/python3", "python3", script.c_str(), portFile.c_str(), m_log.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200 && !fs::exists(portFile); ++i) std::this_thread::sleep_for(25ms);
        std::ifstream(portFile) >> m_port;
    }
    ~LocalSite() {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    std::string root() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::vector<std::string> requests() const {
        std::vector<std::string> paths;
        std::ifstream in(m_log);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("/favicon", 0) != 0) paths.push_back(line);
        return paths;
    }
    int count(const std::string& path) const {
        int n = 0;
        for (const std::string& p : requests()) n += p == path;
        return n;
    }
    bool waitFor(const std::string& path, std::chrono::milliseconds timeout) const {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (count(path) == 0) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(100ms);
        }
        return true;
    }

private:
    fs::path m_log;
    pid_t m_pid = -1;
    int m_port = 0;
};

// A system tray (trayer) on the test's X server for as long as the object lives.
class Tray {
public:
    Tray() {
        if (!Shell("command -v trayer >/dev/null")) return;
        m_pid = fork();
        if (m_pid == 0) {
            execlp("trayer", "trayer", "--edge", "bottom", static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(1500ms);
    }
    ~Tray() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

// Whether a window asks to be left off the task list.
bool OffTaskList(const std::string& window) {
    return test::Capture("xprop -id " + window + " _NET_WM_STATE 2>/dev/null")
               .find("_NET_WM_STATE_SKIP_TASKBAR") != std::string::npos;
}

std::string Joined(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& p : paths) text += p + " ";
    return text;
}

class OnlinePagesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "work");
        fs::create_directories(dir / "config" / "pathtally");
        test::SqliteShell(db(),
                          "CREATE TABLE IF NOT EXISTS settings (root TEXT NOT NULL, key TEXT NOT "
                          "NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, "
                          "PRIMARY KEY (root, key, name));");
        set("SiteRoot", site.root());
        env = {{"XDG_CONFIG_HOME", (dir / "config").string()}};
    }
    fs::path db() const { return dir / "config" / "pathtally" / "settings.db"; }
    void set(const std::string& name, const std::string& value,
             const std::string& key = "SOFTWARE\\Corvandel\\Pathtally") {
        test::SqliteShell(db(), "INSERT OR REPLACE INTO settings VALUES('HKEY_LOCAL_MACHINE','" +
                                    key + "','" + name + "','" + value + "');");
    }
    std::string get(const std::string& name) {
        return test::SqliteShell(db(), "SELECT value FROM settings WHERE name='" + name + "';");
    }
    static bool VisibleWindow(const std::string& regex, int seconds = 30) {
        return test::WaitForWindow(regex, seconds);
    }
    static void Keys(const std::string& keys) {
        EXPECT_TRUE(test::KeysTo("^PathtallyV", keys)) << keys;
        std::this_thread::sleep_for(400ms);
    }
    // A menu item by keyboard, tried again when a slow program had not opened its menu
    // when the item's key arrived.
    static bool FromMenu(const std::string& menu, const std::string& item,
                         const std::string& windowRegex) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Keys(menu);
            Shell("xdotool key " + item + " >/dev/null 2>&1");
            if (VisibleWindow(windowRegex, 10)) return true;
            Shell("xdotool key Escape >/dev/null 2>&1");
        }
        return false;
    }
    static bool EngineMapped(pid_t pid) {
        return test::ReadAll("/proc/" + std::to_string(pid) + "/maps")
                   .find("libQt6WebEngineCore") != std::string::npos;
    }

    test::TempDir dir;
    LocalSite site{dir.path()};
    std::map<std::string, std::string> env;
};

TEST_F(OnlinePagesE2E, ShownWindowLoadsTheHomeStripAndChecksForUpdatesOnce) {
    test::ProgramRun app(dir / "work", env);
    ASSERT_TRUE(VisibleWindow("^PathtallyV")) << app.output();
    ASSERT_TRUE(site.waitFor("/pt/h1/", 30s)) << Joined(site.requests()) << app.output();
    // The unasked check finds V9.9.9 announced and shows its window with the verdict.
    ASSERT_TRUE(site.waitFor("/pt/pt_update.asp", 30s)) << Joined(site.requests());
    EXPECT_TRUE(VisibleWindow("^自动检查更新"));
    EXPECT_TRUE(EngineMapped(app.pid()));
    EXPECT_EQ(site.count("/pt/news/"), 0) << "the news tab loads once it is opened";
    EXPECT_EQ(site.count("/pt/pt_update.asp"), 1);
    EXPECT_TRUE(app.running());
}

TEST_F(OnlinePagesE2E, SwitchesOffLeaveTheSiteAlone) {
    set("ClosePtHome", "1");
    set("ClosePtNews", "1");
    set("UpdateCK", "0");
    test::ProgramRun app(dir / "work", env);
    ASSERT_TRUE(VisibleWindow("^PathtallyV")) << app.output();
    std::this_thread::sleep_for(8s);  // past the update check's time limit
    EXPECT_TRUE(site.requests().empty()) << Joined(site.requests());
    EXPECT_FALSE(EngineMapped(app.pid())) << "no page was shown";
}

// With a tray the window is left off the task list. The pages join the window after it is
// shown without the toolkit re-creating it: the window first mapped is the one that stays
// (no second window flashes up), off the task list, when the home strip loads and when
// the news tab loads later.
TEST_F(OnlinePagesE2E, ShownWindowStaysOneWindowOffTheTaskList) {
    Tray tray;
    if (!tray.running()) GTEST_SKIP() << "needs trayer for a tray";
    set("UpdateCK", "0");
    test::ProgramRun app(dir / "work", env);
    const std::string first = test::FindWindow("^PathtallyV");
    ASSERT_FALSE(first.empty()) << app.output();
    ASSERT_TRUE(site.waitFor("/pt/h1/", 30s)) << Joined(site.requests());
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(test::Capture("xdotool search --onlyvisible --name '^PathtallyV'"), first)
        << "the window first mapped is the one that stays";
    EXPECT_TRUE(OffTaskList(first));
    Shell("xdotool mousemove --window " + first + " 185 38 click 1");  // the news tab
    for (int i = 0; i < 3 && !site.waitFor("/pt/news/", 5s); ++i)
        Keys("ctrl+Tab");  // or from the keyboard: on past the shutdown tab
    ASSERT_TRUE(site.waitFor("/pt/news/", 30s)) << Joined(site.requests());
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(test::Capture("xdotool search --onlyvisible --name '^PathtallyV'"), first)
        << "the news page joins the same window";
    EXPECT_TRUE(OffTaskList(first));
}

TEST_F(OnlinePagesE2E, StartedHiddenInTheTrayLoadsNothing) {
    Tray tray;
    if (!tray.running()) GTEST_SKIP() << "needs trayer for a tray";
    set("MinToSystray", "1");
    {
        test::ProgramRun app(dir / "work", env);
        std::this_thread::sleep_for(8s);
        ASSERT_TRUE(app.running()) << app.output();
        EXPECT_FALSE(Shell("xdotool search --onlyvisible --name '^PathtallyV' >/dev/null 2>&1"))
            << "started hidden";
        EXPECT_FALSE(EngineMapped(app.pid()));
        EXPECT_TRUE(site.requests().empty()) << Joined(site.requests());
        const std::string status = test::ReadAll("/proc/" + std::to_string(app.pid()) + "/status");
        const auto at = status.find("VmRSS:");
        std::printf("resident set started hidden: %s\n",
                    status.substr(at, status.find('\n', at) - at).c_str());
    }
}

TEST_F(OnlinePagesE2E, MenusOpenTheUpdateAndRankingWindows) {
    set("UpdateCK", "0");
    set("ClosePtHome", "1");
    // Enough travel for points: 1,000,000 pixels are 265 m, 2 points.
    set("Allmove", "1000000");
    set("Allmove", "1000000", "software\\microsoft\\com3");
    test::ProgramRun app(dir / "work", env);
    ASSERT_TRUE(VisibleWindow("^PathtallyV")) << app.output();

    EXPECT_TRUE(FromMenu("alt+h", "u", "^Pathtally 更新升级"));  // 检查更新(&U)...
    EXPECT_TRUE(site.waitFor("/pt/soft/", 30s)) << Joined(site.requests());

    // The points are computed every second; until then F3 only says there are none (a box
    // that Return closes).
    bool ranking = false;
    for (int attempt = 0; attempt < 5 && !ranking; ++attempt) {
        std::this_thread::sleep_for(1500ms);
        Keys("F3");
        ranking = VisibleWindow("^查看您的排名$", 5);
        if (!ranking) Shell("xdotool key Return >/dev/null 2>&1");
    }
    EXPECT_TRUE(ranking);
    EXPECT_TRUE(site.waitFor("/pt/paiming.asp", 30s)) << Joined(site.requests());
    const std::string id = get("InstallationId");
    EXPECT_FALSE(id.empty());
    EXPECT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << id;
    Keys("F3");  // raised, not reloaded
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(site.count("/pt/paiming.asp"), 1);
    EXPECT_EQ(get("InstallationId"), id);
}

}  // namespace
}  // namespace pt
