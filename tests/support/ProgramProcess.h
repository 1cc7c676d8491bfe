#pragma once

// The real program as a child process: its own environment and working folder, output
// kept in a log, stopped by a signal. Shared by the tests that drive the whole binary.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "support/TempDir.h"

namespace pt::test {

inline std::string ProgramPath() {
    return std::string(PT_BINARY_DIR) + "/pathtally";
}

struct CommandResult {
    int code = -1;
    std::string output;
};

// The program with `arguments` (quoted by the caller), no display at all and its settings
// under `config`, started: standard output and standard error together to be read from the
// stream, which `FinishWithoutDisplay` reads to its end.
inline std::FILE* StartWithoutDisplay(const std::filesystem::path& config,
                                      const std::string& arguments) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" + config.string() +
        "' '" + ProgramPath() + "' " + arguments + " 2>&1";
    return popen(command.c_str(), "r");
}

// The rest of the started program's output (after `outputSoFar`) and its exit code.
inline CommandResult FinishWithoutDisplay(std::FILE* program, std::string outputSoFar = {}) {
    CommandResult result;
    result.output = std::move(outputSoFar);
    if (!program) return result;
    char buf[1024];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, program)) > 0) result.output.append(buf, got);
    const int status = pclose(program);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The program run to its end: standard output and standard error together, and the exit code.
inline CommandResult RunWithoutDisplay(const std::filesystem::path& config,
                                       const std::string& arguments) {
    return FinishWithoutDisplay(StartWithoutDisplay(config, arguments));
}

// Runs a shell command, returns its standard output (last line break removed).
inline std::string Capture(const std::string& command) {
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
        pclose(p);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

class ProgramProcess {
public:
    // `environment` is added to (and overrides) the test's own; stdout and stderr go to `log`.
    ProgramProcess(const std::filesystem::path& workDir, const std::filesystem::path& log,
                   const std::map<std::string, std::string>& environment = {})
        : m_log(log) {
        m_pid = fork();
        if (m_pid == 0) {
            for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
            if (chdir(workDir.c_str()) != 0) _exit(126);
            if (!freopen(log.c_str(), "a", stdout) || !freopen(log.c_str(), "a", stderr))
                _exit(126);
            const std::string program = ProgramPath();
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ProgramProcess() { kill9(); }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    pid_t pid() const { return m_pid; }

    // False once the process has ended (its status is then in status()).
    bool running() {
        if (m_pid <= 0) return false;
        if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
            m_pid = 0;
            return false;
        }
        return true;
    }
    int status() const { return m_status; }

    void kill9() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &m_status, 0);
        m_pid = 0;
    }

    // SIGTERM, as a session end sends it; SIGKILL after `patience`.
    int terminate(std::chrono::milliseconds patience = std::chrono::seconds(15)) {
        if (m_pid <= 0) return m_status;
        kill(m_pid, SIGTERM);
        const auto end = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < end) {
            if (!running()) return m_status;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill9();
        return m_status;
    }

    // Ids of this process's visible windows whose title matches `titleRegex`.
    std::string visibleWindows(const std::string& titleRegex = ".") const {
        return Capture("xdotool search --all --onlyvisible --pid " + std::to_string(m_pid) +
                       " --name '" + titleRegex + "' 2>/dev/null");
    }

    // Waits for the main window ("Pathtally" and the version) to be mapped.
    bool waitForWindow(std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (!running()) return false;
            if (!visibleWindows("^PathtallyV").empty()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::string output() const { return ReadAll(m_log); }

private:
    std::filesystem::path m_log;
    pid_t m_pid = -1;
    int m_status = -1;
};

}  // namespace pt::test
