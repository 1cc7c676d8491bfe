#pragma once

#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/form/FormModel.h"
#include "platform/windows/Win32.h"

namespace pt {

// Renders a form model on plain Win32 controls, the counterpart of the Qt FormBinder:
// controls are created by their names, carry the control's model id (plus a base) as their
// Win32 control id, and only the controls changed since the last sync are touched. Clicks
// (WM_COMMAND from buttons, check boxes, notifying labels and menu items) come back by
// name; edits and ticks update the model without marking it changed.
class Win32FormBinder {
public:
    // A panel is a sunken one-line label of a status bar; a link panel reports clicks.
    enum class Kind { Label, Link, Button, CheckBox, Edit, Group, Panel, LinkPanel };

    // What the user activated (button, check box, link, menu item), by name.
    using ClickHandler = std::function<void(ControlId)>;

    Win32FormBinder(FormModel& model, HFONT font, ClickHandler clicked = {});

    // Creates a named control as a child of parent at the given place (pixels).
    HWND add(Kind kind, ControlId id, HWND parent, int x, int y, int w, int h);
    // Labels in a row that size themselves to their text, each one starting where the one
    // before it ends.
    void addChain(std::span<const ControlId> names, HWND parent, int x, int y, int h);
    // A menu item created by the caller with menuCommand(name) as its command id.
    UINT menuCommand(ControlId id);
    void bindMenu(HMENU menu) { m_menus.push_back(menu); }
    void bindCustom(ControlId id, std::function<void(const Control&)> apply);
    void setTextColor(ControlId id, COLORREF color);

    // WM_COMMAND of a window holding bound controls; true when it was one of them.
    bool command(WPARAM wParam, LPARAM lParam);
    // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: the control's own text colour, if it has one.
    HBRUSH controlColor(HDC dc, HWND control);

    int sync();
    void syncAll();
    HWND window(ControlId id) const;
    // The names of the controls whose clicks come back through the click handler (buttons, check
    // boxes, links, menu items): each needs a command.
    std::vector<std::string> clickableControls() const;

private:
    void apply(ControlSlot id);
    void layOutChain(size_t chain);

    FormModel& m_model;
    const ClickHandler m_clicked;
    HFONT m_font;
    std::map<ControlSlot, HWND> m_windows;
    std::map<ControlSlot, Kind> m_kinds;
    // What each control shows, as last applied.
    struct Shown {
        bool applied = false;
        std::string text;
        bool enabled = false, visible = false;
    };
    std::map<ControlSlot, Shown> m_shown;
    std::map<ControlSlot, std::function<void(const Control&)>> m_custom;
    std::map<HWND, COLORREF> m_colors;
    std::vector<HMENU> m_menus;
    std::set<ControlSlot> m_menuItems;
    struct Chain {
        std::vector<ControlSlot> ids;
        int x, y, h;
    };
    std::vector<Chain> m_chains;
    std::map<ControlSlot, size_t> m_chainOf;
    bool m_applying = false;
};

// Win32 control ids of bound controls: the model id plus this base.
inline constexpr UINT FirstBoundId = 1000;

}  // namespace pt
