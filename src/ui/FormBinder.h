#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/form/FormModel.h"

class QAction;
class QWidget;

namespace pt {

// The object name a widget of the control carries.
inline QString ObjectName(ControlId id) {
    return QString::fromUtf8(id.name.data(), static_cast<qsizetype>(id.name.size()));
}

// Renders a FormModel onto widgets that carry the controls' names (objectName) and sends
// the user's actions back by name. sync() touches only controls changed since the last
// sync, so it is cheap at display rate; it does nothing for controls without a widget.
class FormBinder : public QObject {
    Q_OBJECT
public:
    // What the user activated (button, check box, menu action or link label), by name.
    using ClickHandler = std::function<void(ControlId id)>;

    FormBinder(FormModel& model, QWidget* root, ClickHandler clicked = {});

    // Finds every named child of the root (call again after adding widgets).
    void bindChildren();
    // A menu or tray action; it takes the control's name as its objectName.
    void bindAction(QAction* action, ControlId id);
    // A control that is not a plain widget (a tab title, a status-bar panel): the
    // applier renders it.
    void bindCustom(ControlId id, std::function<void(const Control&)> apply);
    // The names of the window's controls that no widget, action or applier carries: a
    // control that would never show what the core writes to it.
    std::vector<std::string> unboundControls() const;
    // The names of the controls whose clicks this binder reports (buttons, check boxes, menu
    // actions, link labels): each needs a command.
    std::vector<std::string> clickableControls() const;

    // Applies the changed controls; returns how many were applied.
    int sync();
    // Applies every bound control (after binding, or when a window is first shown).
    void syncAll();

private:
    void apply(ControlSlot slot);
    void connectWidget(QWidget* widget, ControlSlot slot);
    void clicked(ControlSlot slot);

    FormModel& m_model;
    QPointer<QWidget> m_root;
    const ClickHandler m_clicked;
    std::unordered_map<ControlSlot, QPointer<QWidget>> m_widgets;
    std::unordered_map<ControlSlot, QPointer<QAction>> m_actions;
    std::unordered_map<ControlSlot, std::function<void(const Control&)>> m_custom;
};

}  // namespace pt
