#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "FormBinder.h"

namespace pt {

namespace {

constexpr const char* FigureNameProperty = "ptFigureName";
constexpr const char* LineProperty = "ptAccessibleLine";

// A figure label: its name and its current text.
class FigureAccessible : public QAccessibleWidget {
public:
    explicit FigureAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->property(FigureNameProperty).toString() + QLatin1Char(' ') +
                   static_cast<QLabel*>(widget())->text().trimmed();
        return QAccessibleWidget::text(t);
    }
};

// A line of labels read as one text, without children of its own.
class LineAccessible : public QAccessibleWidget {
public:
    explicit LineAccessible(QWidget* line) : QAccessibleWidget(line, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        QString joined;
        for (QLabel* label : widget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (!label->isHidden()) joined += label->text();
        return joined;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (object->property(LineProperty).toBool())
        return new LineAccessible(static_cast<QWidget*>(object));
    if (auto* label = qobject_cast<QLabel*>(object);
        label && label->property(FigureNameProperty).isValid())
        return new FigureAccessible(label);
    return nullptr;
}

}  // namespace

void ApplyAccessibleTexts(QWidget* root, const std::vector<AccessibleText>& texts, Language lang) {
    static const bool installed = (QAccessible::installFactory(Factory), true);
    (void)installed;
    for (const AccessibleText& t : texts) {
        auto* widget = root->findChild<QWidget*>(ObjectName(t.control));
        if (!widget) continue;
        const QString name = QString::fromUtf8(t.name.in(lang));
        const QString description = QString::fromUtf8(t.descriptionIn(lang));
        if (widget->property(LineProperty).toBool() || qobject_cast<QLineEdit*>(widget) ||
            !qobject_cast<QLabel*>(widget))
            widget->setAccessibleName(name);
        else
            widget->setProperty(FigureNameProperty, name);
        if (!description.isEmpty()) widget->setAccessibleDescription(description);
    }
}

}  // namespace pt
