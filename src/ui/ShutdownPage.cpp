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

#include "Skin.h"
#include "shutdown/ShutdownScheduler.h"

namespace pt {

namespace {

QString Name(const char* prefix, int number) {
    return QString::fromLatin1(prefix) + QString::number(number);
}

template <typename W>
W* Named(const QString& name, QWidget* parent) {
    auto* widget = new W(parent);
    widget->setObjectName(name);
    return widget;
}

QLineEdit* Field(int number, QWidget* parent, int width = 44) {
    auto* field = Named<QLineEdit>(Name("Text", number), parent);
    field->setFixedWidth(width);
    field->setAlignment(Qt::AlignRight);
    return field;
}

QLabel* Label(const QString& name, QWidget* parent) {
    return Named<QLabel>(name, parent);
}

// One row of the frame: the box, its fields and labels, and the enable and cancel
// buttons in one place (only one of them is ever shown).
struct RowBuilder {
    QGridLayout* grid;
    QGroupBox* frame;
    int line = 0;

    QHBoxLayout* add(const QString& check, int enable) {
        grid->addWidget(Named<QCheckBox>(check, frame), line, 0, Qt::AlignLeft);
        auto* fields = new QHBoxLayout;
        fields->setSpacing(4);
        grid->addLayout(fields, line, 1);
        grid->addWidget(Named<QPushButton>(Name("Command", enable), frame), line, 2);
        grid->addWidget(Named<QPushButton>(Name("Command", enable + 1), frame), line, 2);
        ++line;
        return fields;
    }
};

}  // namespace

ShutdownPage::ShutdownPage(QWidget* parent) : QWidget(parent), m_countdownTimer(new QTimer(this)) {
    m_countdownTimer->setObjectName(QStringLiteral("Timer3"));
    m_countdownTimer->setInterval(1000);

    auto* page = new QVBoxLayout(this);

    auto* frame1 = Named<QGroupBox>(QStringLiteral("Frame1"), this);
    auto* grid = new QGridLayout(frame1);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(8);
    RowBuilder rows{grid, frame1};

    // Row 1: the countdown, with its warning line under it.
    QHBoxLayout* r = rows.add(QStringLiteral("Check1"), 1);
    r->addWidget(Field(1, frame1, 64));
    r->addWidget(Label(QStringLiteral("Label18"), frame1));
    r->addStretch();
    auto* warning = Label(QStringLiteral("Label23"), frame1);
    warning->setWordWrap(true);
    SetFigureColor(warning, Qt::red);
    grid->addWidget(warning, rows.line++, 0, 1, 3);

    // Rows 2 to 9: the clock rules; row 6 has a month and a day before the time.
    int text = 2;
    for (int row = 2; row <= 9; ++row) {
        r = rows.add(Name("Check", row), 2 * row - 1);
        if (row == 6) {
            r->addWidget(Field(text++, frame1));
            r->addWidget(Label(QStringLiteral("MonthLabel6"), frame1));
            r->addWidget(Field(text++, frame1));
            r->addWidget(Label(QStringLiteral("DayLabel6"), frame1));
        }
        r->addWidget(Field(text++, frame1));
        r->addWidget(Label(Name("HourLabel", row), frame1));
        r->addWidget(Field(text++, frame1));
        r->addWidget(Label(Name("MinuteLabel", row), frame1));
        r->addStretch();
    }
    page->addWidget(frame1);

    auto* frame2 = Named<QGroupBox>(QStringLiteral("Frame2"), this);
    auto* buttons = new QHBoxLayout(frame2);
    for (const char* name : {"cmdLogoff", "cmdReboot", "cmdShutdown"})
        buttons->addWidget(Named<QPushButton>(QString::fromLatin1(name), frame2));
    page->addWidget(frame2);
    page->addStretch();
    orderForKeyboard();
}

void ShutdownPage::orderForKeyboard() {
    const auto find = [this](const QString& name) { return findChild<QWidget*>(name); };
    // Each label names the field before it ("[  ] 时 [  ] 分").
    const auto buddy = [&](const QString& label, const QString& field) {
        if (auto* l = findChild<QLabel*>(label)) l->setBuddy(find(field));
    };
    buddy(QStringLiteral("Label18"), QStringLiteral("Text1"));
    buddy(QStringLiteral("MonthLabel6"), QStringLiteral("Text10"));
    buddy(QStringLiteral("DayLabel6"), QStringLiteral("Text11"));

    // Tab goes through each row as it reads: the box, its fields, then the button that
    // applies them; the three power buttons last.
    QList<QWidget*> order{find(QStringLiteral("Check1")), find(QStringLiteral("Text1")),
                          find(QStringLiteral("Command1")), find(QStringLiteral("Command2"))};
    int text = 2;
    for (int row = 2; row <= 9; ++row) {
        order << find(Name("Check", row));
        const int fields = row == 6 ? 4 : 2;
        buddy(Name("HourLabel", row), Name("Text", text + fields - 2));
        buddy(Name("MinuteLabel", row), Name("Text", text + fields - 1));
        for (int i = 0; i < fields; ++i) order << find(Name("Text", text++));
        order << find(Name("Command", 2 * row - 1)) << find(Name("Command", 2 * row));
    }
    for (const char* name : {"cmdLogoff", "cmdReboot", "cmdShutdown"})
        order << find(QString::fromLatin1(name));
    for (int i = 1; i < order.size(); ++i)
        if (order[i - 1] && order[i]) setTabOrder(order[i - 1], order[i]);
}

void ShutdownPage::connectCountdown(ShutdownScheduler& scheduler, std::function<void()> afterTick) {
    QTimer* timer = m_countdownTimer;
    scheduler.onCountdownChanged = [timer](bool on) {
        if (on)
            timer->start();
        else
            timer->stop();
    };
    if (scheduler.countdownActive()) timer->start();
    connect(timer, &QTimer::timeout, this, [&scheduler, afterTick = std::move(afterTick)] {
        scheduler.onCountdownTick();
        if (afterTick) afterTick();
    });
}

}  // namespace pt
