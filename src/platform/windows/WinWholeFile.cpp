#include "platform/windows/WinWholeFile.h"

#include "platform/windows/Win32.h"

#include <ctime>

#include "platform/windows/SystemErrorText.h"

namespace pt {
namespace {

// The system's words, as a reason after a colon: without the closing full stop.
std::string SystemReason(DWORD error) {
    std::string reason = SystemErrorText(error);
    while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : reason;
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

}  // namespace

WholeFileWrite WriteWholeFile(const std::wstring& file, std::string_view bytes) {
    if (file.empty()) return {"no file name", false};
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {"it is a folder", false};

    // Opened once to learn what it is: a pipe opened a second time may find its only
    // instance taken by the first.
    HANDLE existing = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(existing);
        if (type != FILE_TYPE_DISK && type != FILE_TYPE_UNKNOWN) {
            const bool ok = WriteAll(existing, bytes);
            const DWORD error = GetLastError();
            CloseHandle(existing);
            return {ok ? std::string() : SystemReason(error), true};
        }
        CloseHandle(existing);
    }

    // Beside the target, so that the move is a rename on the same volume.
    const std::wstring temporary = file + L".part-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" +
                                   std::to_wstring(static_cast<long long>(std::time(nullptr)));
    HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {SystemReason(GetLastError()), false};
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
    return {SystemReason(error), false};
}

}  // namespace pt
