// The real program under Xvfb against the real site: the home strip and the news tab load
// the site's pages, the update check finds a newer version exactly when the site announces
// one, and the ranking window's page accepts the code the window shows and lists it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <thread>

#include "SiteProcess.h"
#include "support/ProgramRun.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

namespace pt::site {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Shell;

constexpr const char* MainKey = "SOFTWARE\\Corvandel\\Pathtally";

// One installation of the program: its own settings, data and runtime folders.
class Installation {
public:
    Installation(const fs::path& dir, const std::string& siteRoot) : m_dir(dir) {
        fs::create_directories(dir / "work");
        fs::create_directories(dir / "config" / "pathtally");
        fs::create_directories(dir / "data");
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all);
        test::SqliteShell(store(),
                          "CREATE TABLE IF NOT EXISTS settings (root TEXT NOT NULL, key TEXT NOT "
                          "NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value TEXT, "
                          "PRIMARY KEY (root, key, name));");
        set("SiteRoot", siteRoot);
    }
    fs::path store() const { return m_dir / "config" / "pathtally" / "settings.db"; }
    void set(const std::string& name, const std::string& value, const std::string& key = MainKey) {
        test::SqliteShell(store(), "INSERT OR REPLACE INTO settings VALUES('HKEY_LOCAL_MACHINE','" +
                                       key + "','" + name + "','" + value + "');");
    }
    std::string get(const std::string& name) const {
        return test::SqliteShell(store(), "SELECT value FROM settings WHERE name='" + name + "';");
    }
    std::unique_ptr<test::ProgramRun> start() const {
        return std::make_unique<test::ProgramRun>(
            m_dir / "work",
            std::map<std::string, std::string>{{"XDG_CONFIG_HOME", (m_dir / "config").string()},
                                               {"XDG_DATA_HOME", (m_dir / "data").string()},
                                               {"XDG_RUNTIME_DIR", (m_dir / "run").string()}});
    }

private:
    fs::path m_dir;
};

// Whether the site's access log has `path` answered with `status`.
bool Served(const test::SiteProcess& site, const std::string& path, int status = 200) {
    return site.log().find(" GET " + path + " -> " + std::to_string(status)) != std::string::npos;
}

bool WaitServed(const test::SiteProcess& site, const std::string& path,
                std::chrono::seconds bound = 40s) {
    return test::WaitUntil([&] { return Served(site, path); }, bound, 100ms);
}

// A visible window of `pid` whose title matches `regex`, or empty.
std::string WindowOf(pid_t pid, const std::string& regex) {
    const std::string out =
        test::Capture("xdotool search --all --onlyvisible --pid " + std::to_string(pid) +
                      " --name '" + regex + "' 2>/dev/null");
    return out.substr(0, out.find('\n'));
}

TEST(ProgramWithSite, HomeStripAndNewsLoadTheSitesPages) {
    test::TempDir dir;
    test::SiteProcess site(dir.path(), {"--access-log"});
    ASSERT_GT(site.port(), 0) << site.log();
    Installation installation(dir / "one", site.root());
    installation.set("UpdateCK", "0");
    auto app = installation.start();
    const std::string window = test::FindWindow("^PathtallyV", 40);
    ASSERT_FALSE(window.empty()) << app->output();
    ASSERT_TRUE(WaitServed(site, "/pt/h1/")) << site.log() << app->output();
    // The engine drew the page: it asked for the page's stylesheet too.
    EXPECT_TRUE(WaitServed(site, "/site.css")) << site.log();
    Shell("xdotool mousemove --window " + window + " 185 38 click 1");  // the news tab
    for (int i = 0; i < 3 && !WaitServed(site, "/pt/news/", 5s); ++i)
        test::KeysTo("^PathtallyV", "ctrl+Tab");
    EXPECT_TRUE(WaitServed(site, "/pt/news/")) << site.log();
    EXPECT_TRUE(app->running());
}

