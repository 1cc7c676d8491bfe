#include "ClearAllDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "FormBinder.h"
#include "QtMessageBox.h"
#include "Skin.h"

namespace pt {

ClearAllDialog::ClearAllDialog(StatisticsModel& model, SettingsStore& store, Clock& clock,
                               Language lang, QWidget* parent, MessageBox* messages,
                               DayAccounting* days, std::function<void()> takeMeasured)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ClearAll"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySkin(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(14);
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(340);
    layout->addWidget(label);
    auto* clearHistory = new QCheckBox(this);
    clearHistory->setObjectName(QStringLiteral("CheckClearHistory"));
    layout->addWidget(clearHistory);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const char* name : {"Command1", "Command2"}) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    if (!messages) {
        m_ownBoxes = std::make_unique<QtMessageBox>(this);
        messages = m_ownBoxes.get();
    }
    m_presenter = std::make_unique<ClearAllPresenter>(model, store, clock, *messages, lang, days,
                                                      std::move(takeMeasured));
    m_binder = new FormBinder(m_presenter->form(), this);
    m_binder->bindCustom(
        "ClearAll", [this](const Control& c) { setWindowTitle(QString::fromStdString(c.text)); });
    m_binder->bindChildren();
    m_binder->syncAll();
    m_binder->onClicked = [this](const std::string& name) { onClicked(name); };
    setFixedSize(sizeHint());
}

ClearAllDialog::~ClearAllDialog() = default;

void ClearAllDialog::onClicked(const std::string& name) {
    m_presenter->click(name);
    m_binder->sync();
    if (m_presenter->closeRequested()) done(name == "Command1" ? Accepted : Rejected);
}

void ClearAllDialog::run(StatisticsModel& model, SettingsStore& store, Clock& clock, Language lang,
                         QWidget* parent, DayAccounting* days, std::function<void()> takeMeasured) {
    ClearAllDialog dialog(model, store, clock, lang, parent, nullptr, days,
                          std::move(takeMeasured));
    dialog.exec();
}

}  // namespace pt
