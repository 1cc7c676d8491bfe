#include "OptionsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "DialogFrame.h"
#include "FormBinder.h"
#include "core/form/DialogControls.h"

namespace pt {

using namespace options_controls;

// The presenter reads the stored values when it is made: every open starts from them.
OptionsDialog::OptionsDialog(std::unique_ptr<OptionsPresenter> presenter, QWidget* parent)
    : QDialog(parent), m_presenter(std::move(presenter)) {
    SetUpDialog(this, Window);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(10);
    for (ControlId id :
         {StartWithSystem, CheckForUpdates, NoClickCounting, NoKeyCounting, Notify}) {
        auto* box = new QCheckBox(this);
        box->setObjectName(ObjectName(id));
        layout->addWidget(box);
    }
    auto* kept = new QLabel(this);
    kept->setObjectName(ObjectName(KeptData));
    kept->setWordWrap(true);
    kept->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(kept);
    layout->addStretch();
    layout->addLayout(NewButtonRow(this, {Ok, Apply, Cancel}));
    findChild<QPushButton*>(ObjectName(Ok))->setDefault(true);

    m_binder =
        BindDialog(this, m_presenter->form(), Window, [this](ControlId id) { onClicked(id); });
    // As wide as the check boxes need (at least the designed width), as high as the wrapped
    // line then needs: both follow the font.
    const int width = std::max(sizeHint().width(), 380);
    setFixedSize(width, std::max(sizeHint().height(), heightForWidth(width)));
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::onClicked(ControlId id) {
    m_presenter->click(id);
    m_binder->sync();
    if (m_presenter->closeRequested()) done(id == Ok ? Accepted : Rejected);
}

}  // namespace pt
