#pragma once

#include "core/ports/SettingsStore.h"

namespace pt {

// The settings store on the Windows registry: text (REG_SZ) values under the key paths
// as given, on HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER. The registry itself compares
// key paths and value names without regard to case.
//
// Writing under HKEY_LOCAL_MACHINE needs an elevated process on Windows since Vista.
// Where the main key cannot be opened for writing there, the store keeps the same key
// paths under HKEY_CURRENT_USER instead: writes go there, and reads look there first and
// then under HKEY_LOCAL_MACHINE, so totals an elevated run (or an installer) left are
// still found and continued.
class RegistrySettingsStore : public SettingsStore {
public:
    enum class LocalMachineAccess { Probe, Writable, ReadOnly };

    // Probe: try to open the main key under HKEY_LOCAL_MACHINE for writing.
    explicit RegistrySettingsStore(LocalMachineAccess access = LocalMachineAccess::Probe);

    std::string read(SettingsRoot root, std::string_view keyPath, std::string_view name) override;
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override;

    // False when the local-machine values are kept under HKEY_CURRENT_USER.
    bool localMachineWritable() const { return m_localMachineWritable; }

private:
    bool m_localMachineWritable = true;
};

}  // namespace pt
