#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/ports/Clock.h"
#include "core/ports/DayHistory.h"
#include "core/ports/MessageBox.h"
#include "core/stats/DayHistorySummary.h"
#include "core/texts/Language.h"

class QComboBox;
class QLabel;
class QTableView;
class QTimer;

namespace pt {

class BarChart;
class ChartModel;
class DayTableModel;

// The day history: a chart of the last 7, 30 or 365 days for a chosen figure, the hours
// of a chosen day, the table of the days and the best day of each figure; the days can be
// saved as CSV. One window at a time; it reads the store when opened and when raised.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(DayHistory& history, const Clock& clock, MessageBox& messages, Language lang,
                  QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Shows the window: the open one is refreshed and raised, else a new one is made.
    static HistoryWindow* showInstance(DayHistory& history, const Clock& clock,
                                       MessageBox& messages, Language lang,
                                       QWidget* parent = nullptr);
    static HistoryWindow* instance();

    // Reads the days again and redraws everything.
    void reload();
    void setFigure(DayFigure figure);
    // 7, 30 or 365.
    void setRange(int days);
    // The day whose hours are shown (ISO date).
    void showHoursOf(const std::string& date);
    // Saves the days as CSV to the file askFileName() names (nothing when it names none),
    // and says in the window that it did, or in a box why it could not.
    void exportCsv();
    // Reads the store again and shows what changed since (the saves of the running
    // program), keeping the chosen day. Done every second while the window is shown.
    void followSaves();
    // Selects a day as a click on its row or on its bar does.
    void selectDay(const std::string& date);

    ChartModel& dayChartModel() { return *m_dayModel; }
    ChartModel& hourChartModel() { return *m_hourModel; }
    DayTableModel& tableModel() { return *m_tableModel; }
    const std::string& hoursDate() const { return m_hoursDate; }

protected:
    // Asks for the file to export to (a save dialog); empty when none was chosen.
    virtual QString askFileName();
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refreshDayChart();
    void refreshHourChart();
    void refreshBestDays();

    DayHistory& m_history;
    const Clock& m_clock;
    MessageBox& m_messages;
    Language m_lang;
    DayFigure m_figure = DayFigure::Travel;
    int m_range = 30;
    std::string m_hoursDate;

    ChartModel* m_dayModel;
    ChartModel* m_hourModel;
    DayTableModel* m_tableModel;
    QComboBox* m_figureChoice;
    QComboBox* m_rangeChoice;
    BarChart* m_dayChart;
    BarChart* m_hourChart;
    QLabel* m_hoursLabel;
    QLabel* m_exportStatus;
    QTimer* m_followTimer;
    std::vector<HourRow> m_shownHours;
    QLabel* m_bestDays[6];
    QTableView* m_table;
};

}  // namespace pt
