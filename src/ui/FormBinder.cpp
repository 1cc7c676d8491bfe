#include "FormBinder.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QWidget>

namespace pt {

FormBinder::FormBinder(FormModel& model, QWidget* root, ClickHandler clicked)
    : QObject(root), m_model(model), m_root(root), m_clicked(std::move(clicked)) {}

void FormBinder::bindChildren() {
    if (!m_root) return;
    const auto children = m_root->findChildren<QWidget*>();
    for (QWidget* w : children) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        // Layout containers carry names of their own: only the window's controls are bound.
        const auto slot = m_model.find(name.toStdString());
        if (!slot) continue;
        if (m_widgets.count(*slot) && m_widgets[*slot] == w) continue;
        m_widgets[*slot] = w;
        connectWidget(w, *slot);
    }
}

void FormBinder::bindAction(QAction* action, ControlId id) {
    action->setObjectName(ObjectName(id));
    const ControlSlot slot = m_model.slot(id);
    m_actions[slot] = action;
    connect(action, &QAction::triggered, this, [this, slot] { clicked(slot); });
}

void FormBinder::bindCustom(ControlId id, std::function<void(const Control&)> apply) {
    m_custom[m_model.slot(id)] = std::move(apply);
}

void FormBinder::clicked(ControlSlot slot) {
    if (m_clicked) m_clicked(ControlId{m_model[slot].name});
}

std::vector<std::string> FormBinder::unboundControls() const {
    std::vector<std::string> unbound;
    for (ControlSlot slot = 0; slot < m_model.size(); ++slot) {
        const auto widget = m_widgets.find(slot);
        const auto action = m_actions.find(slot);
        if ((widget == m_widgets.end() || !widget->second) &&
            (action == m_actions.end() || !action->second) && !m_custom.count(slot))
            unbound.push_back(m_model[slot].name);
    }
    return unbound;
}

std::vector<std::string> FormBinder::clickableControls() const {
    std::vector<std::string> clickable;
    for (ControlSlot slot = 0; slot < m_model.size(); ++slot) {
        bool clicks = false;
        if (const auto action = m_actions.find(slot); action != m_actions.end() && action->second)
            clicks = !action->second->menu();  // a menu title opens its menu, no command
        if (const auto widget = m_widgets.find(slot); widget != m_widgets.end() && widget->second) {
            QWidget* w = widget->second;
            const auto* label = qobject_cast<QLabel*>(w);
            clicks = clicks || qobject_cast<QAbstractButton*>(w) ||
                     (label && label->textFormat() == Qt::RichText);
        }
        if (clicks) clickable.push_back(m_model[slot].name);
    }
    return clickable;
}

void FormBinder::connectWidget(QWidget* widget, ControlSlot id) {
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        connect(check, &QCheckBox::clicked, this, [this, id](bool checked) {
            m_model.checkedByUser(id, checked);
            clicked(id);
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { clicked(id); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            m_model.textEditedByUser(id, text.toStdString());
        });
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        connect(label, &QLabel::linkActivated, this, [this, id] { clicked(id); });
    }
}

void FormBinder::apply(ControlSlot id) {
    const Control& c = m_model[id];
    if (auto it = m_custom.find(id); it != m_custom.end()) {
        it->second(c);
        return;
    }
    if (auto it = m_actions.find(id); it != m_actions.end() && it->second) {
        QAction* a = it->second;
        a->setText(QString::fromStdString(c.text));
        a->setVisible(c.visible);
        a->setEnabled(c.enabled);
        if (a->isCheckable()) a->setChecked(c.checked);
        return;
    }
    auto it = m_widgets.find(id);
    if (it == m_widgets.end() || !it->second) return;
    QWidget* w = it->second;
    const QString text = QString::fromStdString(c.text);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        // Texts carry what users typed and names read from the system: never markup,
        // except a link label's own anchor.
        if (label->textFormat() == Qt::RichText) {
            label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
        } else {
            label->setTextFormat(Qt::PlainText);
            label->setText(text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
        if (button->isCheckable()) button->setChecked(c.checked);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->text() != text) edit->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(text);
    }
    w->setToolTip(QString::fromStdString(c.toolTip));
    w->setEnabled(c.enabled);
    // A page of a tab control or stack is shown by its container, never directly: showing
    // it would paint it over the current page.
    const bool stackPage = qobject_cast<QStackedWidget*>(w->parentWidget()) != nullptr;
    if (!stackPage && w->isVisibleTo(w->parentWidget()) != c.visible) w->setVisible(c.visible);
}

int FormBinder::sync() {
    const auto changes = m_model.takeChanges();
    for (ControlSlot id : changes) apply(id);
    if (auto focus = m_model.takeFocusRequest()) {
        if (auto it = m_widgets.find(*focus); it != m_widgets.end() && it->second)
            it->second->setFocus(Qt::OtherFocusReason);
    }
    return static_cast<int>(changes.size());
}

void FormBinder::syncAll() {
    m_model.takeChanges();
    for (ControlSlot id = 0; id < m_model.size(); ++id) apply(id);
}

}  // namespace pt
