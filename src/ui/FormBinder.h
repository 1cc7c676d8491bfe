#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "form/FormModel.h"

class QAction;
class QWidget;

namespace pt {

// Renders a FormModel onto widgets that carry the controls' names (objectName) and sends
// the user's actions back by name. sync() touches only controls changed since the last
// sync, so it is cheap at display rate; it does nothing for controls without a widget.
class FormBinder : public QObject {
    Q_OBJECT
public:
    FormBinder(FormModel& model, QWidget* root);

    // Finds every named child of the root (call again after adding widgets).
    void bindChildren();
    // A menu or tray action by its objectName.
    void bindAction(QAction* action);
    // A control that is not a plain widget (a tab title, a status-bar panel): the
    // applier renders it.
    void bindCustom(const std::string& name, std::function<void(const Control&)> apply);

    // Applies the changed controls; returns how many were applied.
    int sync();
    // Applies every bound control (after binding, or when a window is first shown).
    void syncAll();

    // Button, check box, menu action or link label activated by the user.
    std::function<void(const std::string& name)> onClicked;

private:
    void apply(ControlId id);
    void connectWidget(QWidget* widget, ControlId id);

    FormModel& m_model;
    QPointer<QWidget> m_root;
    std::unordered_map<ControlId, QPointer<QWidget>> m_widgets;
    std::unordered_map<ControlId, QPointer<QAction>> m_actions;
    std::unordered_map<ControlId, std::function<void(const Control&)>> m_custom;
};

}  // namespace pt
