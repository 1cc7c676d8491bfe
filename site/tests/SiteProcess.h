#pragma once

// The real pathtally-site on a free loopback port with a database of its own, for tests
// that talk to it from outside (a browser, the program).

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/WaitUntil.h"

namespace pt::test {

class SiteProcess {
public:
    // `database`: a file or PostgreSQL address instead of site.db in `dir`.
    SiteProcess(const std::filesystem::path& dir, std::vector<std::string> extraArgs = {},
                const std::string& database = {})
        : m_dir(dir) {
        const std::filesystem::path portFile = dir / "site.port";
        std::filesystem::remove(portFile);
        std::vector<std::string> args = {std::string(PT_BINARY_DIR) + "/pathtally-site",
                                         "--listen",
                                         "127.0.0.1:0",
                                         "--database",
                                         database.empty() ? (dir / "site.db").string() : database,
                                         "--port-file",
                                         portFile.string()};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        m_pid = fork();
        if (m_pid == 0) {
            const std::string log = (dir / "site.log").string();
            freopen(log.c_str(), "a", stdout);
            freopen(log.c_str(), "a", stderr);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        WaitUntil([&] { return std::filesystem::exists(portFile) || !running(); },
                  std::chrono::seconds(20));
        std::ifstream(portFile) >> m_port;
    }
    ~SiteProcess() { stop(); }
    SiteProcess(const SiteProcess&) = delete;
    SiteProcess& operator=(const SiteProcess&) = delete;

    bool running() {
        if (m_pid <= 0) return false;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) m_pid = -1;
        return m_pid > 0;
    }
    void stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    int port() const { return m_port; }
    std::string root() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::filesystem::path database() const { return m_dir / "site.db"; }
    std::string log() const {
        std::ifstream in(m_dir / "site.log");
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::filesystem::path m_dir;
    pid_t m_pid = -1;
    int m_port = 0;
};

}  // namespace pt::test
