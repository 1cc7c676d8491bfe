#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/form/ControlId.h"

namespace pt {

// Where a control sits in one window's model: a cheap handle for hot paths.
using ControlSlot = std::uint32_t;

// What one control of a window shows. Widgets carry the same names.
struct Control {
    std::string name;
    std::string text;  // caption, label text, field text, tab title, menu text
    std::string toolTip;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
};

// The controls of one window with the set changed since the view's last sync. The core's
// handlers write here; a Qt view renders only what changed. Writing a value equal to the
// current one changes nothing, so a tick that rewrites every label costs the view nothing
// when the figures stand still. Controls are named by the typed ids of the window's table;
// a model made from the table knows every control before any is written, so the view can
// tell which of them no widget carries.
class FormModel {
public:
    FormModel() = default;
    explicit FormModel(std::span<const ControlId> controls);
    void add(std::span<const ControlId> controls);

    // The control's slot, added on first use. Keep the slot for hot paths.
    ControlSlot slot(ControlId id);
    // The slot of a control the model already holds; never adds one.
    std::optional<ControlSlot> find(std::string_view name) const;
    const Control& operator[](ControlSlot slot) const { return m_controls[slot]; }
    const Control& get(ControlId id) { return m_controls[slot(id)]; }
    // Without adding: a control the model does not hold reads as an empty one.
    const Control& get(ControlId id) const;
    size_t size() const { return m_controls.size(); }

    void setText(ControlSlot slot, std::string_view text);
    void setToolTip(ControlSlot slot, std::string_view tip);
    void setVisible(ControlSlot slot, bool visible);
    void setEnabled(ControlSlot slot, bool enabled);
    void setChecked(ControlSlot slot, bool checked);

    void setText(ControlId id, std::string_view text) { setText(slot(id), text); }
    void setToolTip(ControlId id, std::string_view tip) { setToolTip(slot(id), tip); }
    void setVisible(ControlId id, bool v) { setVisible(slot(id), v); }
    void setEnabled(ControlId id, bool v) { setEnabled(slot(id), v); }
    void setChecked(ControlId id, bool v) { setChecked(slot(id), v); }

    // The user edited a field or ticked a box: the model follows the view without
    // marking the control changed (the view already shows it).
    void textEditedByUser(ControlSlot slot, std::string_view text) { m_controls[slot].text = text; }
    void checkedByUser(ControlSlot slot, bool checked) { m_controls[slot].checked = checked; }

    // A handler asks the view to move the keyboard focus to a control.
    void requestFocus(ControlId id) { m_focus = slot(id); }
    std::optional<ControlSlot> takeFocusRequest();

    // Controls changed since the last call, each once, in the order first changed.
    std::vector<ControlSlot> takeChanges();
    bool hasChanges() const { return !m_dirtyList.empty(); }

private:
    void markDirty(ControlSlot slot);

    std::vector<Control> m_controls;
    std::unordered_map<std::string, ControlSlot> m_slots;
    std::vector<bool> m_dirty;
    std::vector<ControlSlot> m_dirtyList;
    std::optional<ControlSlot> m_focus;
};

}  // namespace pt
