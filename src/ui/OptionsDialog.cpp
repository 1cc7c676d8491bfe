#include "OptionsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "FormBinder.h"
#include "Skin.h"
#include "form/DialogControls.h"

namespace pt {

using namespace options_controls;

OptionsDialog::OptionsDialog(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system,
                             Language lang, ClickHookSwitch hook, QWidget* parent)
    : QDialog(parent) {
    setObjectName(ObjectName(Window));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySkin(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(10);
    for (ControlId id : {StartWithSystem, CheckForUpdates, NoClickCounting, NoKeyCounting}) {
        auto* box = new QCheckBox(this);
        box->setObjectName(ObjectName(id));
        layout->addWidget(box);
    }
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (ControlId id : {Ok, Apply, Cancel}) {
        auto* button = new QPushButton(this);
        button->setObjectName(ObjectName(id));
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    findChild<QPushButton*>(ObjectName(Ok))->setDefault(true);
    layout->addLayout(buttons);

    // The presenter reads the stored values now: every open starts from them.
    m_presenter =
        std::make_unique<OptionsPresenter>(store, autostart, system, lang, std::move(hook));
    m_binder = new FormBinder(m_presenter->form(), this);
    m_binder->bindCustom(
        Window, [this](const Control& c) { setWindowTitle(QString::fromStdString(c.text)); });
    m_binder->bindChildren();
    m_binder->syncAll();
    m_binder->onClicked = [this](ControlId id) { onClicked(id); };
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::onClicked(ControlId id) {
    m_presenter->click(id);
    m_binder->sync();
    if (m_presenter->closeRequested()) done(id == Ok ? Accepted : Rejected);
}

void OptionsDialog::run(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system,
                        Language lang, ClickHookSwitch hook, QWidget* parent) {
    OptionsDialog dialog(store, autostart, system, lang, std::move(hook), parent);
    dialog.exec();
}

}  // namespace pt
