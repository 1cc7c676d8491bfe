// The data file is the user's alone, whatever umask the session runs with: owner-only
// when created and read-only to its owner between saves. Saves never write through a link
// planted at its name, and reading a file of any size costs little memory.

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "core/persistence/DataFile.h"
#include "support/TempDir.h"

// Bytes allocated through operator new in this test binary, now and at the peak.
namespace {
std::atomic<size_t> g_allocated{0}, g_peak{0};
}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const size_t now = g_allocated += malloc_usable_size(p);
    for (size_t peak = g_peak; now > peak && !g_peak.compare_exchange_weak(peak, now);) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    g_allocated -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace pt {
namespace {

namespace fs = std::filesystem;

// The most memory held at once while `work` runs, above what was held before.
template <typename Work>
size_t PeakAllocation(Work work) {
    const size_t before = g_allocated;
    g_peak = before;
    work();
    return g_peak - before;
}

mode_t Mode(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 07777;
}

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
    file.load("PC");
    EXPECT_EQ(fs::status(file.path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // After a save, and after a save over a file someone opened to everyone.
    ASSERT_TRUE(file.save(record));
    EXPECT_EQ(fs::status(file.path()).permissions(), fs::perms::owner_read);
    fs::permissions(file.path(), fs::perms::all, fs::perm_options::replace);
    ASSERT_TRUE(file.save(record));
    EXPECT_EQ(fs::status(file.path()).permissions(), fs::perms::owner_read);
    EXPECT_EQ(file.load("PC").fileTotalClick, 5);
}

TEST(DataFileAccess, SavesReplaceALinkAndLeaveItsTargetAlone) {
    test::TempDir dir;
    const fs::path name = dir / "PTDATA.CVD", target = dir / "elsewhere.txt";
    DataRecord record;
    record.computerName = "PC";
    record.totalClick = 7;
    for (const fs::perms targetMode :
         {fs::perms::owner_read | fs::perms::owner_write,
          fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read}) {
        SCOPED_TRACE(static_cast<int>(targetMode));
        fs::remove(target);
        test::WriteAll(target, "someone else's text\n");
        fs::permissions(target, targetMode, fs::perm_options::replace);
        DataFile file(name);
        // Planted before the start, and again while the program runs.
        for (int round = 0; round < 2; ++round) {
            fs::remove(name);
            fs::create_symlink(target, name);
            if (round == 0) file.load("PC");
            ASSERT_TRUE(file.save(record));
            EXPECT_EQ(test::ReadAll(target), "someone else's text\n");
            EXPECT_EQ(fs::status(target).permissions(), targetMode);
            ASSERT_FALSE(fs::is_symlink(name));
            EXPECT_EQ(Mode(name), 0400u);
            EXPECT_EQ(file.load("PC").fileTotalClick, 7);
            EXPECT_EQ(Mode(name), 0600u);
        }
    }
    // A link to nowhere, or a file left by an interrupted save, is no obstacle either.
    DataFile file(name);
    fs::remove(name);
    fs::create_symlink(dir / "missing", name);
    test::WriteAll(dir / "PTDATA.CVD.new", "half a record");
    ASSERT_TRUE(file.save(record));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_FALSE(fs::exists(dir / "PTDATA.CVD.new"));
    EXPECT_EQ(file.load("PC").fileTotalClick, 7);
}

TEST(DataFileAccess, OversizedFilesCostLittleMemory) {
    // Commas and short lines: every one a field, as many as the file has bytes.
    const std::string commas(2u << 20, ',');
    std::string lines;
    for (int i = 0; i < (1 << 20); ++i) lines += "1\n";
    for (const std::string* text : {&commas, static_cast<const std::string*>(&lines)}) {
        EXPECT_LT(PeakAllocation([&] { EXPECT_FALSE(ParseDataFile(*text)); }), 64u << 10);
    }

    // A 16 MB file on disk is read no further than a record could reach, and counts as
    // damaged.
    test::TempDir dir;
    const fs::path name = dir / "PTDATA.CVD";
    {
        std::ofstream out(name, std::ios::binary);
        for (int i = 0; i < 16; ++i) out << commas.substr(0, 1u << 20);
    }
    DataFile file(name);
    EXPECT_LT(PeakAllocation([&] { file.load("PC"); }), 1u << 20);
    EXPECT_EQ(file.lastLoadState(), DataFile::LoadState::Damaged);
    EXPECT_EQ(fs::file_size(name), 0u);

    // A saved record still reads back, several in a row too (the last one counts).
    DataRecord record;
    record.computerName = "PC";
    record.totalClick = 3;
    ASSERT_TRUE(file.save(record));
    EXPECT_EQ(file.load("PC").fileTotalClick, 3);
    const std::string one = test::ReadAll(name);
    auto parsed = ParseDataFile(one + one + one);
    ASSERT_TRUE(parsed && parsed->record);
    EXPECT_EQ(parsed->record->totalClick, 3);
}

}  // namespace
}  // namespace pt
