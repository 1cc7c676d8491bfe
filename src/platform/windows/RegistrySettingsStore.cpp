#include "platform/windows/RegistrySettingsStore.h"

#include "platform/windows/Win32.h"

#include <optional>

#include "platform/windows/WideText.h"

namespace pt {
namespace {

std::optional<std::string> ReadValue(HKEY root, std::string_view keyPath, std::string_view name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    std::optional<std::string> result;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &bytes) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(text.data()), &size) == ERROR_SUCCESS) {
            // The stored text need not end in a terminator; it ends at the first one.
            text.resize(size / sizeof(wchar_t));
            if (const auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
            result = Narrow(text);
        }
    }
    RegCloseKey(key);
    return result;
}

bool WriteValue(HKEY root, std::string_view keyPath, std::string_view name, std::string_view text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, Widen(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring value = Widen(text);
    const LONG rc = RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool CanWriteLocalMachine() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(MainKey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(LocalMachineAccess access) {
    switch (access) {
        case LocalMachineAccess::Probe:
            m_localMachineWritable = CanWriteLocalMachine();
            break;
        case LocalMachineAccess::Writable:
            m_localMachineWritable = true;
            break;
        case LocalMachineAccess::ReadOnly:
            m_localMachineWritable = false;
            break;
    }
}

std::string RegistrySettingsStore::read(SettingsRoot root, std::string_view keyPath,
                                        std::string_view name) {
    if (root == SettingsRoot::CurrentUser)
        return ReadValue(HKEY_CURRENT_USER, keyPath, name).value_or("");
    if (!m_localMachineWritable)
        if (auto text = ReadValue(HKEY_CURRENT_USER, keyPath, name)) return *text;
    return ReadValue(HKEY_LOCAL_MACHINE, keyPath, name).value_or("");
}

void RegistrySettingsStore::write(SettingsRoot root, std::string_view keyPath,
                                  std::string_view name, std::string_view text) {
    const bool localMachine = root == SettingsRoot::LocalMachine && m_localMachineWritable;
    WriteValue(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, keyPath, name, text);
}

}  // namespace pt
