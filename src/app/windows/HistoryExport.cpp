#include "HistoryExport.h"

// windows.h before the shell's header, which needs its types.
#include "platform/windows/Win32.h"

#include <shellapi.h>

#include <ctime>
#include <string_view>

#include "core/persistence/HistoryCsv.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WinJournalFile.h"

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

std::string SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = text ? text : L"";
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L' ' || reason.back() == L'.'))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : Narrow(reason);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Whether `file` names something other than a file on disk (a pipe, NUL, the console),
// which is written as a stream.
bool IsStream(const std::wstring& file) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(h);
    CloseHandle(h);
    return type != FILE_TYPE_DISK && type != FILE_TYPE_UNKNOWN;
}

// Writes the bytes whole or not at all; an empty text on success, else the reason.
std::string WriteWholeFile(const std::wstring& file, std::string_view bytes) {
    if (IsStream(file)) {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return SystemReason(GetLastError());
        const bool ok = WriteAll(h, bytes);
        const DWORD error = GetLastError();
        CloseHandle(h);
        return ok ? std::string() : SystemReason(error);
    }
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return SystemReason(ERROR_ACCESS_DENIED);
    // Beside the target, so that the move is a rename on the same volume.
    const std::wstring temporary = file + L".part-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" +
                                   std::to_wstring(static_cast<long long>(std::time(nullptr)));
    HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return SystemReason(GetLastError());
    bool ok = WriteAll(h, bytes) && FlushFileBuffers(h);
    DWORD error = GetLastError();
    CloseHandle(h);
    if (ok) {
        ok = MoveFileExW(temporary.c_str(), file.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        error = GetLastError();
    }
    if (ok) return {};
    DeleteFileW(temporary.c_str());
    return SystemReason(error);
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
        Say(STD_ERROR_HANDLE, "pathtally: --export-csv needs the name of the file to write");
        return 2;
    }
    auto history = OpenWinDayHistory(DefaultHistoryJournalPath());
    history->setReadOnlyAccess();  // the export changes nothing it reads
    const auto days = history->readDays();
    if (!days) {
        Say(STD_ERROR_HANDLE, "pathtally: cannot read the day history from " + history->place());
        return 1;
    }
    const std::string name = Narrow(file);
    if (const std::string failure = WriteWholeFile(file, HistoryCsv(*days)); !failure.empty()) {
        Say(STD_ERROR_HANDLE, "pathtally: cannot write " + name + ": " + failure);
        return 1;
    }
    Say(IsStream(file) ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE,
        std::to_string(days->size()) + " days written to " + name);
    return 0;
}

}  // namespace pt
