#include "form/FormModel.h"

namespace pt {

ControlId FormModel::id(std::string_view name) {
    auto it = m_ids.find(std::string(name));
    if (it != m_ids.end()) return it->second;
    auto newId = static_cast<ControlId>(m_controls.size());
    Control control;
    control.name = name;
    m_controls.push_back(std::move(control));
    m_dirty.push_back(false);
    m_ids.emplace(std::string(name), newId);
    return newId;
}

void FormModel::markDirty(ControlId id) {
    if (!m_dirty[id]) {
        m_dirty[id] = true;
        m_dirtyList.push_back(id);
    }
}

void FormModel::setText(ControlId id, std::string_view text) {
    if (m_controls[id].text == text) return;
    m_controls[id].text = text;
    markDirty(id);
}

void FormModel::setToolTip(ControlId id, std::string_view tip) {
    if (m_controls[id].toolTip == tip) return;
    m_controls[id].toolTip = tip;
    markDirty(id);
}

void FormModel::setVisible(ControlId id, bool visible) {
    if (m_controls[id].visible == visible) return;
    m_controls[id].visible = visible;
    markDirty(id);
}

void FormModel::setEnabled(ControlId id, bool enabled) {
    if (m_controls[id].enabled == enabled) return;
    m_controls[id].enabled = enabled;
    markDirty(id);
}

void FormModel::setChecked(ControlId id, bool checked) {
    if (m_controls[id].checked == checked) return;
    m_controls[id].checked = checked;
    markDirty(id);
}

std::optional<ControlId> FormModel::takeFocusRequest() {
    auto focus = m_focus;
    m_focus.reset();
    return focus;
}

std::vector<ControlId> FormModel::takeChanges() {
    std::vector<ControlId> changes;
    changes.swap(m_dirtyList);
    for (ControlId id : changes) m_dirty[id] = false;
    return changes;
}

}  // namespace pt
