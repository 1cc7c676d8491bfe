#include "DialogFrame.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "FormBinder.h"
#include "Skin.h"

namespace pt {

void SetUpDialog(QDialog* dialog, ControlId window) {
    dialog->setObjectName(ObjectName(window));
    dialog->setModal(true);
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySkin(dialog);
}

QHBoxLayout* NewButtonRow(QWidget* parent, std::initializer_list<ControlId> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (ControlId id : buttons) {
        auto* button = new QPushButton(parent);
        button->setObjectName(ObjectName(id));
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    return row;
}

FormBinder* BindDialog(QDialog* dialog, FormModel& form, ControlId window,
                       std::function<void(ControlId)> onClicked) {
    auto* binder = new FormBinder(form, dialog, std::move(onClicked));
    binder->bindCustom(window, [dialog](const Control& c) {
        dialog->setWindowTitle(QString::fromStdString(c.text));
    });
    binder->bindChildren();
    binder->syncAll();
    return binder;
}

}  // namespace pt
