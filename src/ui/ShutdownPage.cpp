#include "ShutdownPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "FormBinder.h"
#include "Skin.h"
#include "core/form/ShutdownControls.h"

namespace pt {

using namespace shutdown_controls;

namespace {

template <typename W>
W* Named(ControlId id, QWidget* parent) {
    auto* widget = new W(parent);
    widget->setObjectName(ObjectName(id));
    return widget;
}

QLineEdit* Field(ControlId id, QWidget* parent, int width = 44) {
    auto* field = Named<QLineEdit>(id, parent);
    // The designed width, or four digits at a larger font.
    field->setFixedWidth(
        std::max(width, field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16));
    field->setAlignment(Qt::AlignRight);
    return field;
}

// One row of the frame: the box, its fields and labels, and the enable and cancel
// buttons in one place (only one of them is ever shown).
struct RowBuilder {
    QGridLayout* grid;
    QGroupBox* frame;
    int line = 0;

    QHBoxLayout* add(ControlId box, ControlId enable, ControlId cancel) {
        grid->addWidget(Named<QCheckBox>(box, frame), line, 0, Qt::AlignLeft);
        auto* fields = new QHBoxLayout;
        fields->setSpacing(4);
        grid->addLayout(fields, line, 1);
        grid->addWidget(Named<QPushButton>(enable, frame), line, 2);
        grid->addWidget(Named<QPushButton>(cancel, frame), line, 2);
        ++line;
        return fields;
    }
};

}  // namespace

ShutdownPage::ShutdownPage(QWidget* parent) : QWidget(parent), m_countdownTimer(new QTimer(this)) {
    m_countdownTimer->setObjectName(QStringLiteral("Timer3"));
    m_countdownTimer->setInterval(1000);

    auto* page = new QVBoxLayout(this);

    auto* frame1 = Named<QGroupBox>(RulesFrame, this);
    auto* grid = new QGridLayout(frame1);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(8);
    RowBuilder rows{grid, frame1};

    // Row 1: the countdown, with its warning line under it.
    QHBoxLayout* r = rows.add(CountdownBox, StartCountdown, StopCountdown);
    r->addWidget(Field(CountdownMinutes, frame1, 64));
    r->addWidget(Named<QLabel>(CountdownUnit, frame1));
    r->addStretch();
    auto* warning = Named<QLabel>(CountdownWarning, frame1);
    warning->setWordWrap(true);
    SetFigureColor(warning, Qt::red);
    grid->addWidget(warning, rows.line++, 0, 1, 3);

    // Rows 2 to 9: the clock rules; row 6 has a month and a day before the time.
    for (const RuleControls& rule : Rules) {
        r = rows.add(rule.box, rule.enable, rule.cancel);
        if (rule.fieldCount == 4) {
            r->addWidget(Field(rule.fields[0], frame1));
            r->addWidget(Named<QLabel>(MonthLabel, frame1));
            r->addWidget(Field(rule.fields[1], frame1));
            r->addWidget(Named<QLabel>(DayLabel, frame1));
        }
        r->addWidget(Field(rule.hour(), frame1));
        r->addWidget(Named<QLabel>(rule.hourLabel, frame1));
        r->addWidget(Field(rule.minute(), frame1));
        r->addWidget(Named<QLabel>(rule.minuteLabel, frame1));
        r->addStretch();
    }
    page->addWidget(frame1);

    auto* frame2 = Named<QGroupBox>(PowerFrame, this);
    auto* buttons = new QHBoxLayout(frame2);
    for (ControlId id : {LogOffNow, RebootNow, PowerOffNow})
        buttons->addWidget(Named<QPushButton>(id, frame2));
    page->addWidget(frame2);
    page->addStretch();
    orderForKeyboard();
}

void ShutdownPage::orderForKeyboard() {
    const auto find = [this](ControlId id) { return findChild<QWidget*>(ObjectName(id)); };
    // Each label names the field before it ("[  ] 时 [  ] 分").
    const auto buddy = [&](ControlId label, ControlId field) {
        if (auto* l = findChild<QLabel*>(ObjectName(label))) l->setBuddy(find(field));
    };
    buddy(CountdownUnit, CountdownMinutes);
    buddy(MonthLabel, DateMonth);
    buddy(DayLabel, DateDay);

    // Tab goes through each row as it reads: the box, its fields, then the button that
    // applies them; the three power buttons last.
    QList<QWidget*> order{find(CountdownBox), find(CountdownMinutes), find(StartCountdown),
                          find(StopCountdown)};
    for (const RuleControls& rule : Rules) {
        order << find(rule.box);
        buddy(rule.hourLabel, rule.hour());
        buddy(rule.minuteLabel, rule.minute());
        for (int i = 0; i < rule.fieldCount; ++i)
            order << find(rule.fields[static_cast<size_t>(i)]);
        order << find(rule.enable) << find(rule.cancel);
    }
    for (ControlId id : {LogOffNow, RebootNow, PowerOffNow}) order << find(id);
    for (int i = 1; i < order.size(); ++i)
        if (order[i - 1] && order[i]) setTabOrder(order[i - 1], order[i]);
}

void ShutdownPage::connectCountdown(std::function<void()> eachSecond) {
    connect(m_countdownTimer, &QTimer::timeout, this, std::move(eachSecond));
}

void ShutdownPage::runCountdown(bool running) {
    if (running)
        m_countdownTimer->start();
    else
        m_countdownTimer->stop();
}

}  // namespace pt
