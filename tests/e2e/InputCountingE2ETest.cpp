// The program itself under its own X server, driven with xdotool: presses and keys made
// anywhere on the desktop reach the saved totals, and nothing but counts is kept.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/SettingsStore.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "support/ProgramRun.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void Xdotool(const std::string& args) {
    const std::string command = "xdotool " + args + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Comma-separated fields of the data file's record, quotes removed.
std::vector<std::string> DataFields(const fs::path& file) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : ReadAll(file)) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c != '"') {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

using test::ProgramRun;

class InputCountingE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::TestFolder().empty()) << "run through run-test.sh --xvfb";
        // The data folder, $XDG_DATA_HOME/pathtally; the program starts there.
        work = test::TestFolder() / "pathtally";
        fs::create_directories(work);
    }
    std::string setting(const char* name) {
        SqliteSettingsStore store(SettingsDatabase::DefaultPath());
        return store.read(SettingsRoot::LocalMachine, MainKey, name);
    }
    // A total as the program saves it: in the main key and its mirror.
    void setTotal(const char* name, const char* value) {
        SqliteSettingsStore store(SettingsDatabase::DefaultPath());
        store.write(SettingsRoot::LocalMachine, MainKey, name, value);
        store.write(SettingsRoot::LocalMachine, MirrorKey, name, value);
    }
    std::map<std::string, std::string> dataHome() const {
        return {{"XDG_DATA_HOME", work.parent_path().string()}};
    }
    fs::path work;
};

TEST_F(InputCountingE2E, PressesAndKeysAnywhereReachTheSavedTotals) {
    {
        ProgramRun run(work, dataHome());
        ASSERT_TRUE(run.waitForWindow()) << run.output();
        std::this_thread::sleep_for(1s);
        // Over the desktop's root window, away from the program's own window.
        Xdotool("mousemove 1200 1000");
        Xdotool("click --repeat 2 --delay 30 1");  // a double click
        Xdotool("click 1 click 2 click 3 click 4 click 5");
        // The keypad's 5 is KP_Begin with NumLock off and KP_5 with it on.
        Xdotool("key a shift+b Return KP_Enter Delete Home alt+Tab KP_Begin");  // 6 counted
        Xdotool("key Num_Lock KP_5 Num_Lock");                                  // 1 counted
        std::this_thread::sleep_for(500ms);
        EXPECT_TRUE(WIFEXITED(run.stop()));

        const std::string out = run.output();
        for (const char* secret : {"Return", "KP_", "Shift", "回车", "字符", "keysym", "keycode"})
            EXPECT_EQ(out.find(secret), std::string::npos) << secret << " in the output:\n" << out;
    }
    EXPECT_EQ(setting("leftClick"), "3");
    EXPECT_EQ(setting("midClick"), "1");
    EXPECT_EQ(setting("rightClick"), "1");
    EXPECT_EQ(setting("totalClick"), "5");
    // a, Shift, b, Return, KP_Enter, Tab and the keypad 5 with NumLock on.
    EXPECT_EQ(setting("KeyDownAll"), "7");

    // Only counts were kept: the store holds no value naming or timing a key, and the data
    // file's totals are the counts.
    // Every file the program writes is searched: the store with its journal, the autostart
    // entry, the lock and socket, the working folder (the data file's random filler aside).
    {
        std::vector<fs::path> folders = {work};
        for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
            if (const char* dir = std::getenv(var)) folders.emplace_back(dir);
        int searched = 0;
        for (const fs::path& folder : folders) {
            for (const auto& e : fs::recursive_directory_iterator(
                     folder, fs::directory_options::skip_permission_denied)) {
                if (!e.is_regular_file()) continue;
                std::string content = ReadAll(e.path());
                if (e.path().filename() == "PTDATA.CVD") {
                    const auto f = DataFields(e.path());
                    content.clear();
                    for (size_t i : {1, 3, 4, 5, 6, 8, 9, 10, 11, 12, 43, 44, 45, 46, 47, 48, 49})
                        if (i < f.size()) content += f[i] + ",";
                }
                ++searched;
                for (const char* secret : {"Return", "KP_", "Shift", "回车", "字符", "keysym"})
                    EXPECT_EQ(content.find(secret), std::string::npos)
                        << secret << " in " << e.path();
            }
        }
        EXPECT_GE(searched, 3);  // at least the store, the data file and the output
    }
    const auto fields = DataFields(work / "PTDATA.CVD");
    ASSERT_GE(fields.size(), 49u);
    EXPECT_EQ(fields[11], "5");  // totalClick
    EXPECT_EQ(fields[12], "7");  // totalKeys, and its copy
    EXPECT_EQ(fields[43], "7");
}

TEST_F(InputCountingE2E, StoredSwitchesKeepPressesAndKeysFromCounting) {
    {
        SqliteSettingsStore store(SettingsDatabase::DefaultPath());
        store.write(SettingsRoot::LocalMachine, MainKey, "AddHook", "1");
        store.write(SettingsRoot::LocalMachine, MainKey, "AddSysHook", "1");
    }
    setTotal("totalClick", "7");
    setTotal("KeyDownAll", "9");
    ProgramRun run(work, dataHome());
    ASSERT_TRUE(run.waitForWindow()) << run.output();
    std::this_thread::sleep_for(1s);
    Xdotool("mousemove 1200 1000 click 1 click 3 key a b c");
    std::this_thread::sleep_for(500ms);
    run.stop();
    EXPECT_EQ(setting("totalClick"), "7");
    EXPECT_EQ(setting("KeyDownAll"), "9");
}

}  // namespace
}  // namespace pt
