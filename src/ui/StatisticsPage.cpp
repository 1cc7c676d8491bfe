#include "StatisticsPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Skin.h"

namespace pt {
namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const char* color = nullptr) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    if (color) SetFigureColor(label, QColor(QLatin1String(color)));
    return label;
}

// A row of labels that size themselves to their text, each starting where the one before
// it ends, so a count that grows pushes the rest of its line to the right. A screen
// reader reads the line as one text.
QWidget* ChainedLine(QWidget* parent, const char* name,
                     std::initializer_list<std::pair<const char*, const char*>> labels) {
    auto* widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setProperty("ptAccessibleLine", true);
    auto* line = new QHBoxLayout(widget);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    for (const auto& [label, color] : labels) line->addWidget(MakeLabel(widget, label, color));
    line->addStretch(1);
    return widget;
}

constexpr const char* kLeft = "#c000c0";
constexpr const char* kMiddle = "#008000";
constexpr const char* kRight = "#d00000";
constexpr const char* kAll = "#0000d0";

}  // namespace

StatisticsPage::StatisticsPage(QWidget* parent) : QWidget(parent) {
    auto* page = new QVBoxLayout(this);
    // Shown only where the input devices cannot be read: what is not measured and the fix.
    auto* notice = MakeLabel(this, "InputAccessNotice", "#d00000");
    notice->setWordWrap(true);
    notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notice->hide();
    page->addWidget(notice);

    // Travel (top left) and keystrokes (top right).
    auto* top = new QHBoxLayout;
    auto* frame4 = new QGroupBox(this);
    frame4->setObjectName(QStringLiteral("Frame4"));
    auto* travel = new QGridLayout(frame4);
    const char* travelLabels[4][2] = {
        {"Label1", "Label2"}, {"Label3", "Label4"}, {"Label5", "Label6"}, {"Label7", "Label8"}};
    for (int row = 0; row < 4; ++row) {
        QLabel* caption = MakeLabel(frame4, travelLabels[row][0]);
        QLabel* figure = MakeLabel(frame4, travelLabels[row][1], "#0000d0");
        caption->setBuddy(figure);
        travel->addWidget(caption, row, 0);
        travel->addWidget(figure, row, 1);
    }
    travel->setColumnStretch(1, 1);
    top->addWidget(frame4, 3);

    auto* frame6 = new QGroupBox(this);
    frame6->setObjectName(QStringLiteral("Frame6"));
    auto* keys = new QVBoxLayout(frame6);
    keys->addWidget(MakeLabel(frame6, "Label73"));
    keys->addWidget(MakeLabel(frame6, "Label74"));
    keys->addStretch(1);
    top->addWidget(frame6, 2);
    page->addLayout(top);

    // Clicks: two chained lines and the click record.
    auto* frame5 = new QGroupBox(this);
    frame5->setObjectName(QStringLiteral("Frame5"));
    auto* clicks = new QVBoxLayout(frame5);
    clicks->addWidget(ChainedLine(frame5, "ClickLineToday",
                                  {{"Label26", nullptr},
                                   {"Label27", kAll},
                                   {"Label28", nullptr},
                                   {"Label29", kLeft},
                                   {"Label30", kLeft},
                                   {"Label31", kLeft},
                                   {"Label33", nullptr},
                                   {"Label34", kMiddle},
                                   {"Label35", kMiddle},
                                   {"Label36", kMiddle},
                                   {"Label37", nullptr},
                                   {"Label38", kRight},
                                   {"Label39", kRight},
                                   {"Label40", kRight},
                                   {"Label41", nullptr}}));
    clicks->addWidget(ChainedLine(frame5, "ClickLineTotal",
                                  {{"Label24", nullptr},
                                   {"Label42", kAll},
                                   {"Label43", nullptr},
                                   {"Label44", kLeft},
                                   {"Label45", kLeft},
                                   {"Label46", kLeft},
                                   {"Label47", nullptr},
                                   {"Label48", kMiddle},
                                   {"Label49", kMiddle},
                                   {"Label50", kMiddle},
                                   {"Label51", nullptr},
                                   {"Label52", kRight},
                                   {"Label53", kRight},
                                   {"Label54", kRight},
                                   {"Label55", nullptr}}));
    clicks->addWidget(MakeLabel(frame5, "Label25"));
    page->addWidget(frame5);

    // Computer time.
    auto* frame3 = new QGroupBox(this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* time = new QGridLayout(frame3);
    const char* timeLabels[4][2] = {{"Label9", "Label10"},
                                    {"Label11", "Label12"},
                                    {"Label13", "Label14"},
                                    {"Label15", "Label16"}};
    for (int i = 0; i < 4; ++i) {
        QLabel* caption = MakeLabel(frame3, timeLabels[i][0]);
        QLabel* figure = MakeLabel(frame3, timeLabels[i][1], "#0000d0");
        caption->setBuddy(figure);
        time->addWidget(caption, i / 2, (i % 2) * 2);
        time->addWidget(figure, i / 2, (i % 2) * 2 + 1);
    }
    time->setColumnStretch(1, 1);
    time->setColumnStretch(3, 1);
    page->addWidget(frame3);

    // Start-in-tray box, points and level, ranking link, test-mode label.
    auto* bottom = new QHBoxLayout;
    auto* check = new QCheckBox(this);
    check->setObjectName(QStringLiteral("Check2MinToSystray"));
    bottom->addWidget(check);
    bottom->addStretch(1);
    for (const auto& [captionName, figureName] :
         {std::pair{"Label17", "Label19"}, std::pair{"Label20", "Label21"}}) {
        QLabel* caption = MakeLabel(this, captionName);
        QLabel* figure = MakeLabel(this, figureName, "#d00000");
        caption->setBuddy(figure);
        bottom->addWidget(caption);
        bottom->addWidget(figure);
        bottom->addSpacing(12);
    }
    auto* ranking = MakeLabel(this, "Label75");
    ranking->setTextFormat(Qt::RichText);
    ranking->setCursor(Qt::PointingHandCursor);
    bottom->addWidget(ranking);
    auto* test = MakeLabel(this, "test1", "#d00000");
    bottom->addWidget(test);
    page->addLayout(bottom);
    page->addStretch(1);
}

void StatisticsPage::fixLiveLabels() {
    const std::pair<const char*, int> live[] = {
        {"Label2", 220},  {"Label4", 220},  {"Label6", 220},  {"Label8", 220},
        {"Label10", 150}, {"Label12", 150}, {"Label14", 150}, {"Label16", 150}};
    for (const auto& [name, width] : live) {
        auto* label = findChild<QLabel*>(QLatin1String(name));
        if (!label) continue;
        label->ensurePolished();
        label->setFixedSize(width, label->fontMetrics().height() + 6);
    }
}

int StatisticsPage::showAccessNotice(const QString& text, int pageWidth) {
    auto* notice = findChild<QLabel*>(QStringLiteral("InputAccessNotice"));
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
    if (text.isEmpty()) return 0;
    const QMargins margins = layout()->contentsMargins();
    const int width = pageWidth - margins.left() - margins.right();
    return notice->heightForWidth(width) + layout()->spacing() + notice->fontMetrics().height() / 2;
}

}  // namespace pt
