#include "HistoryExport.h"

// windows.h before the shell's header, which needs its types.
#include "platform/windows/Win32.h"

#include <shellapi.h>

#include <string_view>

#include "core/persistence/HistoryCsv.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WinJournalFile.h"
#include "platform/windows/WinWholeFile.h"

namespace pt {
namespace {

HANDLE StandardHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle && handle != INVALID_HANDLE_VALUE) return handle;
    // A GUI program started from a console has no standard handles: write to that console.
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    if (!attached) return nullptr;
    handle = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

void Say(DWORD which, const std::string& line) {
    HANDLE out = StandardHandle(which);
    if (!out) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

std::optional<std::wstring> ExportCsvRequest(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(commandLine, &count);
    if (!args) return std::nullopt;
    std::optional<std::wstring> file;
    for (int i = 1; i < count && !file; ++i) {
        const std::wstring_view arg = args[i];
        if (arg == L"--export-csv" || arg == L"-export-csv")
            file = i + 1 < count ? std::wstring(args[i + 1]) : std::wstring();
        else if (arg.starts_with(L"--export-csv="))
            file = std::wstring(arg.substr(13));
    }
    LocalFree(args);
    return file;
}

int RunWinExportCommand(const std::wstring& file) {
    if (file.empty()) {
        // A command-line mistake, with the status of every other one.
        Say(STD_ERROR_HANDLE, "pathtally: --export-csv needs the name of the file to write");
        return 1;
    }
    auto history = OpenWinDayHistory(DefaultHistoryJournalPath());
    history->setReadOnlyAccess();  // the export changes nothing it reads
    const auto days = history->readDays();
    if (!days) {
        Say(STD_ERROR_HANDLE, "pathtally: cannot read the day history from " + history->place());
        return 1;
    }
    const std::string name = Narrow(file);
    const WholeFileWrite written = WriteWholeFile(file, HistoryCsv(*days));
    if (!written.failure.empty()) {
        Say(STD_ERROR_HANDLE, "pathtally: cannot write " + name + ": " + written.failure);
        return 1;
    }
    // Not into the rows when they went to a stream (the console, a pipe).
    Say(written.stream ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE,
        std::to_string(days->size()) + " days written to " + name);
    return 0;
}

}  // namespace pt
