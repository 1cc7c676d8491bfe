#pragma once

#include <functional>
#include <initializer_list>

#include "core/form/FormModel.h"

class QDialog;
class QHBoxLayout;
class QWidget;

namespace pt {

class FormBinder;

// What the program's small dialogs share.

// A modal dialog named after its window control, without a help button, in the skin.
void SetUpDialog(QDialog* dialog, ControlId window);
// A row of push buttons at the right, none of them taking Enter by itself.
QHBoxLayout* NewButtonRow(QWidget* parent, std::initializer_list<ControlId> buttons);
// A binder of the dialog's form: the window control's text is the title, every named child
// is rendered now, and clicks go to onClicked.
FormBinder* BindDialog(QDialog* dialog, FormModel& form, ControlId window,
                       std::function<void(ControlId)> onClicked);

}  // namespace pt
