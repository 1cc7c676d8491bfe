#include "platform/windows/WinJournalFile.h"

#include <ctime>
#include <system_error>

#include "platform/windows/WideText.h"
#include "platform/windows/Win32.h"
#include "platform/windows/WinDataFolder.h"

namespace pt {
namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() {
        if (valid()) CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }

private:
    HANDLE m_h;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

void MakeFolder(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
}

}  // namespace

std::optional<std::string> WinJournalFile::read() {
    Handle file(CreateFileW(m_file.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
        if (got == 0) return text;
        text.append(buffer, got);
    }
}

bool WinJournalFile::append(std::string_view bytes) {
    MakeFolder(m_file);
    Handle file(CreateFileW(m_file.c_str(), FILE_APPEND_DATA, ShareAll, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && WriteAll(file.get(), bytes);
}

bool WinJournalFile::replace(std::string_view bytes) {
    MakeFolder(m_file);
    const std::wstring next = m_file.wstring() + L".new";
    {
        Handle file(CreateFileW(next.c_str(), GENERIC_WRITE, ShareAll, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return false;
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            DeleteFileW(next.c_str());
            return false;
        }
    }
    if (MoveFileExW(next.c_str(), m_file.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(next.c_str());
    return false;
}

bool WinJournalFile::setAside() {
    const std::wstring aside = m_file.wstring() + L".not-ours-" +
                               std::to_wstring(static_cast<long long>(std::time(nullptr)));
    return MoveFileExW(m_file.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

std::string WinJournalFile::place() const {
    return Narrow(m_file.wstring());
}

std::filesystem::path DefaultHistoryJournalPath() {
    return WinDataFolderPath() / "history.journal";
}

std::unique_ptr<JournalDayHistory> OpenWinDayHistory(std::filesystem::path file) {
    return std::make_unique<JournalDayHistory>(std::make_unique<WinJournalFile>(std::move(file)));
}

}  // namespace pt
