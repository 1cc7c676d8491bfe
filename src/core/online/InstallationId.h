#pragma once

#include <cstdint>
#include <functional>

#include "core/ports/SettingsStore.h"

namespace pt {

// The number that identifies this installation towards the ranking site. Created once
// (from newId, a source of random numbers) and kept as the value "InstallationId" of the
// main key; a stored value that is not a plain whole number in range is replaced.
std::uint32_t InstallationId(SettingsStore& store, const std::function<std::uint32_t()>& newId);

// Largest identifier handed out by InstallationId().
inline constexpr std::uint32_t MaxInstallationId = 2147483647;

}  // namespace pt
