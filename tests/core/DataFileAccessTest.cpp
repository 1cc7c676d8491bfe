// The data file is the user's alone, whatever umask the session runs with: owner-only
// when created and read-only to its owner between saves.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "persistence/DataFile.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

class OpenUmask {
public:
    OpenUmask() : m_old(::umask(0)) {}
    ~OpenUmask() { ::umask(m_old); }

private:
    mode_t m_old;
};

TEST(DataFileAccess, OwnerOnlyUnderAnOpenUmask) {
    OpenUmask open;
    test::TempDir dir;
    DataFile file(dir / "PTDATA.CVD");
    DataRecord record;
    record.computerName = "PC";
    record.totalClick = 5;

    // Created by loading: writable by the owner, nobody else.
    file.LoadFile("PC");
    EXPECT_EQ(fs::status(file.path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // After a save, and after a save over a file someone opened to everyone.
    ASSERT_TRUE(file.SaveFile(record));
    EXPECT_EQ(fs::status(file.path()).permissions(), fs::perms::owner_read);
    fs::permissions(file.path(), fs::perms::all, fs::perm_options::replace);
    ASSERT_TRUE(file.SaveFile(record));
    EXPECT_EQ(fs::status(file.path()).permissions(), fs::perms::owner_read);
    EXPECT_EQ(file.LoadFile("PC").totalClick1, 5);
}

}  // namespace
}  // namespace pt
