#pragma once

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/windows/Win32.h"

namespace pt {

// The scripted site (a Unix python3 program that Wine starts by its path), on a port it
// chooses and writes to a file.
class ScriptedSite {
public:
    ScriptedSite() {
        const char* root = std::getenv("PT_UNIX_TEST_ROOT");
        if (!root) return;
        m_portFile = std::string(root) + "/site-port";
        const std::string& portFile = m_portFile;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring command =
            L"Z:\\usr\\bin\\python3 " PT_WIDE_SOURCE_DIR L"/tests/windows/scripted-site.py " +
            std::wstring(portFile.begin(), portFile.end());
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &m_process))
            return;
        for (int i = 0; i < 200 && m_port.empty(); ++i) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(50));  // the site starting: no other signal exists
            std::ifstream("Z:" + portFile) >> m_port;
        }
    }
    ~ScriptedSite() {
        if (m_process.hProcess) {
            std::ofstream("Z:" + m_portFile + ".stop");
            WaitForSingleObject(m_process.hProcess, 5000);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
    }
    bool up() const { return !m_port.empty(); }
    std::string url(const char* path) const { return "http://127.0.0.1:" + m_port + path; }
    // Whether a request for `path` has reached the site.
    bool requested(const std::string& path) const { return requestCount(path) > 0; }
    // How many requests for `path` have reached the site.
    int requestCount(const std::string& path) const {
        std::ifstream log("Z:" + m_portFile + ".requests");
        int count = 0;
        for (std::string line; std::getline(log, line);) count += line == path;
        return count;
    }

private:
    PROCESS_INFORMATION m_process{};
    std::string m_portFile;
    std::string m_port;
};

}  // namespace pt
