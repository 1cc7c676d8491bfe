#include "core/online/SitePages.h"

#include "core/online/Site.h"
#include "core/persistence/ValueNames.h"

namespace pt {

std::string SiteAddress(SettingsStore& store, std::string_view path) {
    return SiteRoot(store) + std::string(path);
}

// The switches compare the stored text exactly: " 1" or "01" leave the page on. A switch
// that cannot be read (the store is locked by another program) may be off: nothing goes
// online unasked until it can be.
static bool SwitchedOff(SettingsStore& store, std::string_view name) {
    return !store.readable() || ReadSetting(store, MainKey, name) == "1";
}

std::optional<std::string> HomePageAddress(SettingsStore& store) {
    if (SwitchedOff(store, value::ClosePtHome)) return std::nullopt;
    return SiteAddress(store, HomePagePath);
}

std::optional<std::string> NewsPageAddress(SettingsStore& store) {
    if (SwitchedOff(store, value::ClosePtNews)) return std::nullopt;
    return SiteAddress(store, NewsPagePath);
}

bool AutomaticUpdateCheckEnabled(SettingsStore& store) {
    return store.readable() && ReadTrimmedSetting(store, MainKey, value::UpdateCK) != "0";
}

}  // namespace pt
