// The day history journal through the Win32 file API, under Wine: the same contract as the
// Linux store, and a writer killed at random points.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/persistence/HistoryJournal.h"
#include "platform/windows/Win32.h"
#include "platform/windows/WinJournalFile.h"
#include "support/DayHistoryContract.h"
#include "support/TempDir.h"

#define PT_WIDEN2(text) L##text
#define PT_WIDEN(text) PT_WIDEN2(text)

namespace pt {
namespace {
using namespace pt::test;  // the contract suite
namespace fs = std::filesystem;

struct WinJournalBackend {
    using Store = JournalDayHistory;
    TempDir dir;
    fs::path file = dir / "Pathtally" / "history.journal";
    std::unique_ptr<Store> open() { return OpenWinDayHistory(file); }
    template <class Fn>
    void inSave(Store& store, Fn fn) {
        store.beginGroup();
        fn(store);
        store.endGroup();
    }
};
using WinJournalBackends = ::testing::Types<WinJournalBackend>;
INSTANTIATE_TYPED_TEST_SUITE_P(WinJournal, DayHistoryContract, WinJournalBackends);

std::string FileText(const fs::path& file) {
    WinJournalFile journal(file);
    return journal.read().value_or("<unreadable>");
}

TEST(WinJournalFile, AReplaceLeavesTheOldFileOrTheNewOneWhole) {
    TempDir dir;
    const fs::path file = dir / "history.journal";
    WinJournalFile journal(file);
    EXPECT_EQ(journal.read(), std::string()) << "a missing file reads as empty";
    ASSERT_TRUE(journal.append("one\n"));
    HANDLE reader = CreateFileW(file.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    // The system refuses to replace a file another handle holds open (an export reading
    // it): the old file stays whole, and the journal tries again at its next save.
    const bool replacedWhileOpen = journal.replace("two\n");
    EXPECT_EQ(journal.read(), replacedWhileOpen ? "two\n" : "one\n");
    EXPECT_TRUE(journal.append("more\n"));
    CloseHandle(reader);
    EXPECT_TRUE(journal.replace("two\n"));
    EXPECT_EQ(journal.read(), "two\n");
    EXPECT_FALSE(fs::exists(dir / "history.journal.new"));
    EXPECT_TRUE(journal.setAside());
    EXPECT_EQ(journal.read(), std::string());
    int aside = 0;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        aside += entry.path().filename().string().starts_with("history.journal.not-ours-");
    EXPECT_EQ(aside, 1);
}

// Runs the writer until it has reported `saves` saves, then ends it with TerminateProcess.
long RunWriterAndKill(const fs::path& journal, long saves) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = writeEnd;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"\"Z:" PT_WIDEN(PT_HISTORY_WRITER) L"\" \"" + journal.wstring() + L"\"";
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &start, &process);
    CloseHandle(writeEnd);
    long reported = 0;
    std::string pending;
    char buffer[256];
    DWORD got = 0;
    while (started && reported < saves && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) &&
           got > 0) {
        pending.append(buffer, got);
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            reported = std::stol(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
    if (started) {
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return reported;
}

TEST(WinDayHistoryKill, AWriterKilledAtAnyPointLeavesWholeSavesOnly) {
    TempDir dir;
    const fs::path journal = dir / "Pathtally" / "history.journal";
    std::mt19937 random(std::random_device{}());
    std::int64_t saved = 0;
    for (int kill = 0; kill < 10; ++kill) {
        const long target = std::uniform_int_distribution<long>(3, 200)(random);
        const long reported = RunWriterAndKill(journal, target);
        ASSERT_GE(reported, target) << "kill " << kill;
        const JournalContents contents = ReadHistoryJournal(FileText(journal));
        ASSERT_EQ(contents.header, JournalContents::Header::Ours) << kill;
        EXPECT_LE(contents.badLines, 1) << "at most the line the kill cut short";
        auto history = OpenWinDayHistory(journal);
        const auto days = history->days();
        ASSERT_EQ(days.size(), 3u) << kill;
        const DayFigures before = days[1].figures, after = days[2].figures;
        // Both sides of midnight came in the same line: equal, whatever the kill cut.
        EXPECT_EQ(before.travel, after.travel) << kill;
        EXPECT_EQ(before.leftClicks, before.travel) << kill;
        EXPECT_GE(before.travel, saved + reported) << "every reported save is kept: " << kill;
        EXPECT_TRUE(history->hours("2026-11-01").empty()) << kill;
        EXPECT_EQ(history->hours("2026-12-07"),
                  (std::vector<HourRow>{{23, before.travel, before.travel, before.travel}}));
        saved = before.travel;
    }
}

}  // namespace
}  // namespace pt
