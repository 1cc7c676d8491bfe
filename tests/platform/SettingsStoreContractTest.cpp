#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/linux/SqliteSettingsStore.h"
#include "support/MemorySettingsStore.h"
#include "support/SqliteShell.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr auto LM = SettingsRoot::LocalMachine;
constexpr auto CU = SettingsRoot::CurrentUser;

std::string Shell(const fs::path& db, const std::string& sql) {
    return test::SqliteShell(db, sql);
}

// What the contract tests need to look inside each backend.
struct MemoryBackend {
    using Store = test::MemorySettingsStore;
    std::unique_ptr<Store> make() { return std::make_unique<Store>(); }
    bool keyExists(Store& s, SettingsRoot root, std::string_view key) {
        return s.hasKey(root, key);
    }
    size_t valueCount(Store& s) { return s.valueCount(); }
};

struct SqliteBackend {
    using Store = SqliteSettingsStore;
    TempDir dir;
    fs::path db = dir / "config" / "pathtally" / "settings.db";
    std::unique_ptr<Store> make() { return std::make_unique<Store>(db); }
    bool keyExists(Store&, SettingsRoot root, std::string_view key) {
        if (!fs::exists(db)) return false;
        std::string rootName = root == LM ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
        return Shell(db, "SELECT count(*) FROM settings WHERE root = '" + rootName +
                             "' AND key = '" + std::string(key) + "';") != "0";
    }
    size_t valueCount(Store&) {
        if (!fs::exists(db)) return 0;
        return static_cast<size_t>(std::stoul(Shell(db, "SELECT count(*) FROM settings;")));
    }
};

template <class B>
class SettingsStoreContract : public ::testing::Test {
protected:
    B backend;
    std::unique_ptr<typename B::Store> store = backend.make();
};

using Backends = ::testing::Types<MemoryBackend, SqliteBackend>;
TYPED_TEST_SUITE(SettingsStoreContract, Backends);

TYPED_TEST(SettingsStoreContract, AbsentReadsEmptyAndReadingCreatesNothing) {
    auto& s = *this->store;
    EXPECT_EQ(s.read(LM, MainKey, "Aopen"), "");
    EXPECT_EQ(s.read(LM, "software\\nowhere\\deeper", "x"), "");
    EXPECT_FALSE(this->backend.keyExists(s, LM, "software\\nowhere\\deeper"));
    EXPECT_EQ(this->backend.valueCount(s), 0u);
    s.write(LM, "software\\nowhere\\deeper", "x", "1");
    EXPECT_TRUE(this->backend.keyExists(s, LM, "software\\nowhere\\deeper"));
    EXPECT_EQ(s.read(LM, "software\\nowhere\\deeper", "x"), "1");
}

TYPED_TEST(SettingsStoreContract, NamesAndKeyPathsIgnoreCase) {
    auto& s = *this->store;
    s.write(LM, MainKey, "AllMove", "100");
    s.write(LM, MainKey, "Allmove", "200");  // the same value
    EXPECT_EQ(s.read(LM, MainKey, "AllMove"), "200");
    EXPECT_EQ(s.read(LM, MainKey, "ALLMOVE"), "200");
    EXPECT_EQ(s.read(LM, "software\\corvandel\\PATHTALLY", "allmove"), "200");
    EXPECT_EQ(this->backend.valueCount(s), 1u);
    // The keys and the roots stay apart.
    EXPECT_EQ(s.read(LM, MirrorKey, "AllMove"), "");
    EXPECT_EQ(s.read(CU, MainKey, "AllMove"), "");
    s.write(CU, MainKey, "AllMove", "5");
    EXPECT_EQ(s.read(LM, MainKey, "AllMove"), "200");
    EXPECT_EQ(s.read(CU, MainKey, "AllMove"), "5");
}

TYPED_TEST(SettingsStoreContract, TextsComeBackWholeUpToTheFirstNul) {
    auto& s = *this->store;
    s.write(LM, MainKey, "AllUseTime", std::string("12345\0abc", 9));
    EXPECT_EQ(s.read(LM, MainKey, "AllUseTime"), "12345");
    const std::string folder = "/home/用户/程序 文件/計步器";
    s.write(LM, MainKey, "InstallPath", folder);
    EXPECT_EQ(s.read(LM, MainKey, "InstallPath"), folder);
    s.write(LM, MainKey, "Empty", "");
    EXPECT_EQ(s.read(LM, MainKey, "Empty"), "");
    const std::string big(100000, 'x');
    s.write(LM, MainKey, "Big", big);
    EXPECT_EQ(s.read(LM, MainKey, "Big"), big);
    s.write(LM, MainKey, "Quote", "it's \"quoted\"; DROP TABLE settings;");
    EXPECT_EQ(s.read(LM, MainKey, "Quote"), "it's \"quoted\"; DROP TABLE settings;");
}

TYPED_TEST(SettingsStoreContract, BatchedWritesAreReadableInsideAndAfter) {
    auto& s = *this->store;
    {
        SettingsBatch batch(s);
        s.write(LM, MainKey, "leftClick", "1");
        {
            SettingsBatch nested(s);
            s.write(LM, MirrorKey, "leftClick", "1");
        }
        EXPECT_EQ(s.read(LM, MirrorKey, "leftClick"), "1");
        s.write(LM, MainKey, "leftClick", "2");
    }
    EXPECT_EQ(s.read(LM, MainKey, "leftClick"), "2");
    EXPECT_EQ(s.read(LM, MirrorKey, "leftClick"), "1");
    s.endBatch();  // an unmatched end changes nothing
    s.write(LM, MainKey, "after", "3");
    EXPECT_EQ(s.read(LM, MainKey, "after"), "3");
}

}  // namespace
}  // namespace pt
