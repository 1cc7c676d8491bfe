#pragma once

// The real program started as a child process in a working folder of its own, for tests
// that drive it from outside (X server, files, signals).

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace pt::test {

class ProgramRun {
public:
    // `env` adds to (or, with an empty value, removes from) the test's environment.
    explicit ProgramRun(const std::filesystem::path& workDir,
                        const std::map<std::string, std::string>& env = {})
        : m_log(workDir / "output.log") {
        m_pid = fork();
        if (m_pid == 0) {
            for (const auto& [name, value] : env) {
                if (value.empty())
                    unsetenv(name.c_str());
                else
                    setenv(name.c_str(), value.c_str(), 1);
            }
            if (chdir(workDir.c_str()) != 0) _exit(126);
            if (!freopen(m_log.c_str(), "a", stdout) || !freopen(m_log.c_str(), "a", stderr))
                _exit(126);
            const std::string program = std::string(PT_BINARY_DIR) + "/pathtally";
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ProgramRun() { kill9(); }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    pid_t pid() const { return m_pid; }
    bool running() {
        if (m_pid <= 0) return false;
        if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
            m_pid = 0;
            return false;
        }
        return true;
    }
    // Waits for the process to end by itself; false on timeout.
    bool waitExit(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (running()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }
    int status() const { return m_status; }
    // SIGTERM (the program saves and ends), SIGKILL if it does not end in time.
    int stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            if (!waitExit(std::chrono::seconds(15))) kill9();
        }
        return m_status;
    }
    void kill9() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &m_status, 0);
        m_pid = 0;
    }
    std::string output() const {
        std::ifstream in(m_log);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::filesystem::path m_log;
    pid_t m_pid = -1;
    int m_status = -1;
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
