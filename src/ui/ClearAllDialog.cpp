#include "ClearAllDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "DialogFrame.h"
#include "FormBinder.h"
#include "QtMessageBox.h"
#include "core/form/DialogControls.h"

namespace pt {

using namespace clear_all_controls;

ClearAllDialog::ClearAllDialog(const ProgramDialogs::MakeDataReset& makePresenter, QWidget* parent,
                               MessageBox* messages)
    : QDialog(parent) {
    SetUpDialog(this, Window);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(14);
    auto* label = new QLabel(this);
    label->setObjectName(ObjectName(Warning));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(340);
    layout->addWidget(label);
    auto* clearHistory = new QCheckBox(this);
    clearHistory->setObjectName(ObjectName(AlsoClearDays));
    layout->addWidget(clearHistory);
    layout->addLayout(NewButtonRow(this, {Ok, Cancel}));

    if (!messages) {
        m_ownBoxes = std::make_unique<QtMessageBox>(this);
        messages = m_ownBoxes.get();
    }
    m_presenter = makePresenter(*messages);
    m_binder =
        BindDialog(this, m_presenter->form(), Window, [this](ControlId id) { onClicked(id); });
    setFixedSize(sizeHint());
}

ClearAllDialog::~ClearAllDialog() = default;

void ClearAllDialog::onClicked(ControlId id) {
    m_presenter->click(id);
    m_binder->sync();
    if (m_presenter->closeRequested()) done(id == Ok ? Accepted : Rejected);
}

}  // namespace pt
