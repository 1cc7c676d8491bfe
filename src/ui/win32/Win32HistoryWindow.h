#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/Clock.h"
#include "core/ports/DayHistory.h"
#include "core/ports/MessageBox.h"
#include "core/stats/DayHistorySummary.h"
#include "core/texts/Language.h"
#include "platform/windows/Win32.h"

namespace pt {

// The day history on plain Win32 controls, as the Qt window shows it: a chart of the last 7,
// 30 or 365 days for a chosen figure, the hours of a chosen day, the table of the days
// (newest first; a click on a row or on a bar chooses the day) and each figure's best day;
// the days can be saved as CSV. Modeless, one at a time: showing it again refreshes and
// raises the open one. It follows the running program's saves every second while open.
class Win32HistoryWindow {
public:
    Win32HistoryWindow(HWND owner, HFONT font, DayHistory& history, const Clock& clock,
                       MessageBox& messages, Language lang);
    virtual ~Win32HistoryWindow();
    Win32HistoryWindow(const Win32HistoryWindow&) = delete;
    Win32HistoryWindow& operator=(const Win32HistoryWindow&) = delete;

    HWND handle() const { return m_hwnd; }
    bool open() const { return m_hwnd != nullptr; }
    void bringToFront();

    void reload();
    void setFigure(DayFigure figure);
    void setRange(int days);
    void selectDay(const std::string& date);
    // Reads the store again and shows what changed, keeping the chosen day.
    void followSaves();
    // Asks for a file (askFileName()) and saves the days there as CSV.
    void exportCsv();

    const std::vector<ChartPoint>& dayPoints() const { return m_dayPoints; }
    const std::vector<ChartPoint>& hourPoints() const { return m_hourPoints; }
    const std::string& hoursDate() const { return m_hoursDate; }
    const std::vector<DayRow>& days() const { return m_days; }
    std::wstring controlText(int controlId) const;

    // Control ids, for tests and automation.
    enum Control : int {
        FigureChoice = 101,
        RangeChoice,
        ExportButton,
        ExportStatus,
        DayChart,
        HoursLabel,
        HourChart,
        DayTable,
        BestDayFirst = 120  // then one per figure
    };

protected:
    // Asks for the file to export to (the save dialog); empty when none was chosen.
    virtual std::wstring askFileName();

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK chartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void create(HWND owner);
    void layout();
    void refreshDayChart();
    void refreshHourChart();
    void refreshTable();
    void refreshBestDays();
    void paintChart(HWND chart, HDC dc);
    int barAt(HWND chart, int x) const;

    HFONT m_font;
    DayHistory& m_history;
    const Clock& m_clock;
    MessageBox& m_messages;
    Language m_lang;
    HWND m_hwnd = nullptr;
    DayFigure m_figure = DayFigure::Travel;
    int m_range;
    std::string m_hoursDate;
    std::vector<DayRow> m_days;
    std::vector<HourRow> m_shownHours;
    std::vector<ChartPoint> m_dayPoints, m_hourPoints;
    std::wstring m_emptyHours;
    bool m_quietSelection = false;
};

}  // namespace pt
