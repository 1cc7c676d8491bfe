// The registry store against Wine's registry, read back with the system's own reg.exe.

#include <gtest/gtest.h>

#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/RunKeyAutostart.h"
#include "platform/windows/WideText.h"
#include "platform/windows/Win32.h"

namespace pt {
namespace {

// What `reg query <key> /v <name>` prints, or empty when it fails.
std::string RegQuery(const std::string& key, const std::string& name) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring command = Widen("reg.exe query \"" + key + "\" /v \"" + name + "\"");
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string out;
    if (started) {
        char buffer[512];
        DWORD n = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &n, nullptr) && n > 0)
            out.append(buffer, n);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return out;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

TEST(RegistrySettingsStore, BothKeysRoundTripAndTheSystemReadsThem) {
    RegistrySettingsStore store;
    ASSERT_TRUE(store.localMachineWritable());  // Wine runs every program elevated
    WriteSetting(store, MainKey, "Allmove", "123456789");
    WriteSetting(store, MirrorKey, "Allmove", "123456789");
    EXPECT_EQ(ReadSetting(store, MainKey, "Allmove"), "123456789");
    // Value names and key paths compare without regard to case.
    EXPECT_EQ(ReadSetting(store, "software\\corvandel\\PATHTALLY", "ALLMOVE"), "123456789");

    const std::string main = RegQuery("HKLM\\SOFTWARE\\Corvandel\\Pathtally", "Allmove");
    EXPECT_NE(main.find("REG_SZ"), std::string::npos) << main;
    EXPECT_NE(main.find("123456789"), std::string::npos) << main;
    const std::string mirror = RegQuery("HKLM\\software\\microsoft\\com3", "Allmove");
    EXPECT_NE(mirror.find("123456789"), std::string::npos) << mirror;
}

TEST(RegistrySettingsStore, TextsKeepEveryCharacterAndAbsentValuesReadEmpty) {
    RegistrySettingsStore store;
    const std::string chinese = "星期三 2026/12/8 21:30:05";
    WriteSetting(store, MainKey, "StartDate", chinese);
    EXPECT_EQ(ReadSetting(store, MainKey, "StartDate"), chinese);
    WriteSetting(store, MainKey, "StartDate", "");
    EXPECT_EQ(ReadSetting(store, MainKey, "StartDate"), "");
    EXPECT_EQ(ReadSetting(store, MainKey, "NeverWritten"), "");

    // Reading never creates a key.
    EXPECT_EQ(ReadSetting(store, "SOFTWARE\\Corvandel\\NoSuchKey", "X"), "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Corvandel\\NoSuchKey"));

    // A value someone stored without a terminator reads as its text.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(MainKey).c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"42"),
                   2 * sizeof(wchar_t));
    // A number stored as a DWORD is not text.
    const DWORD number = 7;
    RegSetValueExW(key, L"Dword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));
    RegCloseKey(key);
    EXPECT_EQ(ReadSetting(store, MainKey, "Bare"), "42");
    EXPECT_EQ(ReadSetting(store, MainKey, "Dword"), "");
}

TEST(RegistrySettingsStore, WithoutLocalMachineAccessTheUsersKeyStandsIn) {
    // Totals an elevated run left under the local machine.
    RegistrySettingsStore elevated(RegistrySettingsStore::LocalMachineAccess::Writable);
    WriteSetting(elevated, MirrorKey, "TotalClick", "500");
    WriteSetting(elevated, MirrorKey, "AllUseTime", "900");

    RegistrySettingsStore store(RegistrySettingsStore::LocalMachineAccess::ReadOnly);
    EXPECT_FALSE(store.localMachineWritable());
    EXPECT_EQ(ReadSetting(store, MirrorKey, "TotalClick"), "500");  // found and continued
    WriteSetting(store, MirrorKey, "TotalClick", "501");
    EXPECT_EQ(ReadSetting(store, MirrorKey, "TotalClick"), "501");
    EXPECT_EQ(ReadSetting(store, MirrorKey, "AllUseTime"), "900");
    // The write went to the user's key; the local machine's value is untouched.
    EXPECT_EQ(ReadSetting(elevated, MirrorKey, "TotalClick"), "500");
    EXPECT_EQ(store.read(SettingsRoot::CurrentUser, MirrorKey, "TotalClick"), "501");
    EXPECT_NE(RegQuery("HKCU\\software\\microsoft\\com3", "TotalClick").find("501"),
              std::string::npos);
}

TEST(RunKeyAutostart, PathIsTheRunValueAndSwitchingOffKeepsItEmpty) {
    RegistrySettingsStore store;
    RunKeyAutostart autostart(store);
    autostart.write("C:\\Program Files\\Pathtally\\pathtally.exe");
    EXPECT_EQ(autostart.read(), "C:\\Program Files\\Pathtally\\pathtally.exe");
    EXPECT_NE(RegQuery("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Pathtally")
                  .find("pathtally.exe"),
              std::string::npos);
    autostart.write("");
    EXPECT_EQ(autostart.read(), "");
    EXPECT_NE(RegQuery("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Pathtally")
                  .find("REG_SZ"),
              std::string::npos);  // still there, empty
}

}  // namespace
}  // namespace pt
