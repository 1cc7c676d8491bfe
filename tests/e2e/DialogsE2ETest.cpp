// The program under its own X server, driven from its menus with xdotool. A recording
// "xdg-open" first on PATH shows that the addresses and feedback mails the menus and the
// About box hand to the desktop arrive exactly, the Chinese mail texts intact; the Options
// dialog and the data reset change the real autostart file, click hook and saved totals.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/online/Site.h"
#include "core/ports/SettingsStore.h"
#include "core/shell/FeedbackMail.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "platform/linux/XdgAutostartEntry.h"
#include "support/ProgramRun.h"
#include "support/QtTestApp.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* Site = "http://127.0.0.1:9";

using test::ReadAll;
using test::WriteAll;

void Xdotool(const std::string& args) {
    const std::string command = "xdotool " + args + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::this_thread::sleep_for(300ms);
}

void Focus(const std::string& window) {
    EXPECT_TRUE(test::FocusWindow(window)) << window;
    std::this_thread::sleep_for(300ms);
}

// The program in a working folder of its own; at the end of its scope it gets SIGTERM, as
// a session end sends it, so it saves everything first.
class ProgramRun : public test::ProgramRun {
public:
    using test::ProgramRun::ProgramRun;
    ~ProgramRun() {
        if (::testing::Test::HasFailure()) std::fprintf(stderr, "%s\n", output().c_str());
        stop();
    }
};

std::string WaitForWindow(const std::string& titlePattern) {
    return test::FindWindow(titlePattern, 60);
}

// Opens a menu of the focused window by its access key and gives it time to appear.
void OpenMenu(const std::string& keys) {
    Xdotool("key " + keys);
    std::this_thread::sleep_for(400ms);
}

// Types keys into a window after giving it the focus.
void KeysTo(const std::string& window, const std::string& keys) {
    Focus(window);
    Xdotool("key " + keys);
}

// Whether no visible window matches any more (a box closed, a dialog gone).
bool WaitGone(const std::string& titlePattern) {
    for (int i = 0; i < 300; ++i) {
        if (test::Capture("xdotool search --onlyvisible --name '" + titlePattern + "' 2>/dev/null")
                .empty())
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

// Opens a dialog from a menu of the main window and returns its window. A slow program
// may not have its menu open when the item's key arrives: then the menu is closed and
// the whole is tried again.
std::string OpenFromMenu(const std::string& main, const std::string& menu, const std::string& item,
                         const std::string& titlePattern) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        Focus(main);
        OpenMenu(menu);
        Xdotool("key " + item);
        const std::string dialog = test::FindWindow(titlePattern, 10);
        if (!dialog.empty()) return dialog;
        Xdotool("key Escape");
    }
    return {};
}

struct Point {
    int x, y;
};

// Finds the link texts of a window from its pixels: rows carrying a strong link blue,
// grouped into bands, left of minX ignored. Returns the middle of each band's links.
std::vector<Point> LinkCentres(const std::string& windowId, int minX) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage image = screen->grabWindow(std::stoul(windowId)).toImage();
    const auto isLink = [](QRgb c) { return qBlue(c) - std::max(qRed(c), qGreen(c)) > 100; };
    std::vector<Point> centres;
    int bandTop = -1, bandBottom = -1, left = image.width(), right = -1;
    const auto close = [&] {
        if (bandTop >= 0) centres.push_back({(left + right) / 2, (bandTop + bandBottom) / 2});
        bandTop = -1, left = image.width(), right = -1;
    };
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = minX; x < image.width(); ++x) {
            if (!isLink(image.pixel(x, y))) continue;
            ++count;
            left = std::min(left, x);
            right = std::max(right, x);
        }
        if (count > 0) {
            if (bandTop < 0) bandTop = y;
            bandBottom = y;
        } else if (bandTop >= 0 && y - bandBottom > 3) {
            close();
        }
    }
    close();
    return centres;
}

class DialogsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::TestFolder().empty()) << "run through run-test.sh --xvfb";
        work = test::TestFolder();
        fs::create_directories(work / "bin");
        fs::create_directories(configHome());
        opened = work / "opened.txt";
        // The desktop's opener, replaced by one that writes down what it was given.
        WriteAll(work / "bin" / "xdg-open",
                 "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + opened.string() + "'\n");
        fs::permissions(work / "bin" / "xdg-open", fs::perms::owner_all);
        setSiteRoot(Site);  // nothing leaves the machine
        test::QtTestApp<QGuiApplication>();
    }
    std::string setting(std::string_view key, const char* name) {
        SqliteSettingsStore store(storeFile());
        return store.read(SettingsRoot::LocalMachine, key, name);
    }
    // Polls a stored value until it reads `expected` (the program saves every 10 s).
    bool waitForSetting(const char* name, const std::string& expected) {
        for (int i = 0; i < 200; ++i) {
            if (setting(MainKey, name) == expected) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    void setSiteRoot(const char* root) {
        SqliteSettingsStore store(storeFile());
        store.write(SettingsRoot::LocalMachine, MainKey, "SiteRoot", root);
    }
    // The program's settings and autostart folder are this test's own, so no other test
    // of the binary sees what these runs change.
    fs::path configHome() const { return work / "config"; }
    fs::path storeFile() const { return configHome() / "pathtally" / "settings.db"; }
    std::map<std::string, std::string> env(const char* lang) {
        WriteAll(work / "locale.conf", std::string("LANG=") + lang + "\n");
        return {{"PATH", (work / "bin").string() + ":" + std::getenv("PATH")},
                {"PATHTALLY_LOCALE_CONF", (work / "locale.conf").string()},
                {"XDG_CONFIG_HOME", configHome().string()}};
    }
    // The lines the opener received, once there are at least `count`.
    std::vector<std::string> waitForOpened(size_t count) {
        std::vector<std::string> lines;
        for (int i = 0; i < 100; ++i) {
            lines.clear();
            std::istringstream in(ReadAll(opened));
            for (std::string line; std::getline(in, line);) lines.push_back(line);
            if (lines.size() >= count) break;
            std::this_thread::sleep_for(100ms);
        }
        return lines;
    }
    void runMenusAndAboutBox(const char* lang, Language wlang);

    fs::path work;
    fs::path opened;
};

void DialogsE2E::runMenusAndAboutBox(const char* lang, Language wlang) {
    ProgramRun program(work, env(lang));
    const std::string main = WaitForWindow("^Pathtally");
    ASSERT_FALSE(main.empty()) << "no main window";
    // A Help menu item, tried again when a slow program had not opened its menu in time.
    const auto fromHelpMenu = [&](const char* item, size_t opened) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Focus(main);
            OpenMenu("alt+h");
            Xdotool(std::string("key ") + item);
            if (waitForOpened(opened).size() >= opened) return true;
            Xdotool("key Escape");
        }
        return false;
    };
    Focus(main);
    Xdotool("key F1");  // help page
    ASSERT_EQ(waitForOpened(1).size(), 1u);
    ASSERT_TRUE(fromHelpMenu("l", 2));  // message board
    ASSERT_TRUE(fromHelpMenu("e", 3));  // feedback mail, main-menu text
    std::vector<std::string> lines = waitForOpened(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(Site) + "/pt/");
    EXPECT_EQ(lines[1], std::string(Site) + "/pt/liuyanList.asp");
    EXPECT_EQ(lines[2], FeedbackMailText(FeedbackVariant::MainMenu, wlang));

    const std::string about = OpenFromMenu(main, "alt+h", "a", " Pathtally$");
    ASSERT_FALSE(about.empty()) << "no About box";
    std::this_thread::sleep_for(500ms);

    // The logo sits in the top left corner; the three links are right of it.
    Xdotool("mousemove --window " + about + " 60 60 click 1");
    std::vector<Point> links;
    for (int i = 0; i < 50 && links.size() != 3; ++i) {  // until the box is drawn
        std::this_thread::sleep_for(100ms);
        links = LinkCentres(about, 140);
    }
    ASSERT_EQ(links.size(), 3u) << "website, backup website, mail";
    for (const Point& p : links)
        Xdotool("mousemove --window " + about + " " + std::to_string(p.x) + " " +
                std::to_string(p.y) + " click 1");
    lines = waitForOpened(7);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[3], Site);
    EXPECT_EQ(lines[4], Site);
    EXPECT_EQ(lines[5], BackupSiteRoot);
    EXPECT_EQ(lines[6], FeedbackMailText(FeedbackVariant::AboutBox, wlang));
}

TEST_F(DialogsE2E, SimplifiedDesktopGetsTheExactAddressesAndMails) {
    runMenusAndAboutBox("zh_CN.UTF-8", Language::Simplified);
}

