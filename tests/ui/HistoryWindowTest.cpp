#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <set>

#include "core/persistence/HistoryCsv.h"
#include "core/stats/DayAccounting.h"
#include "support/Fakes.h"
#include "support/MemoryDayHistory.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/BarChart.h"
#include "ui/ChartModel.h"
#include "ui/ClearAllDialog.h"
#include "ui/DayTableModel.h"
#include "ui/HistoryWindow.h"
#include "ui/QtProgramDialogs.h"

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

// The window with the file to export to chosen by the test instead of a save dialog.
class ExportingWindow : public HistoryWindow {
public:
    using HistoryWindow::HistoryWindow;
    QString chosen;

protected:
    QString askFileName() override { return chosen; }
};

TEST_F(HistoryWindowTest, ExportWritesTheCsvOrSaysWhyAndLeavesNothing) {
    history.add("2026-12-08", 8, {100, 1, 2, 3, 4, 5});
    ExportingWindow window(history, clock, messages, Language::Simplified);
    const QString good = QString::fromStdString((dir / "days.csv").string());
    window.chosen = good;
    QTest::mouseClick(window.findChild<QPushButton*>("ExportCsv"), Qt::LeftButton);
    QFile written(good);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), HistoryCsv(history.days()));
    EXPECT_TRUE(messages.shown.empty());
    // The window says it is done, and where.
    auto* status = window.findChild<QLabel*>("ExportStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("已保存 1 天到 ") + QDir::toNativeSeparators(good));

    const std::filesystem::path blocker = dir / "a-file";
    QFile(QString::fromStdString(blocker.string())).open(QIODevice::WriteOnly);
    const QString bad = QString::fromStdString((blocker / "days.csv").string());
    window.chosen = bad;
    window.exportCsv();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("无法保存文件：", 0), 0u) << messages.shown[0].text;
    EXPECT_TRUE(status->text().isEmpty()) << "no word of an earlier success";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);

    window.chosen.clear();  // the dialog was cancelled
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

// A click on a bar chooses its day as a click on its row does; a day without a row shows
// its (empty) hours.
TEST_F(HistoryWindowTest, ClickingABarSelectsItsDay) {
    history.add("2026-12-06", 9, {500, 2, 0, 1, 40, 600});
    history.add("2026-12-08", 8, {100, 0, 0, 0, 90, 100});
    HistoryWindow window(history, clock, messages, Language::Simplified);
    window.resize(820, 620);
    window.setRange(7);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* chart = window.findChild<BarChart*>("DayChart");
    ASSERT_NE(chart, nullptr);
    const QRectF bar = chart->barBox(4);  // the 6th: 7 days up to the 8th
    ASSERT_FALSE(bar.isEmpty());
    QTest::mouseClick(chart, Qt::LeftButton, {}, bar.center().toPoint());
    EXPECT_EQ(window.hoursDate(), "2026-12-06");
    auto* table = window.findChild<QTableView*>("DayTable");
    ASSERT_TRUE(table->selectionModel()->hasSelection());
    EXPECT_EQ(
        window.tableModel().dayAt(table->selectionModel()->selectedRows().value(0).row()).date,
        "2026-12-06");
    EXPECT_EQ(window.hourChartModel()
                  .data(window.hourChartModel().index(9, 1), ChartModel::ValueRole)
                  .toLongLong(),
              500);

    // The 7th has no row: its slot still chooses it, and nothing in the table.
    const int slotCentre =
        static_cast<int>(chart->barBox(4).center().x() + chart->barBox(4).width() / 0.8);
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(slotCentre, chart->height() / 2));
    EXPECT_EQ(window.hoursDate(), "2026-12-07");
    EXPECT_FALSE(table->selectionModel()->hasSelection());
}

// The labels under a year of days carry the year and stand inside the chart, none over
// another; the largest value stands above the bars, never over the tallest.
TEST_F(HistoryWindowTest, AxisLabelsAndScaleStayClearAtEverySize) {
    fillTenYears();
    HistoryWindow window(history, clock, messages, Language::Simplified);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* days = window.findChild<BarChart*>("DayChart");
    auto* hours = window.findChild<BarChart*>("HourChart");
    for (int width : {640, 820, 1400}) {
        window.resize(width, 620);
        QApplication::processEvents();
        for (int range : {7, 30, 365}) {
            window.setRange(range);
            const auto labels = days->axisLabels();
            ASSERT_GE(labels.size(), range == 7 ? 4u : 3u) << range << " at " << width;
            for (size_t i = 0; i < labels.size(); ++i) {
                const auto& [box, text] = labels[i];
                EXPECT_TRUE(days->rect().contains(box)) << text.toStdString() << " at " << width;
                EXPECT_GE(box.width(), days->fontMetrics().horizontalAdvance(text));
                if (i > 0) {
                    EXPECT_GT(box.left(), labels[i - 1].box.right()) << text.toStdString();
                }
                if (range == 365) {
                    EXPECT_TRUE(QRegularExpression(QStringLiteral("^20\\d\\d-\\d\\d$"))
                                    .match(text)
                                    .hasMatch())
                        << text.toStdString();
                }
            }
            if (range == 365) {
                // Evenly spaced months, and the year's change (January) among them.
                std::set<int> steps;
                bool january = false;
                for (size_t i = 0; i < labels.size(); ++i) {
                    const int month = labels[i].text.mid(5, 2).toInt();
                    january = january || month == 1;
                    if (i > 0)
                        steps.insert((month - labels[i - 1].text.mid(5, 2).toInt() + 12) % 12);
                }
                EXPECT_EQ(steps.size(), 1u) << "uneven months at " << width;
                EXPECT_TRUE(january) << width;
            }
        }
        // The hour of the day's largest value: its bar reaches the top of the plot.
        window.showHoursOf("2026-12-08");
        const QRect scale = hours->scaleBox();
        ASSERT_FALSE(scale.isEmpty());
        EXPECT_TRUE(hours->rect().contains(scale));
        for (int hour = 0; hour < 24; ++hour)
            EXPECT_FALSE(hours->barBox(hour).intersects(QRectF(scale))) << hour;
    }
}

