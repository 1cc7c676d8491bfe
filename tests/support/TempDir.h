#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

namespace pt::test {

// A fresh folder per test, removed afterwards (write bits restored first, since files
// may have been left read-only). Lives under the binary's own test root when there is one.
class TempDir {
public:
    TempDir() {
        const char* root = std::getenv("PT_TEST_ROOT");
        std::filesystem::path base = root ? root : std::filesystem::temp_directory_path();
        std::random_device rd;
        m_path = base / ("t" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        for (auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteAll(const std::filesystem::path& path, const std::string& text) {
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

}  // namespace pt::test
