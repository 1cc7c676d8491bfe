// A FIFO nobody reads from: the window's save refuses it at once, the command line's waits
// for a reader as long as it was told to and then says why it gave up. The FIFO stays.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "support/TempDir.h"
#include "ui/WholeFile.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool IsFifo(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

TEST(WholeFile, AFifoWithoutAReaderIsRefusedOnceTheWaitIsOver) {
    test::TempDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const QString name = QFile::decodeName(fifo.c_str());

    int waits = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WriteWholeFile(name, "rows", ReaderWait{0ms, [&] { ++waits; }}),
              QStringLiteral("no program reads from the FIFO"));
    EXPECT_EQ(waits, 0) << "no wait, nothing to say";

    EXPECT_EQ(WriteWholeFile(name, "rows", ReaderWait{300ms, [&] { ++waits; }}),
              QStringLiteral("no program opened the FIFO for reading within 300 ms"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(waits, 1) << "said once";
    EXPECT_TRUE(IsFifo(fifo));

    // A reader there: written at once, nothing said.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(WriteWholeFile(name, "rows", ReaderWait{300ms, [&] { ++waits; }}), QString());
    char buf[16] = {};
    EXPECT_EQ(::read(reader, buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "rows");
    ::close(reader);
    EXPECT_EQ(waits, 1);
    EXPECT_TRUE(IsFifo(fifo));
}

}  // namespace
}  // namespace pt
