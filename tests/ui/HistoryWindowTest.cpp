#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "core/persistence/HistoryCsv.h"
#include "core/stats/DayAccounting.h"
#include "support/Fakes.h"
#include "support/MemoryDayHistory.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/ChartModel.h"
#include "ui/ClearAllDialog.h"
#include "ui/DayTableModel.h"
#include "ui/HistoryWindow.h"

namespace pt {
namespace {

class HistoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtTestApp();
        clock.setDate(2026, 12, 8);
        clock.setTime(15, 0, 0);
    }
    // Ten years of days up to today, with every fifth day missing (the program did not run).
    void fillTenYears() {
        std::string date = IsoDateMinusDays("2026-12-08", 3652);
        for (int i = 0; i <= 3652; ++i, date = IsoDateMinusDays(date, -1))
            if (i % 5 != 3)
                history.add(date, 10, {i * 100LL + 7, i % 11, i % 3, i % 5, i * 2LL, 60 + i});
    }
    std::int64_t tableValue(DayTableModel& table, const std::string& date, DayFigure figure) {
        for (int row = 0; row < table.rowCount(); ++row)
            if (table.dayAt(row).date == date)
                return table
                    .data(table.index(row, 1 + static_cast<int>(figure)), ChartModel::ValueRole)
                    .toLongLong();
        return -1;
    }

    test::FakeClock clock;
    test::FakeMessageBox messages;
    test::MemoryDayHistory history;
    test::TempDir dir;
};

TEST_F(HistoryWindowTest, ChartsShowTheTablesValuesForEveryRangeAndFigure) {
    fillTenYears();
    HistoryWindow window(history, clock, messages, Language::Simplified);
    window.show();
    DayTableModel& table = window.tableModel();
    EXPECT_EQ(table.rowCount(), 3653 - 3653 / 5);
    EXPECT_EQ(table.dayAt(0).date, "2026-12-08");  // newest first

    for (int range : {7, 30, 365}) {
        for (DayFigure figure : {DayFigure::Travel, DayFigure::Keys, DayFigure::UseTime}) {
            window.setRange(range);
            window.setFigure(figure);
            ChartModel& chart = window.dayChartModel();
            ASSERT_EQ(chart.rowCount(), range);
            EXPECT_EQ(chart.data(chart.index(range - 1, 0)).toString(), "2026-12-08");
            for (int row = 0; row < range; ++row) {
                const std::string date = chart.data(chart.index(row, 0)).toString().toStdString();
                const QVariant value = chart.data(chart.index(row, 1), ChartModel::ValueRole);
                const std::int64_t inTable = tableValue(table, date, figure);
                if (inTable < 0)
                    EXPECT_FALSE(value.isValid()) << date << " has no row, so no bar";
                else
                    EXPECT_EQ(value.toLongLong(), inTable) << date;
            }
        }
    }
    // The combo boxes drive the same choices.
    window.findChild<QComboBox*>("RangeChoice")->setCurrentIndex(0);
    window.findChild<QComboBox*>("FigureChoice")->setCurrentIndex(1);
    EXPECT_EQ(window.dayChartModel().rowCount(), 7);
    EXPECT_EQ(window.dayChartModel().figure(), DayFigure::LeftClicks);
    // A picture for the eye, next to the main window's.
    QDir().mkpath(PT_BINARY_DIR "/screenshots");
    EXPECT_TRUE(window.grab().save(PT_BINARY_DIR "/screenshots/history-gb.png"));
}

