#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace pt::test {

// Runs SQL through the sqlite3 shell against a database, as someone editing the settings
// store from outside would, and returns what the shell printed (last line break removed).
inline std::string SqliteShell(const std::filesystem::path& db, const std::string& sql) {
    std::random_device rd;
    std::filesystem::path script =
        std::filesystem::temp_directory_path() / ("pt-shell-" + std::to_string(rd()) + ".sql");
    std::ofstream(script) << sql;
    std::string cmd = "sqlite3 -batch '" + db.string() + "' < '" + script.string() + "' 2>&1";
    std::string out;
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
        pclose(p);
    }
    std::error_code ec;
    std::filesystem::remove(script, ec);
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace pt::test
