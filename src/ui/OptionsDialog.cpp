#include "OptionsDialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogFrame.h"
#include "FormBinder.h"
#include "core/form/DialogControls.h"

namespace pt {

using namespace options_controls;

// The presenter reads the stored values when it is made: every open starts from them.
OptionsDialog::OptionsDialog(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system,
                             Language lang, ClickHookSwitch hook, QWidget* parent)
    : OptionsDialog(
          std::make_unique<OptionsPresenter>(store, autostart, system, lang, std::move(hook)),
          parent) {}

OptionsDialog::OptionsDialog(std::unique_ptr<OptionsPresenter> presenter, QWidget* parent)
    : QDialog(parent), m_presenter(std::move(presenter)) {
    SetUpDialog(this, Window);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(10);
    for (ControlId id : {StartWithSystem, CheckForUpdates, NoClickCounting, NoKeyCounting}) {
        auto* box = new QCheckBox(this);
        box->setObjectName(ObjectName(id));
        layout->addWidget(box);
    }
    layout->addStretch();
    layout->addLayout(NewButtonRow(this, {Ok, Apply, Cancel}));
    findChild<QPushButton*>(ObjectName(Ok))->setDefault(true);

    m_binder =
        BindDialog(this, m_presenter->form(), Window, [this](ControlId id) { onClicked(id); });
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::onClicked(ControlId id) {
    m_presenter->click(id);
    m_binder->sync();
    if (m_presenter->closeRequested()) done(id == Ok ? Accepted : Rejected);
}

}  // namespace pt
