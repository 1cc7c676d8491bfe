#include "core/form/FormModel.h"

namespace pt {

FormModel::FormModel(std::span<const ControlId> controls) {
    add(controls);
}

void FormModel::add(std::span<const ControlId> controls) {
    for (ControlId id : controls) slot(id);
}

ControlSlot FormModel::slot(ControlId id) {
    if (auto found = find(id.name)) return *found;
    auto newSlot = static_cast<ControlSlot>(m_controls.size());
    Control control;
    control.name = id.name;
    m_controls.push_back(std::move(control));
    m_dirty.push_back(false);
    m_slots.emplace(std::string(id.name), newSlot);
    return newSlot;
}

std::optional<ControlSlot> FormModel::find(std::string_view name) const {
    auto it = m_slots.find(std::string(name));
    if (it == m_slots.end()) return std::nullopt;
    return it->second;
}

const Control& FormModel::get(ControlId id) const {
    static const Control none;
    const auto found = find(id.name);
    return found ? m_controls[*found] : none;
}

void FormModel::markDirty(ControlSlot slot) {
    if (!m_dirty[slot]) {
        m_dirty[slot] = true;
        m_dirtyList.push_back(slot);
    }
}

void FormModel::setText(ControlSlot slot, std::string_view text) {
    if (m_controls[slot].text == text) return;
    m_controls[slot].text = text;
    markDirty(slot);
}

void FormModel::setToolTip(ControlSlot slot, std::string_view tip) {
    if (m_controls[slot].toolTip == tip) return;
    m_controls[slot].toolTip = tip;
    markDirty(slot);
}

void FormModel::setVisible(ControlSlot slot, bool visible) {
    if (m_controls[slot].visible == visible) return;
    m_controls[slot].visible = visible;
    markDirty(slot);
}

void FormModel::setEnabled(ControlSlot slot, bool enabled) {
    if (m_controls[slot].enabled == enabled) return;
    m_controls[slot].enabled = enabled;
    markDirty(slot);
}

void FormModel::setChecked(ControlSlot slot, bool checked) {
    if (m_controls[slot].checked == checked) return;
    m_controls[slot].checked = checked;
    markDirty(slot);
}

std::optional<ControlSlot> FormModel::takeFocusRequest() {
    auto focus = m_focus;
    m_focus.reset();
    return focus;
}

std::vector<ControlSlot> FormModel::takeChanges() {
    std::vector<ControlSlot> changes;
    changes.swap(m_dirtyList);
    for (ControlSlot slot : changes) m_dirty[slot] = false;
    return changes;
}

}  // namespace pt
