#pragma once

#include <span>

#include "core/form/ControlId.h"
#include "core/form/MainControls.h"

namespace pt {

// A key that runs a menu item wherever the main window has the focus.
struct MenuShortcut {
    enum class Key { None, F1, F2, F3, X };
    Key key = Key::None;
    bool control = false;
};

// One entry of a menu: an item or a separator, by its control name. What an item does is
// its command (CommandTable); its text, visibility and state are the form model's.
struct MenuEntry {
    enum class Kind { Item, Separator };
    Kind kind = Kind::Item;
    ControlId id;
    MenuShortcut shortcut = {};
    // Kept under its name but never shown: no toolkit offers it.
    bool neverShown = false;
    // Shown only where the program keeps a day history.
    bool needsDayHistory = false;
};

// A menu of the main window: its title control and its entries in order.
struct MenuTree {
    ControlId title;
    std::span<const MenuEntry> entries;
};

namespace main_menus {

using Key = MenuShortcut::Key;
using enum MenuEntry::Kind;
using namespace main_controls;

inline constexpr MenuEntry File[] = {
    {Item, HistoryItem, {Key::F2}, true},
    {Item, RankingItem, {Key::F3}},
    {Separator, FileSeparators[0], {}, true},
    {Item, ClearHistoryItem, {}, true},
    {Item, ClearRankingItem, {}, true},
    {Item, ClearAllItem},
    {Item, DayHistoryItem, {}, false, true},
    {Separator, FileSeparators[1], {}, true},
    {Item, OptionsItem},
    {Separator, FileSeparators[2]},
    {Item, ExitItem, {Key::X, true}},
};

inline constexpr MenuEntry Help[] = {
    {Item, HelpItem, {Key::F1}},
    {Separator, HelpSeparators[0]},
    {Separator, HelpSeparators[1], {}, true},
    {Item, OnlineSupportItem, {}, true},
    {Item, UpdateItem},
    {Item, AutoUpdateItem},
    {Item, SiteBrowserItem},
    {Item, MessageItem},
    {Item, FeedbackItem},
    {Separator, HelpSeparators[2]},
    {Item, AboutItem},
};

// The tray icon's menu; kept off the menu bar where a tray shows it.
inline constexpr MenuEntry Tray[] = {
    {Item, TrayShowWindowItem},     {Separator, TraySeparators[0]},
    {Item, TrayShutdownItem},       {Item, TrayDayHistoryItem, {}, false, true},
    {Item, TrayWebsiteItem},        {Item, TrayAboutItem},
    {Separator, TraySeparators[1]}, {Item, TrayExitItem},
};

// The menu bar, in order.
inline constexpr MenuTree Bar[] = {{FileMenu, File}, {HelpMenu, Help}};

// Whether `id` names a menu entry that is never shown.
constexpr bool IsNeverShown(ControlId id) {
    auto in = [id](std::span<const MenuEntry> entries) {
        for (const MenuEntry& entry : entries)
            if (entry.neverShown && entry.id == id) return true;
        return false;
    };
    return in(File) || in(Help) || in(Tray);
}

}  // namespace main_menus
}  // namespace pt
