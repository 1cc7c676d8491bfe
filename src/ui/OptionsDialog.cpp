#include "OptionsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "FormBinder.h"
#include "Skin.h"

namespace pt {

OptionsDialog::OptionsDialog(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system,
                             Language lang, ClickHookSwitch hook, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormOption"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySkin(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(10);
    for (const char* name : {"Check1", "Check2", "Check3", "Check4"}) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QLatin1String(name));
        layout->addWidget(box);
    }
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const char* name : {"Command1", "Command2", "Command3"}) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    findChild<QPushButton*>(QStringLiteral("Command1"))->setDefault(true);
    layout->addLayout(buttons);

    // The presenter reads the stored values now: every open starts from them.
    m_presenter =
        std::make_unique<OptionsPresenter>(store, autostart, system, lang, std::move(hook));
    m_binder = new FormBinder(m_presenter->form(), this);
    m_binder->bindCustom(
        "FormOption", [this](const Control& c) { setWindowTitle(QString::fromStdString(c.text)); });
    m_binder->bindChildren();
    m_binder->syncAll();
    m_binder->onClicked = [this](const std::string& name) { onClicked(name); };
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::onClicked(const std::string& name) {
    m_presenter->click(name);
    m_binder->sync();
    if (m_presenter->closeRequested()) done(name == "Command1" ? Accepted : Rejected);
}

void OptionsDialog::run(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system,
                        Language lang, ClickHookSwitch hook, QWidget* parent) {
    OptionsDialog dialog(store, autostart, system, lang, std::move(hook), parent);
    dialog.exec();
}

}  // namespace pt
