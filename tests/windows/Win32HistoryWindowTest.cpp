// The day history window on Win32 controls, under Wine: what it shows of a store, the day
// chosen from a bar or a row, the saves it follows and the CSV it writes.

#include <gtest/gtest.h>

#include "platform/windows/Win32.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/texts/HistoryTexts.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WinJournalFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "ui/win32/Win32HistoryWindow.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

std::wstring CellText(HWND table, int row, int column) {
    wchar_t text[64] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

class Win32HistoryWindowTest : public ::testing::Test {
protected:
    Win32HistoryWindowTest() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        history->add("2026-12-06", 9, {1000, 5, 0, 1, 40, 600});
        history->add("2026-12-08", 20, {377, 2, 1, 0, 9, 300});
        history->add("2026-12-08", 21, {10, 1, 0, 0, 1, 60});
    }
    test::TempDir dir;
    std::unique_ptr<JournalDayHistory> history = OpenWinDayHistory(dir / "history.journal");
    test::FakeClock clock;  // 2026-12-08 21:30
    test::FakeMessageBox boxes;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
};

TEST_F(Win32HistoryWindowTest, ShowsTheDaysTheHoursAndTheBestDays) {
    Win32HistoryWindow window(nullptr, font, *history, clock, boxes, Language::Simplified);
    ASSERT_TRUE(window.open());
    EXPECT_EQ(window.dayPoints().size(), 30u);
    EXPECT_EQ(window.dayPoints().back().label, "2026-12-08");
    EXPECT_EQ(window.dayPoints().back().value, 387);
    EXPECT_FALSE(window.dayPoints()[28].value.has_value()) << "12-07: the program did not run";
    EXPECT_EQ(window.hoursDate(), "2026-12-08");
    EXPECT_EQ(window.hourPoints()[21].value, 10);
    EXPECT_EQ(window.controlText(Win32HistoryWindow::HoursLabel),
              Widen("2026-12-08 每小时：鼠标移动距离"));
    // The best travel: 1000 pixels on the sixth.
    EXPECT_NE(window.controlText(Win32HistoryWindow::BestDayFirst).find(L"(2026-12-06)"),
              std::wstring::npos);
    HWND table = GetDlgItem(window.handle(), Win32HistoryWindow::DayTable);
    ASSERT_EQ(ListView_GetItemCount(table), 2);
    EXPECT_EQ(CellText(table, 0, 0), L"2026-12-08") << "newest first";
    EXPECT_EQ(CellText(table, 1, 5), L"40");

    window.setFigure(DayFigure::Keys);
    window.setRange(7);
    EXPECT_EQ(window.dayPoints().size(), 7u);
    EXPECT_EQ(window.dayPoints().back().value, 10);
    // A row chooses its day; so does a bar, also of a day without a row.
    ListView_SetItemState(table, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(window.hoursDate(), "2026-12-06");
    EXPECT_EQ(window.hourPoints()[9].value, 40);
    window.selectDay("2026-12-07");
    EXPECT_EQ(window.hoursDate(), "2026-12-07");
    EXPECT_EQ(ListView_GetNextItem(table, -1, LVNI_SELECTED), -1);
    window.setFigure(DayFigure::UseTime);
    for (const ChartPoint& hour : window.hourPoints()) EXPECT_FALSE(hour.value) << "no hours";
}

// The window with the file to export to chosen by the test instead of the save dialog.
class ExportingWindow : public Win32HistoryWindow {
public:
    using Win32HistoryWindow::Win32HistoryWindow;
    std::wstring chosen;

protected:
    std::wstring askFileName() override { return chosen; }
};

TEST_F(Win32HistoryWindowTest, FollowsTheSavesAndWritesTheCsv) {
    ExportingWindow window(nullptr, font, *history, clock, boxes, Language::Simplified);
    history->add("2026-12-08", 21, {3, 0, 0, 0, 0, 1});
    window.followSaves();
    EXPECT_EQ(window.dayPoints().back().value, 390);
    EXPECT_EQ(window.hourPoints()[21].value, 13);

    const fs::path file = dir / "days.csv";
    window.chosen = file.wstring();
    window.exportCsv();
    std::ifstream in(file, std::ios::binary);
    std::stringstream csv;
    csv << in.rdbuf();
    EXPECT_EQ(csv.str(),
              "date,travel_pixels,travel_metres,left_clicks,middle_clicks,right_clicks,keys,"
              "use_time_seconds\r\n2026-12-06,1000,0.265,5,0,1,40,600\r\n"
              "2026-12-08,390,0.103,3,1,0,10,361\r\n");
    EXPECT_NE(window.controlText(Win32HistoryWindow::ExportStatus).find(L"已保存 2 天到 "),
              std::wstring::npos);
    EXPECT_TRUE(boxes.shown.empty());

    // A folder that is not there: a box says why, nothing is left behind.
    window.chosen = (dir / "missing" / "days.csv").wstring();
    window.exportCsv();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("无法保存文件："), std::string::npos);
    EXPECT_TRUE(window.controlText(Win32HistoryWindow::ExportStatus).empty());
    EXPECT_FALSE(fs::exists(dir / "missing"));
    // Nothing asked for, nothing done.
    window.chosen.clear();
    window.exportCsv();
    EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace pt
