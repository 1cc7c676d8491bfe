#pragma once

#include <string>
#include <string_view>

namespace pt {

enum class SettingsRoot { LocalMachine, CurrentUser };

// Key paths of the store.
inline constexpr std::string_view MainKey = "SOFTWARE\\Corvandel\\Pathtally";
inline constexpr std::string_view MirrorKey = "software\\microsoft\\com3";

// Text values under key paths. Value names (and key paths) compare without regard to
// case. An absent value reads as empty text; reading never creates a key; writing creates
// what is missing. Failures are silent: a failed read is empty, a failed write changes
// nothing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string read(SettingsRoot root, std::string_view keyPath,
                             std::string_view name) = 0;
    virtual void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
                       std::string_view text) = 0;
    // Groups the writes until endBatch() into one transaction where the backend can.
    virtual void beginBatch() {}
    virtual void endBatch() {}
    // The place of a store that can be read but not written (a read-only folder): what is
    // written is then not kept. Empty while writes are kept.
    virtual std::string readOnlyPlace() const { return {}; }
    // Whether the last batch reached the store whole (false when it was rolled back or
    // could not start). Backends without transactions always say true.
    virtual bool lastBatchSaved() const { return true; }
    // Whether reads tell what the store holds. False while another program keeps it locked
    // past a bounded wait: reads then give empty text whatever is stored, and every write
    // is refused (nothing may be written over values that could not be read) until
    // readable() is asked again and says true. Backends without locks are always readable.
    virtual bool readable() { return true; }
    // The place of a store that another program keeps locked, while it does; else empty.
    virtual std::string lockedPlace() const { return {}; }
};

// Scope guard for a batch of writes.
class SettingsBatch {
public:
    explicit SettingsBatch(SettingsStore& store) : m_store(store) { m_store.beginBatch(); }
    ~SettingsBatch() { m_store.endBatch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

private:
    SettingsStore& m_store;
};

// ReadSetting / WriteSetting on HKEY_LOCAL_MACHINE, as the program always uses it.
inline std::string ReadSetting(SettingsStore& store, std::string_view keyPath,
                               std::string_view name) {
    return store.read(SettingsRoot::LocalMachine, keyPath, name);
}
// A stored switch as the program compares it: blanks, tabs and line breaks around it
// removed, so " 1" and "1\n" (typed into the store by hand) read as "1".
inline std::string ReadTrimmedSetting(SettingsStore& store, std::string_view keyPath,
                                      std::string_view name) {
    const std::string text = ReadSetting(store, keyPath, name);
    constexpr const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
inline void WriteSetting(SettingsStore& store, std::string_view keyPath, std::string_view name,
                         std::string_view text) {
    store.write(SettingsRoot::LocalMachine, keyPath, name, text);
}

}  // namespace pt
