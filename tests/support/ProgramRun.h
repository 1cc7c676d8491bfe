#pragma once

// The real program in a working folder of its own with its output in "output.log" there,
// for end-to-end tests that drive it from outside (X server, files, signals).

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "support/ProgramProcess.h"

namespace pt::test {

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

}  // namespace pt::test