// The open window follows the program's saves, keeping the chosen day; Esc closes it.
TEST_F(HistoryWindowTest, FollowsNewSavesAndClosesOnEsc) {
    history.add("2026-12-07", 9, {500, 2, 0, 1, 40, 600});
    history.add("2026-12-08", 8, {100, 0, 0, 0, 90, 100});
    auto* window = new HistoryWindow(history, clock, messages, Language::Simplified);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<HistoryWindow> alive(window);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->selectDay("2026-12-07");

    history.add("2026-12-07", 10, {1000, 0, 0, 0, 0, 0});  // a save of the running program
    history.add("2026-12-08", 8, {11000, 0, 0, 0, 0, 0});
    auto travelOf = [&](const char* date) {
        DayTableModel& table = window->tableModel();
        const int row = table.rowOf(date);
        return table.data(table.index(row, 1), ChartModel::ValueRole).toLongLong();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return travelOf("2026-12-08") == 11100; }, 5000));
    EXPECT_EQ(travelOf("2026-12-07"), 1500);
    EXPECT_EQ(window->hoursDate(), "2026-12-07") << "the chosen day stays";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return window->hourChartModel()
                       .data(window->hourChartModel().index(10, 1), ChartModel::ValueRole)
                       .toLongLong() == 1000;
        },
        5000));
    EXPECT_EQ(window->dayChartModel().points().back().value, 11100);

    // The window's own Esc key (the offscreen platform does not always hand a window the
    // keyboard, so the key is taken where the window listens for it).
    QShortcut* escape = nullptr;
    for (QShortcut* s : window->findChildren<QShortcut*>())
        if (s->key() == QKeySequence(Qt::Key_Escape)) escape = s;
    ASSERT_NE(escape, nullptr);
    EXPECT_EQ(escape->context(), Qt::WindowShortcut);
    emit escape->activated();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "Esc closes it";
}

// Opened from the main window's menu, a failed export's box stands over the history
// window (its parent), not over the main window, and the history window stays open in
// front once the box is closed; a later export still works.
TEST_F(HistoryWindowTest, AFailedExportIsToldOverTheHistoryWindow) {
    history.add("2026-12-08", 8, {100, 1, 2, 3, 4, 5});
    QWidget mainWindow;
    mainWindow.show();
    QtProgramDialogs dialogs(&mainWindow, clock, messages, Language::Simplified);
    dialogs.showDayHistory(history);
    QPointer<HistoryWindow> window = HistoryWindow::instance();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    const std::filesystem::path blocker = dir / "a-file";
    QFile(QString::fromStdString(blocker.string())).open(QIODevice::WriteOnly);
    // The save dialog is answered as a person would: the file typed in, then Save.
    QString fileToChoose = QString::fromStdString((blocker / "d.csv").string());
    QString offeredName;
    QPointer<QWidget> boxParent;
    QString boxText;
    bool boxSeen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            const QStringList offered = chooser->selectedFiles();
            offeredName = offered.isEmpty() ? QString() : QFileInfo(offered[0]).fileName();
            // Typed into the name field whole, as selectFile() of another folder changes the
            // folder but may leave the offered name in the field.
            if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(fileToChoose);
            else
                chooser->selectFile(fileToChoose);
            QMetaObject::invokeMethod(chooser, "accept");
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) return;
        boxSeen = true;
        boxParent = box->parentWidget();
        boxText = box->text();
        box->accept();
    });
    poll.start(20);
    QTest::mouseClick(window->findChild<QPushButton*>("ExportCsv"), Qt::LeftButton);
    EXPECT_EQ(offeredName, QStringLiteral("pathtally-days.csv")) << "the name the dialog offers";
    ASSERT_TRUE(boxSeen) << "no box told the failure";
    EXPECT_TRUE(boxText.startsWith(QStringLiteral("无法保存文件："))) << boxText.toStdString();
    EXPECT_EQ(boxParent.data(), window.data()) << "the box stands over the history window";
    EXPECT_TRUE(messages.shown.empty()) << "nothing went to the main window's boxes";
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());

    const QString good = QString::fromStdString((dir / "days.csv").string());
    fileToChoose = good;
    window->exportCsv();
    poll.stop();
    EXPECT_TRUE(QFile::exists(good));
    EXPECT_TRUE(window->findChild<QLabel*>("ExportStatus")
                    ->text()
                    .startsWith(QStringLiteral("已保存 1 天到 ")));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace pt
