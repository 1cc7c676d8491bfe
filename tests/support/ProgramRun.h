#pragma once

// The real program in a working folder of its own with its output in "output.log" there,
// for end-to-end tests that drive it from outside (X server, files, signals).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "support/ProgramProcess.h"

namespace pt::test {

// A folder of the running test's own under the root run-test.sh --xvfb gives every test
// binary (PT_TEST_ROOT), named after the test; empty when run without it.
inline std::filesystem::path TestFolder() {
    const char* root = std::getenv("PT_TEST_ROOT");
    if (!root) return {};
    return std::filesystem::path(root) /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

class ProgramRun : public ProgramProcess {
public:
    explicit ProgramRun(const std::filesystem::path& workDir,
                        const std::map<std::string, std::string>& env = {})
        : ProgramProcess(workDir, workDir / "output.log", env) {}

    // Waits for the process to end by itself; false on timeout.
    bool waitExit(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (running()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }
    // SIGTERM (the program saves and ends), SIGKILL if it does not end in time.
    int stop() { return terminate(); }
};

// Runs a command line (xdotool, sqlite3); true when it exits with 0.
inline bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// Waits until a visible window's title matches `regex`. Polls instead of "xdotool search
// --sync", which gives up at once when a window vanishes while it looks.
inline bool WaitForWindow(const std::string& regex, int seconds = 30) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    const std::string search =
        "xdotool search --onlyvisible --name '" + regex + "' >/dev/null 2>&1";
    while (std::chrono::steady_clock::now() < end) {
        if (Shell(search)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

// The id of the first visible window whose title matches `regex`, waiting for one to
// appear; empty when none does.
inline std::string FindWindow(const std::string& regex, int seconds = 30) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        const std::string out =
            Capture("xdotool search --onlyvisible --name '" + regex + "' 2>/dev/null");
        if (!out.empty()) return out.substr(0, out.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

// Gives a window the keyboard focus. Without a window manager the program may move the
// focus itself while it maps its windows, and "xdotool windowfocus --sync" then ends with
// an error when the focus falls back to the root; so it is retried.
inline bool FocusWindow(const std::string& id) {
    for (int i = 0; i < 10; ++i) {
        if (Shell("xdotool windowfocus --sync " + id + " >/dev/null 2>&1")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return false;
}

// Focuses the first visible window whose title matches `regex` and types `keys` into it.
inline bool KeysTo(const std::string& regex, const std::string& keys) {
    const std::string id = FindWindow(regex);
    return !id.empty() && FocusWindow(id) && Shell("xdotool key " + keys + " >/dev/null 2>&1");
}

}  // namespace pt::test
