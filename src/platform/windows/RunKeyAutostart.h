#pragma once

#include <string>

#include "core/ports/AutostartEntry.h"
#include "core/ports/SettingsStore.h"

namespace pt {

// The value "Pathtally" under software\microsoft\windows\currentversion\run of
// HKEY_LOCAL_MACHINE, through the settings store (which keeps it under HKEY_CURRENT_USER
// where the local machine cannot be written). Switched off, the value stays, empty.
class RunKeyAutostart : public AutostartEntry {
public:
    explicit RunKeyAutostart(SettingsStore& store) : m_store(store) {}
    std::string read() override;
    void write(const std::string& path) override;

private:
    SettingsStore& m_store;
};

}  // namespace pt