TEST_F(HistoryWindowTest, HoursOfTheChosenDayAndTheBestDays) {
    history.add("2026-12-07", 9, {500, 2, 0, 1, 40, 600});
    history.add("2026-12-07", 14, {300, 1, 1, 0, 10, 300});
    history.add("2026-12-08", 8, {100, 0, 0, 0, 90, 100});
    HistoryWindow window(history, clock, messages, Language::Traditional);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("每日統計"));
    EXPECT_EQ(window.hoursDate(), "2026-12-08");

    // Choosing a day in the table shows its hours.
    auto* view = window.findChild<QTableView*>("DayTable");
    view->selectRow(1);
    EXPECT_EQ(window.hoursDate(), "2026-12-07");
    window.setFigure(DayFigure::RightClicks);
    ChartModel& hours = window.hourChartModel();
    ASSERT_EQ(hours.rowCount(), 24);
    EXPECT_EQ(hours.data(hours.index(9, 1), ChartModel::ValueRole).toLongLong(), 3);
    EXPECT_EQ(hours.data(hours.index(14, 1), ChartModel::ValueRole).toLongLong(), 2);
    EXPECT_FALSE(hours.data(hours.index(10, 1), ChartModel::ValueRole).isValid());
    EXPECT_EQ(window.findChild<QLabel*>("HoursLabel")->text(),
              QStringLiteral("2026-12-07 每小時：滑鼠點擊（左中右鍵合計）"));
    window.setFigure(DayFigure::UseTime);
    EXPECT_FALSE(hours.data(hours.index(9, 1), ChartModel::ValueRole).isValid());

    // Best day of each figure: travel 800 px on the 7th, keys 90 on the 8th.
    EXPECT_EQ(window.findChild<QLabel*>("Best0")->text(), QStringLiteral("0.212 m  (2026-12-07)"));
    EXPECT_EQ(window.findChild<QLabel*>("Best4")->text(), QStringLiteral("90  (2026-12-08)"));
    EXPECT_EQ(window.findChild<QLabel*>("Best2")->text(), QStringLiteral("1  (2026-12-07)"));
}

TEST_F(HistoryWindowTest, ExportWritesTheCsvOrSaysWhyAndLeavesNothing) {
    history.add("2026-12-08", 8, {100, 1, 2, 3, 4, 5});
    HistoryWindow window(history, clock, messages, Language::Simplified);
    const QString good = QString::fromStdString((dir / "days.csv").string());
    window.askFileName = [&] { return good; };
    QTest::mouseClick(window.findChild<QPushButton*>("ExportCsv"), Qt::LeftButton);
    QFile written(good);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), HistoryCsv(history.days()));
    EXPECT_TRUE(messages.shown.empty());

    const std::filesystem::path blocker = dir / "a-file";
    QFile(QString::fromStdString(blocker.string())).open(QIODevice::WriteOnly);
    const QString bad = QString::fromStdString((blocker / "days.csv").string());
    window.askFileName = [&] { return bad; };
    window.exportCsv();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("无法保存文件：", 0), 0u) << messages.shown[0].text;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);

    window.askFileName = [] { return QString(); };  // the dialog was cancelled
    window.exportCsv();
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(HistoryWindowTest, DataResetKeepsTheDaysUnlessTheBoxIsTicked) {
    StatisticsModel model;
    DayAccounting days(model, history, clock);
    days.begin();
    history.add("2026-12-07", 9, {500, 2, 0, 1, 40, 600});
    messages.answers = {MsgAnswer::Yes, MsgAnswer::Ok};
    {
        ClearAllDialog dialog(model, history, clock, Language::Simplified, nullptr, &messages,
                              &days);
        auto* box = dialog.findChild<QCheckBox*>("CheckClearHistory");
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked()) << "off unless ticked";
        EXPECT_EQ(box->text(), QStringLiteral("同时清除每日统计记录"));
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    }
    EXPECT_EQ(history.days().size(), 1u);

    messages.answers = {MsgAnswer::Yes, MsgAnswer::Ok};
    ClearAllDialog dialog(model, history, clock, Language::Simplified, nullptr, &messages, &days);
    dialog.show();
    auto* box = dialog.findChild<QCheckBox*>("CheckClearHistory");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    ASSERT_TRUE(box->isChecked());
    QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(history.days().empty());
    EXPECT_TRUE(history.hours("2026-12-07").empty());
}

}  // namespace
}  // namespace pt
