#include "core/online/InstallationId.h"

#include <optional>
#include <string>

namespace pt {

namespace {

constexpr std::string_view ValueName = "InstallationId";

std::optional<std::uint32_t> Parse(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > MaxInstallationId) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::uint32_t InstallationId(SettingsStore& store, const std::function<std::uint32_t()>& newId) {
    if (auto stored = Parse(ReadSetting(store, MainKey, ValueName))) return *stored;
    // 0 is reserved so that an identifier never looks like an unset one.
    std::uint32_t id = newId() % MaxInstallationId + 1;
    WriteSetting(store, MainKey, ValueName, std::to_string(id));
    return id;
}

}  // namespace pt
