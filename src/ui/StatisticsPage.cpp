#include "StatisticsPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "FormBinder.h"
#include "Skin.h"
#include "core/form/MainControls.h"

namespace pt {

using namespace main_controls;

namespace {

QLabel* MakeLabel(QWidget* parent, ControlId id, const char* color = nullptr) {
    auto* label = new QLabel(parent);
    label->setObjectName(ObjectName(id));
    if (color) SetFigureColor(label, QColor(QLatin1String(color)));
    return label;
}

// A row of labels that size themselves to their text, each starting where the one before
// it ends, so a count that grows pushes the rest of its line to the right. A screen
// reader reads the line as one text.
QWidget* ChainedLine(QWidget* parent, ControlId id, const ControlId (&labels)[15],
                     const char* const (&colors)[15]) {
    auto* widget = new QWidget(parent);
    widget->setObjectName(ObjectName(id));
    widget->setProperty("ptAccessibleLine", true);
    auto* line = new QHBoxLayout(widget);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    for (size_t i = 0; i < 15; ++i) line->addWidget(MakeLabel(widget, labels[i], colors[i]));
    line->addStretch(1);
    return widget;
}

constexpr const char* kLeft = "#c000c0";
constexpr const char* kMiddle = "#008000";
constexpr const char* kRight = "#d00000";
constexpr const char* kAll = "#0000d0";
// The colours of a click line's labels: words plain, each count in its button's colour.
constexpr const char* kClickLineColors[15] = {nullptr, kAll,    nullptr, kLeft,   kLeft,
                                              kLeft,   nullptr, kMiddle, kMiddle, kMiddle,
                                              nullptr, kRight,  kRight,  kRight,  nullptr};

}  // namespace

StatisticsPage::StatisticsPage(QWidget* parent) : QWidget(parent) {
    auto* page = new QVBoxLayout(this);
    // Shown only where the input devices cannot be read: what is not measured and the fix.
    auto* notice = MakeLabel(this, InputAccessNotice, "#d00000");
    notice->setWordWrap(true);
    notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notice->hide();
    page->addWidget(notice);

    // Travel (top left) and keystrokes (top right).
    auto* top = new QHBoxLayout;
    auto* frame4 = new QGroupBox(this);
    frame4->setObjectName(ObjectName(TravelFrame));
    auto* travel = new QGridLayout(frame4);
    const ControlId travelLabels[4][2] = {{TodayTravelCaption, TodayTravel},
                                          {TotalTravelCaption, TotalTravel},
                                          {PositionCaption, Position},
                                          {TravelRecordCaption, TravelRecord}};
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
    frame6->setObjectName(ObjectName(KeysFrame));
    auto* keys = new QVBoxLayout(frame6);
    keys->addWidget(MakeLabel(frame6, TodayKeys));
    keys->addWidget(MakeLabel(frame6, TotalKeys));
    keys->addStretch(1);
    top->addWidget(frame6, 2);
    page->addLayout(top);

    // Clicks: two chained lines and the click record.
    auto* frame5 = new QGroupBox(this);
    frame5->setObjectName(ObjectName(ClicksFrame));
    auto* clicks = new QVBoxLayout(frame5);
    clicks->addWidget(ChainedLine(frame5, TodayClickLine, TodayClickLineLabels, kClickLineColors));
    clicks->addWidget(ChainedLine(frame5, TotalClickLine, TotalClickLineLabels, kClickLineColors));
    clicks->addWidget(MakeLabel(frame5, ClickRecord));
    page->addWidget(frame5);

    // Computer time.
    auto* frame3 = new QGroupBox(this);
    frame3->setObjectName(ObjectName(TimeFrame));
    auto* time = new QGridLayout(frame3);
    const ControlId timeLabels[4][2] = {{TodayUseTimeCaption, TodayUseTime},
                                        {TotalUseTimeCaption, TotalUseTime},
                                        {UptimeCaption, Uptime},
                                        {UseTimeRecordCaption, UseTimeRecord}};
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
    check->setObjectName(ObjectName(StartInTray));
    bottom->addWidget(check);
    bottom->addStretch(1);
    for (const auto& [captionName, figureName] :
         {std::pair{LevelCaption, Level}, std::pair{PointsCaption, Points}}) {
        QLabel* caption = MakeLabel(this, captionName);
        QLabel* figure = MakeLabel(this, figureName, "#d00000");
        caption->setBuddy(figure);
        bottom->addWidget(caption);
        bottom->addWidget(figure);
        bottom->addSpacing(12);
    }
    auto* ranking = MakeLabel(this, RankingLink);
    ranking->setTextFormat(Qt::RichText);
    ranking->setCursor(Qt::PointingHandCursor);
    bottom->addWidget(ranking);
    auto* test = MakeLabel(this, TestModeMark, "#d00000");
    bottom->addWidget(test);
    page->addLayout(bottom);
    page->addStretch(1);
}

void StatisticsPage::fixLiveLabels() {
    const std::pair<ControlId, int> live[] = {
        {TodayTravel, 220},  {TotalTravel, 220},  {Position, 220}, {TravelRecord, 220},
        {TodayUseTime, 150}, {TotalUseTime, 150}, {Uptime, 150},   {UseTimeRecord, 150}};
    for (const auto& [name, width] : live) {
        auto* label = findChild<QLabel*>(ObjectName(name));
        if (!label) continue;
        label->ensurePolished();
        label->setFixedSize(width, label->fontMetrics().height() + 6);
    }
}

int StatisticsPage::showAccessNotice(const QString& text, int pageWidth) {
    auto* notice = findChild<QLabel*>(ObjectName(InputAccessNotice));
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
    if (text.isEmpty()) return 0;
    const QMargins margins = layout()->contentsMargins();
    const int width = pageWidth - margins.left() - margins.right();
    return notice->heightForWidth(width) + layout()->spacing() + notice->fontMetrics().height() / 2;
}

}  // namespace pt
