#include "support/MemorySettingsStore.h"

#include <cctype>

namespace pt::test {

std::string MemorySettingsStore::Fold(SettingsRoot root, std::string_view keyPath,
                                      std::string_view name) {
    std::string folded = root == SettingsRoot::LocalMachine ? "HKLM|" : "HKCU|";
    for (char c : keyPath) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    folded += '|';
    for (char c : name) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::string MemorySettingsStore::read(SettingsRoot root, std::string_view keyPath,
                                      std::string_view name) {
    if (locked) return {};
    auto it = m_values.find(Fold(root, keyPath, name));
    if (it == m_values.end()) return {};
    const std::string& text = it->second;
    return text.substr(0, text.find('\0'));  // cut at the first NUL
}

void MemorySettingsStore::write(SettingsRoot root, std::string_view keyPath, std::string_view name,
                                std::string_view text) {
    if (locked) return;
    m_values[Fold(root, keyPath, name)] = std::string(text);
    ++m_writes;
}

bool MemorySettingsStore::hasKey(SettingsRoot root, std::string_view keyPath) const {
    std::string prefix = Fold(root, keyPath, "");
    auto it = m_values.lower_bound(prefix);
    return it != m_values.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace pt::test
