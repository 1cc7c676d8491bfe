#pragma once

#include <map>
#include <string>

#include "core/ports/SettingsStore.h"

namespace pt::test {

// A settings store in memory: the contract of the real store without a file, for tests
// and fuzz targets (the program itself always keeps its settings on disk).
class MemorySettingsStore : public SettingsStore {
public:
    std::string read(SettingsRoot root, std::string_view keyPath, std::string_view name) override;
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override;

    bool readable() override { return !locked; }
    std::string lockedPlace() const override { return locked ? "memory" : ""; }
    // Held by "another program": reads give nothing, writes are refused.
    bool locked = false;

    bool hasKey(SettingsRoot root, std::string_view keyPath) const;
    size_t valueCount() const { return m_values.size(); }
    int writeCount() const { return m_writes; }

private:
    static std::string Fold(SettingsRoot root, std::string_view keyPath, std::string_view name);
    std::map<std::string, std::string> m_values;  // folded "root|key|name" -> text
    int m_writes = 0;
};

}  // namespace pt::test