TEST_F(DialogsE2E, TraditionalDesktopGetsTheTraditionalAboutMail) {
    runMenusAndAboutBox("zh_TW.UTF-8", Language::Traditional);
}

// Options and data reset opened from the real menus: the autostart file, the click hook
// and the reset totals as the next start would find them.
TEST_F(DialogsE2E, OptionsAndDataResetFromTheMenus) {
    XdgAutostartEntry entry(configHome() / "autostart" / "pathtally.desktop");
    const std::string program = fs::canonical(std::string(PT_BINARY_DIR) + "/pathtally");
    {
        ProgramRun run(work, env("en_US.UTF-8"));
        const std::string main = WaitForWindow("^Pathtally");
        ASSERT_FALSE(main.empty()) << "no main window";
        EXPECT_EQ(entry.read(), program) << "start-up keeps the entry current";

        // Three presses on plain labels of the statistics page, saved within a save period.
        // The stored total as the running program left it: read again until the first save
        // has written it (a read while the program opens the store may find nothing yet).
        std::string stored;
        for (int i = 0; i < 150 && stored.empty(); ++i) {
            stored = setting(MainKey, "totalClick");
            if (stored.empty()) std::this_thread::sleep_for(100ms);
        }
        const int before = std::atoi(stored.c_str());
        for (int i = 0; i < 3; ++i) Xdotool("mousemove --window " + main + " 250 140 click 1");
        ASSERT_TRUE(waitForSetting("totalClick", std::to_string(before + 3)))
            << setting(MainKey, "totalClick");

        // Data reset: the dialog, then Yes in the confirmation, then OK in the result box.
        const std::string reset = OpenFromMenu(main, "alt+f", "Down Return", "^数据重置$");
        ASSERT_FALSE(reset.empty());
        KeysTo(reset, "alt+o");
        const std::string confirm = WaitForWindow("^資料重置確認");
        ASSERT_FALSE(confirm.empty()) << "boxes Traditional unless GB";
        KeysTo(confirm, "Return");
        const std::string result = WaitForWindow("^Pathtally$");
        ASSERT_FALSE(result.empty()) << "the result box";
        KeysTo(result, "Return");
        ASSERT_TRUE(WaitGone("^Pathtally$"));
        ASSERT_TRUE(WaitGone("^数据重置$"));
        EXPECT_EQ(setting(MainKey, "MaxTotalClick"), "0");
        EXPECT_FALSE(setting(MainKey, "MaxTotalClickDate").empty());

        // Options: autostart off, click counting off.
        const std::string options = OpenFromMenu(main, "alt+f", "o", "^选项$");
        ASSERT_FALSE(options.empty());
        Focus(options);
        Xdotool("key space");  // Check1
        Xdotool("key Tab");    // Check2 is hidden: on to Check3
        Xdotool("key space");
        Xdotool("key alt+o");
        ASSERT_TRUE(waitForSetting("AddHook", "1"));
        EXPECT_EQ(setting(MainKey, "Aopen"), "0");
        EXPECT_TRUE(fs::exists(entry.file())) << "kept, switched off";
        EXPECT_EQ(entry.read(), "");

        // Click counting stopped at once: these are not counted.
        for (int i = 0; i < 3; ++i) Xdotool("mousemove --window " + main + " 250 140 click 1");
    }  // SIGTERM: everything is saved

    for (std::string_view key : {MainKey, MirrorKey})
        EXPECT_EQ(setting(key, "totalClick"), "0") << key;
    EXPECT_EQ(setting(MainKey, "leftClick"), "0");
    EXPECT_GT(std::atof(setting(MainKey, "KeyDownAll").c_str()), 0) << "keystrokes survive";

    // Ticked again later, the entry runs this program once more.
    ProgramRun run(work, env("en_US.UTF-8"));
    const std::string main = WaitForWindow("^Pathtally");
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(entry.read(), "") << "start-up leaves a switched-off entry alone";
    const std::string options = OpenFromMenu(main, "alt+f", "o", "^选项$");
    ASSERT_FALSE(options.empty());
    Focus(options);
    Xdotool("key space");
    Xdotool("key alt+o");
    ASSERT_TRUE(waitForSetting("Aopen", "1"));
    EXPECT_EQ(entry.read(), program);
}

}  // namespace
}  // namespace pt
