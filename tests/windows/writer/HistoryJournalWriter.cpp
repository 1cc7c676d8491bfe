// Saves into a day history journal without end, as the program's saves do, and says on
// standard output after each save how many it made: the subject of the kill tests.
//   history_journal_writer.exe JOURNAL
// Every save credits one to the day before midnight and one to the day after (a save across
// midnight, one line); every third also credits an hour of an old day and drops it again at
// once, so that the save rewrites the file whole.

#include <cstdio>
#include <string>

#include "platform/windows/Win32.h"
#include "platform/windows/WinJournalFile.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    auto history = pt::OpenWinDayHistory(argv[1]);
    for (long save = 1;; ++save) {
        history->beginGroup();
        history->add("2026-12-07", 23, {1, 1, 0, 0, 1, 1});
        history->add("2026-12-08", 0, {1, 0, 0, 0, 0, 1});
        if (save % 3 == 0) {
            history->add("2026-11-01", 5, {1, 0, 0, 0, 0, 0});
            history->dropHoursBefore("2026-11-02");
        }
        history->endGroup();
        if (!history->lastGroupSaved()) return 1;
        std::printf("%ld\n", save);
        std::fflush(stdout);
    }
}
