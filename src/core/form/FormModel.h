#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pt {

using ControlId = std::uint32_t;

// What one control of a window shows. Widgets carry the same names.
struct Control {
    std::string name;
    std::string text;  // caption, label text, field text, tab title, menu text
    std::string toolTip;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
};

// The controls of one window by their names, with the set changed since the view's
// last sync. The core's handlers write here; a Qt view renders only what changed.
// Writing a value equal to the current one changes nothing, so a tick that rewrites
// every label costs the view nothing when the figures stand still.
class FormModel {
public:
    // Looks a control up, adding it when new. Keep the id for hot paths.
    ControlId id(std::string_view name);
    const Control& operator[](ControlId id) const { return m_controls[id]; }
    const Control& get(std::string_view name) { return m_controls[id(name)]; }
    size_t size() const { return m_controls.size(); }

    void setText(ControlId id, std::string_view text);
    void setToolTip(ControlId id, std::string_view tip);
    void setVisible(ControlId id, bool visible);
    void setEnabled(ControlId id, bool enabled);
    void setChecked(ControlId id, bool checked);

    void setText(std::string_view name, std::string_view text) { setText(id(name), text); }
    void setToolTip(std::string_view name, std::string_view tip) { setToolTip(id(name), tip); }
    void setVisible(std::string_view name, bool v) { setVisible(id(name), v); }
    void setEnabled(std::string_view name, bool v) { setEnabled(id(name), v); }
    void setChecked(std::string_view name, bool v) { setChecked(id(name), v); }

    // The user edited a field or ticked a box: the model follows the view without
    // marking the control changed (the view already shows it).
    void textEditedByUser(ControlId id, std::string_view text) { m_controls[id].text = text; }
    void checkedByUser(ControlId id, bool checked) { m_controls[id].checked = checked; }

    // A handler asks the view to move the keyboard focus to a control.
    void requestFocus(ControlId id) { m_focus = id; }
    std::optional<ControlId> takeFocusRequest();

    // Controls changed since the last call, each once, in the order first changed.
    std::vector<ControlId> takeChanges();
    bool hasChanges() const { return !m_dirtyList.empty(); }

private:
    void markDirty(ControlId id);

    std::vector<Control> m_controls;
    std::unordered_map<std::string, ControlId> m_ids;
    std::vector<bool> m_dirty;
    std::vector<ControlId> m_dirtyList;
    std::optional<ControlId> m_focus;
};

}  // namespace pt