// Three installations of the program at once, each against a site announcing an older, the
// same or a newer version than the program's own: only the newer one shows the window.
TEST(ProgramWithSite, UpdateCheckFindsANewerVersionExactlyWhenOneIsAnnounced) {
    const std::string running = "V" PT_PROGRAM_VERSION;
    const std::smatch version = [&] {
        std::smatch m;
        static const std::regex numbers("V(\\d+)\\.(\\d+)\\.(\\d+)");
        std::regex_match(running, m, numbers);
        return m;
    }();
    ASSERT_EQ(version.size(), 4u) << running;
    const int patch = std::stoi(version[3]);
    const std::string base = "V" + version[1].str() + "." + version[2].str() + ".";
    const std::string older = patch > 0 ? base + std::to_string(patch - 1) : "V0.0.0";
    const std::string newer = base + std::to_string(patch + 1);
    test::TempDir dir;
    struct Case {
        std::string announced;
        bool newer;
        std::unique_ptr<test::SiteProcess> site;
        std::unique_ptr<Installation> installation;
        std::unique_ptr<test::ProgramRun> app;
    };
    std::vector<Case> cases;
    for (const auto& [announced, isNewer] :
         {std::pair{older, false}, std::pair{running, false}, std::pair{newer, true}}) {
        const fs::path here = dir / announced;
        fs::create_directories(here);
        Case c{announced, isNewer, nullptr, nullptr, nullptr};
        c.site = std::make_unique<test::SiteProcess>(
            here, std::vector<std::string>{"--access-log", "--release-version", announced});
        ASSERT_GT(c.site->port(), 0) << c.site->log();
        c.installation = std::make_unique<Installation>(here / "program", c.site->root());
        c.installation->set("ClosePtHome", "1");
        c.app = c.installation->start();
        cases.push_back(std::move(c));
    }
    for (Case& c : cases)
        ASSERT_TRUE(WaitServed(*c.site, "/pt/pt_update.asp", 60s))
            << c.announced << c.site->log() << c.app->output();
    // The newer one's window, and how long it took from the page to the window.
    const auto answered = std::chrono::steady_clock::now();
    Case& newest = cases.back();
    EXPECT_TRUE(test::WaitUntil(
        [&] { return !WindowOf(newest.app->pid(), "^自动检查更新").empty(); }, 30s, 100ms))
        << newest.app->output();
    const auto took = std::chrono::steady_clock::now() - answered;
    // The others had as long again and more: no window.
    std::this_thread::sleep_for(std::max<std::chrono::steady_clock::duration>(took * 2, 8s) - took);
    for (Case& c : cases) {
        if (c.newer) continue;
        EXPECT_TRUE(WindowOf(c.app->pid(), "^自动检查更新").empty())
            << c.announced << " is not newer than " << running;
        EXPECT_TRUE(c.app->running());
    }
}

TEST(ProgramWithSite, RankingWindowsCodeIsAcceptedAndListed) {
    test::TempDir dir;
    test::SiteProcess site(dir.path(), {"--access-log"});
    ASSERT_GT(site.port(), 0) << site.log();
    Installation installation(dir / "one", site.root());
    installation.set("UpdateCK", "0");
    installation.set("ClosePtHome", "1");
    // 1,000,000 pixels of travel are 265 m: 2 points.
    installation.set("Allmove", "1000000");
    installation.set("Allmove", "1000000", "software\\microsoft\\com3");
    auto app = installation.start();
    ASSERT_FALSE(test::FindWindow("^PathtallyV", 40).empty()) << app->output();
    // The points are computed every second; until then F3 says there are none.
    std::string ranking;
    for (int attempt = 0; attempt < 6 && ranking.empty(); ++attempt) {
        std::this_thread::sleep_for(1500ms);
        test::KeysTo("^PathtallyV", "F3");
        ranking = test::FindWindow("^查看您的排名$", 5);
        if (ranking.empty()) Shell("xdotool key Return >/dev/null 2>&1");
    }
    ASSERT_FALSE(ranking.empty()) << app->output();
    ASSERT_TRUE(WaitServed(site, "/pt/paiming.asp")) << site.log();
    ASSERT_TRUE(WaitServed(site, "/site.css")) << site.log();
    const std::string id = installation.get("InstallationId");
    ASSERT_FALSE(id.empty());
    // As a user would: copy the code from the window, paste it into the page's box, send it.
    ASSERT_TRUE(test::FocusWindow(ranking));
    bool posted = false;
    for (int attempt = 0; attempt < 3 && !posted; ++attempt) {
        Shell("xdotool mousemove --window " + ranking + " 300 45 click 1 key ctrl+a ctrl+c");
        // The page's heading, then the field after it, which takes the paste.
        Shell("xdotool mousemove --window " + ranking +
              " 60 150 click 1 key Tab ctrl+a ctrl+v "
              "Return");
        posted = test::WaitUntil(
            [&] { return site.log().find("POST /pt/paiming.asp -> 200") != std::string::npos; },
            10s, 100ms);
    }
    ASSERT_TRUE(posted) << site.log();
    const std::string row = test::SqliteShell(
        site.database(), "SELECT installation_id || ' ' || points FROM rankings;");
    EXPECT_EQ(row, id + " 2") << "the code the window showed: installation " << id << ", 2 points";
    const std::string page = test::Capture("curl -sf " + site.root() + "/pt/paiming.asp");
    EXPECT_NE(page.find("<td>1</td><td>2</td><td>1</td><td>#" + id + "</td>"), std::string::npos)
        << page;
}

}  // namespace
}  // namespace pt::site
