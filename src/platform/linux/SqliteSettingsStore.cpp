#include "platform/linux/SqliteSettingsStore.h"

#include <sqlite3.h>

#include <cstring>

namespace pt {
namespace {

constexpr const char* SelectValue =
    "SELECT value FROM settings WHERE root = ? AND key = ? AND name = ?";
constexpr const char* StoreValue =
    "INSERT INTO settings (root, key, name, value) VALUES (?, ?, ?, ?)"
    " ON CONFLICT (root, key, name) DO UPDATE SET value = excluded.value";

const char* RootName(SettingsRoot root) {
    return root == SettingsRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

void BindPlace(sqlite3_stmt* statement, SettingsRoot root, std::string_view keyPath,
               std::string_view name) {
    sqlite3_bind_text(statement, 1, RootName(root), -1, SQLITE_STATIC);
    sqlite3_bind_text(statement, 2, keyPath.data(), static_cast<int>(keyPath.size()),
                      SQLITE_STATIC);
    sqlite3_bind_text(statement, 3, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
}

}  // namespace

std::string SqliteSettingsStore::read(SettingsRoot root, std::string_view keyPath,
                                      std::string_view name) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_database.open(false)) return {};
        sqlite3_stmt* select = m_database.prepared(SelectValue);
        if (!select) return {};
        BindPlace(select, root, keyPath, name);
        std::string result;
        const int rc = sqlite3_step(select);
        if (rc == SQLITE_ROW && sqlite3_column_type(select, 0) == SQLITE_TEXT) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
            const int bytes = sqlite3_column_bytes(select, 0);
            if (text) result.assign(text, strnlen(text, static_cast<size_t>(bytes)));
        }
        // Reset at once: a statement left running would pin an old snapshot of the file.
        sqlite3_reset(select);
        sqlite3_clear_bindings(select);
        if (m_database.recoverFrom(rc)) continue;
        return result;
    }
    return {};
}

void SqliteSettingsStore::write(SettingsRoot root, std::string_view keyPath, std::string_view name,
                                std::string_view text) {
    if (m_database.refusesWrites()) return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_database.open(true)) return;
        sqlite3_stmt* store = m_database.prepared(StoreValue);
        if (!store) {
            m_database.failBatch();
            return;
        }
        BindPlace(store, root, keyPath, name);
        sqlite3_bind_text(store, 4, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(store);
        sqlite3_reset(store);
        sqlite3_clear_bindings(store);
        if (rc != SQLITE_DONE) m_database.failBatch();
        if (m_database.recoverFrom(rc)) continue;
        return;
    }
}

std::unique_ptr<SqliteSettingsStore> OpenSettingsStore() {
    return std::make_unique<SqliteSettingsStore>(SettingsDatabase::DefaultPath());
}

}  // namespace pt
