// The one CSV writer of the Windows program (the export command and the history window's
// save), under Wine: a file is replaced whole, a pipe that serves a single client and NUL
// are written as streams, a folder is refused and left as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/windows/Win32.h"
#include "platform/windows/WinWholeFile.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

std::string Rows() {
    std::string rows = "date,clicks\r\n";
    for (int i = 0; i < 5000; ++i) rows += "2026-01-01," + std::to_string(i) + "\r\n";
    return rows;  // more than a pipe's buffer holds
}

TEST(WinWholeFile, AFileIsReplacedWholeAndAFolderRefused) {
    test::TempDir dir;
    const fs::path file = dir / "days.csv";
    test::WriteAll(file, "an older export");
    const WholeFileWrite written = WriteWholeFile(file.wstring(), Rows());
    EXPECT_EQ(written.failure, "");
    EXPECT_FALSE(written.stream);
    EXPECT_EQ(test::ReadAll(file), Rows());

    const fs::path folder = dir / "folder";
    fs::create_directory(folder);
    const WholeFileWrite refused = WriteWholeFile(folder.wstring(), Rows());
    EXPECT_EQ(refused.failure, "it is a folder");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
        << "nothing left beside them";
}

TEST(WinWholeFile, APipeOfOneInstanceAndNulAreWrittenAsStreams) {
    const std::wstring name =
        L"\\\\.\\pipe\\pathtally-test-" + std::to_wstring(GetCurrentProcessId());
    // One instance: a writer that opened it once to look, and again to write, finds it busy.
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND,
                                     PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096,
                                     0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::string got;
    std::thread reader([&] {
        if (!ConnectNamedPipe(server, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(server, buf, sizeof buf, &n, nullptr) && n > 0) got.append(buf, n);
    });
    const WholeFileWrite written = WriteWholeFile(name, Rows());
    if (!written.failure.empty()) {
        // Let the reader go: a client of our own connects and leaves.
        HANDLE unblock =
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (unblock != INVALID_HANDLE_VALUE) CloseHandle(unblock);
    }
    reader.join();
    CloseHandle(server);
    EXPECT_EQ(written.failure, "");
    EXPECT_TRUE(written.stream);
    EXPECT_TRUE(got == Rows()) << got.size() << " bytes read";

    const WholeFileWrite nul = WriteWholeFile(L"NUL", Rows());
    EXPECT_EQ(nul.failure, "");
    EXPECT_TRUE(nul.stream);
}

}  // namespace
}  // namespace pt
