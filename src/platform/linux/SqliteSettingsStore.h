#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/ports/SettingsStore.h"
#include "platform/linux/SettingsDatabase.h"

namespace pt {

// The settings store in the settings database (which it owns), one row per (root, key
// path, value name). Key paths and value names compare without regard to case. Text is
// cut at its first NUL; a value that is not text (a blob or NULL set from outside) reads
// as empty. Failures are silent. How the file is kept safe is the database's.
class SqliteSettingsStore : public SettingsStore {
public:
    explicit SqliteSettingsStore(std::filesystem::path databaseFile)
        : m_database(std::move(databaseFile)) {}

    std::string read(SettingsRoot root, std::string_view keyPath, std::string_view name) override;
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override;
    void beginBatch() override { m_database.beginBatch(); }
    void endBatch() override { m_database.endBatch(); }
    bool lastBatchSaved() const override { return m_database.lastBatchSaved(); }
    bool readable() override { return m_database.readable(); }
    std::string lockedPlace() const override { return m_database.lockedPlace(); }
    std::string readOnlyPlace() const override { return m_database.readOnlyPlace(); }

    // The file the settings are kept in, shared with the day history kept beside them.
    SettingsDatabase& database() { return m_database; }
    const SettingsDatabase& database() const { return m_database; }

private:
    SettingsDatabase m_database;
};

// The program's settings store at its default place.
std::unique_ptr<SqliteSettingsStore> OpenSettingsStore();

}  // namespace pt
