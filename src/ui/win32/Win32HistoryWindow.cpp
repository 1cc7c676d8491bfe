#include "ui/win32/Win32HistoryWindow.h"

#include "platform/windows/Win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "core/persistence/HistoryCsv.h"
#include "core/stats/ChartAxis.h"
#include "core/stats/DayAccounting.h"
#include "core/stats/HistoryWindowModel.h"
#include "core/texts/HistoryTexts.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WinWholeFile.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {
namespace {

constexpr wchar_t WindowClass[] = L"PathtallyHistoryWindow";
constexpr wchar_t ChartClass[] = L"PathtallyBarChart";
constexpr UINT_PTR FollowTimer = 1;
constexpr int FigureCount = static_cast<int>(std::size(AllDayFigures));

std::wstring W(std::string_view text) {
    return Widen(text);
}

HWND Child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
           HFONT font, DWORD exStyle = 0) {
    HWND hwnd = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10,
                                10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return hwnd;
}

}  // namespace

Win32HistoryWindow::Win32HistoryWindow(HWND owner, HFONT font, DayHistory& history,
                                       const Clock& clock, MessageBox& messages, Language lang)
    : m_font(font),
      m_history(history),
      m_clock(clock),
      m_messages(messages),
      m_lang(lang),
      m_range(DefaultHistoryRange),
      m_emptyHours(W(history_texts::NoHoursForUseTime.in(lang))) {
    create(owner);
    reload();
}

Win32HistoryWindow::~Win32HistoryWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

void Win32HistoryWindow::create(HWND owner) {
    static const bool registered =
        RegisterWin32WindowClass(WindowClass, windowProc, GetSysColorBrush(COLOR_BTNFACE)) &&
        RegisterWin32WindowClass(ChartClass, chartProc, GetSysColorBrush(COLOR_WINDOW), IDC_HAND);
    (void)registered;
    m_hwnd = CreateWindowExW(0, WindowClass, W(history_texts::Title.in(m_lang)).c_str(),
                             WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 820, 620, owner,
                             nullptr, GetModuleHandleW(nullptr), this);
    if (!m_hwnd) return;
    HWND figureLabel = Child(m_hwnd, L"STATIC", W(history_texts::Figure.in(m_lang)), 0, 0, m_font);
    SetWindowLongPtrW(figureLabel, GWLP_ID, 200);
    HWND figures = Child(m_hwnd, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                         FigureChoice, m_font);
    for (DayFigure figure : AllDayFigures)
        SendMessageW(
            figures, CB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(W(history_texts::FigureName(figure).in(m_lang)).c_str()));
    SendMessageW(figures, CB_SETCURSEL, 0, 0);
    HWND rangeLabel = Child(m_hwnd, L"STATIC", W(history_texts::Range.in(m_lang)), 0, 0, m_font);
    SetWindowLongPtrW(rangeLabel, GWLP_ID, 201);
    HWND ranges =
        Child(m_hwnd, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP, RangeChoice, m_font);
    for (const Text& range :
         {history_texts::Last7Days, history_texts::Last30Days, history_texts::Last365Days})
        SendMessageW(ranges, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(W(range.in(m_lang)).c_str()));
    SendMessageW(ranges, CB_SETCURSEL, 1, 0);
    Child(m_hwnd, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, ExportStatus, m_font);
    Child(m_hwnd, L"BUTTON", W(history_texts::Export.in(m_lang)), BS_PUSHBUTTON | WS_TABSTOP,
          ExportButton, m_font);
    Child(m_hwnd, ChartClass, L"", 0, DayChart, m_font, WS_EX_CLIENTEDGE);
    Child(m_hwnd, L"STATIC", L"", SS_NOPREFIX, HoursLabel, m_font);
    Child(m_hwnd, ChartClass, L"", 0, HourChart, m_font, WS_EX_CLIENTEDGE);
    HWND table = Child(m_hwnd, WC_LISTVIEWW, L"",
                       LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA | WS_TABSTOP,
                       DayTable, m_font, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(table, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int column = 0; column <= FigureCount; ++column) {
        std::wstring header =
            column == 0 ? W(history_texts::Date.in(m_lang))
                        : W(history_texts::FigureName(AllDayFigures[column - 1]).in(m_lang));
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.fmt = column == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        c.cx = column == 0 ? 86 : 80;
        c.pszText = header.data();
        ListView_InsertColumn(table, column, &c);
    }
    HWND best =
        Child(m_hwnd, L"BUTTON", W(history_texts::BestDays.in(m_lang)), BS_GROUPBOX, 202, m_font);
    (void)best;
    for (int i = 0; i < FigureCount; ++i) {
        Child(m_hwnd, L"STATIC", W(history_texts::FigureName(AllDayFigures[i]).in(m_lang)),
              SS_NOPREFIX, 210 + i, m_font);
        Child(m_hwnd, L"STATIC", L"", SS_NOPREFIX, BestDayFirst + i, m_font);
    }
    layout();
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    SetTimer(m_hwnd, FollowTimer, 1000, nullptr);
}

void Win32HistoryWindow::layout() {
    RECT client;
    GetClientRect(m_hwnd, &client);
    const int w = client.right, h = client.bottom, m = 8, row = 24;
    auto place = [this](int id, int x, int y, int cx, int cy) {
        MoveWindow(GetDlgItem(m_hwnd, id), x, y, std::max(cx, 1), std::max(cy, 1), TRUE);
    };
    place(200, m, m + 4, 70, 18);
    place(FigureChoice, m + 72, m, 130, 200);
    place(201, m + 214, m + 4, 70, 18);
    place(RangeChoice, m + 286, m, 100, 120);
    place(ExportButton, w - m - 110, m, 110, row);
    place(ExportStatus, m + 396, m + 4, w - m - 116 - (m + 396), 18);
    const int chartsTop = m + row + m;
    const int rest = h - chartsTop - m;
    const int dayChart = rest * 3 / 8, hourChart = rest * 2 / 8;
    place(DayChart, m, chartsTop, w - 2 * m, dayChart);
    place(HoursLabel, m, chartsTop + dayChart + 4, w - 2 * m, 18);
    place(HourChart, m, chartsTop + dayChart + 24, w - 2 * m, hourChart - 24);
    const int lowerTop = chartsTop + dayChart + hourChart + m;
    const int lower = h - lowerTop - m;
    const int bestWidth = 250;
    place(DayTable, m, lowerTop, w - 3 * m - bestWidth, lower);
    const int bx = w - m - bestWidth;
    place(202, bx, lowerTop, bestWidth, lower);
    for (int i = 0; i < FigureCount; ++i) {
        place(210 + i, bx + 8, lowerTop + 20 + i * 22, 90, 18);
        place(BestDayFirst + i, bx + 100, lowerTop + 20 + i * 22, bestWidth - 108, 18);
    }
}

void Win32HistoryWindow::bringToFront() {
    if (!m_hwnd) return;
    if (IsIconic(m_hwnd)) ShowWindow(m_hwnd, SW_RESTORE);
    ShowWindow(m_hwnd, SW_SHOW);
    SetForegroundWindow(m_hwnd);
}

void Win32HistoryWindow::reload() {
    m_days = m_history.days();
    m_hoursDate = HoursDateOnOpen(m_days, IsoDate(m_clock.now()));
    refreshTable();
    refreshDayChart();
    refreshHourChart();
    refreshBestDays();
}

void Win32HistoryWindow::setFigure(DayFigure figure) {
    m_figure = figure;
    SendDlgItemMessageW(m_hwnd, FigureChoice, CB_SETCURSEL, static_cast<WPARAM>(figure), 0);
    refreshDayChart();
    refreshHourChart();
}

void Win32HistoryWindow::setRange(int days) {
    m_range = days;
    const auto at = std::find(std::begin(HistoryRanges), std::end(HistoryRanges), days);
    if (at != std::end(HistoryRanges))
        SendDlgItemMessageW(m_hwnd, RangeChoice, CB_SETCURSEL,
                            static_cast<WPARAM>(at - std::begin(HistoryRanges)), 0);
    refreshDayChart();
}

void Win32HistoryWindow::selectDay(const std::string& date) {
    HWND table = GetDlgItem(m_hwnd, DayTable);
    m_quietSelection = true;
    ListView_SetItemState(table, -1, 0, LVIS_SELECTED);
    for (size_t i = 0; i < m_days.size(); ++i) {
        if (m_days[i].date != date) continue;
        const int row = static_cast<int>(m_days.size() - 1 - i);
        ListView_SetItemState(table, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(table, row, FALSE);
    }
    m_quietSelection = false;
    // Also a day the program did not run, whose hours are empty.
    m_hoursDate = date;
    refreshHourChart();
}

void Win32HistoryWindow::followSaves() {
    std::vector<DayRow> days = m_history.days();
    if (days != m_days) {
        m_days = std::move(days);
        refreshTable();
        const std::string chosen = m_hoursDate;
        m_quietSelection = true;
        HWND table = GetDlgItem(m_hwnd, DayTable);
        const int selected = ListView_GetNextItem(table, -1, LVNI_SELECTED);
        ListView_SetItemState(table, -1, 0, LVIS_SELECTED);
        if (selected >= 0)
            for (size_t i = 0; i < m_days.size(); ++i)
                if (m_days[i].date == chosen)
                    ListView_SetItemState(table, static_cast<int>(m_days.size() - 1 - i),
                                          LVIS_SELECTED, LVIS_SELECTED);
        m_quietSelection = false;
        refreshDayChart();
        refreshBestDays();
    }
    if (m_history.hours(m_hoursDate) != m_shownHours) refreshHourChart();
}

std::wstring Win32HistoryWindow::askFileName() {
    wchar_t name[MAX_PATH] = L"pathtally-days.csv";
    const std::wstring title = W(history_texts::ExportTitle.in(m_lang));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hwnd;
    dialog.lpstrFilter = L"CSV (*.csv)\0*.csv\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return GetSaveFileNameW(&dialog) ? std::wstring(name) : std::wstring();
}

void Win32HistoryWindow::exportCsv() {
    const std::wstring file = askFileName();
    if (file.empty()) return;
    const std::vector<DayRow> days = m_history.days();
    const std::string failure = WriteWholeFile(file, HistoryCsv(days)).failure;
    if (failure.empty()) {
        SetDlgItemTextW(m_hwnd, ExportStatus,
                        W(ExportSavedText(days.size(), Narrow(file), m_lang)).c_str());
        return;
    }
    SetDlgItemTextW(m_hwnd, ExportStatus, L"");
    m_messages.show(
        std::string(history_texts::ExportFailed.in(m_lang)) + Narrow(file) + "\n" + failure,
        std::string(history_texts::ExportTitle.in(m_lang)), MsgButtons::Ok, MsgIcon::Warning,
        MsgDefault::First);
    bringToFront();
}

std::wstring Win32HistoryWindow::controlText(int controlId) const {
    wchar_t text[512] = L"";
    GetDlgItemTextW(m_hwnd, controlId, text, 512);
    return text;
}

void Win32HistoryWindow::refreshTable() {
    HWND table = GetDlgItem(m_hwnd, DayTable);
    ListView_SetItemCountEx(table, static_cast<int>(m_days.size()), LVSICF_NOSCROLL);
    InvalidateRect(table, nullptr, FALSE);
}

void Win32HistoryWindow::refreshDayChart() {
    m_dayPoints = LastDays(m_days, IsoDate(m_clock.now()), m_range, m_figure);
    InvalidateRect(GetDlgItem(m_hwnd, DayChart), nullptr, TRUE);
}

void Win32HistoryWindow::refreshHourChart() {
    m_shownHours = m_history.hours(m_hoursDate);
    m_hourPoints = DayHours(m_shownHours, m_figure);
    SetDlgItemTextW(m_hwnd, HoursLabel, W(HoursCaption(m_hoursDate, m_figure, m_lang)).c_str());
    InvalidateRect(GetDlgItem(m_hwnd, HourChart), nullptr, TRUE);
}

void Win32HistoryWindow::refreshBestDays() {
    for (int i = 0; i < FigureCount; ++i)
        SetDlgItemTextW(m_hwnd, BestDayFirst + i,
                        W(BestDayText(m_days, AllDayFigures[i], m_lang)).c_str());
}

int Win32HistoryWindow::barAt(HWND chart, int x) const {
    const auto& points = GetDlgCtrlID(chart) == DayChart ? m_dayPoints : m_hourPoints;
    RECT r;
    GetClientRect(chart, &r);
    const int width = r.right - 16;
    if (points.empty() || width <= 0 || x < 8 || x >= 8 + width) return -1;
    return static_cast<int>(static_cast<long long>(x - 8) * static_cast<long long>(points.size()) /
                            width);
}

void Win32HistoryWindow::paintChart(HWND chart, HDC dc) {
    const bool days = GetDlgCtrlID(chart) == DayChart;
    const auto& points = days ? m_dayPoints : m_hourPoints;
    RECT r;
    GetClientRect(chart, &r);
    SelectObject(dc, m_font);
    SetBkMode(dc, TRANSPARENT);
    std::int64_t largest = 0;
    for (const ChartPoint& p : points)
        if (p.value) largest = std::max(largest, *p.value);
    if (largest <= 0) {
        const std::wstring empty = !days && !HourFigureOf(HourRow{}, m_figure) ? m_emptyHours : L"";
        DrawTextW(dc, empty.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    const int textHeight = 16;
    const int top = textHeight + 4, bottom = r.bottom - textHeight - 4;
    const int width = r.right - 16;
    // The scale above the bars.
    RECT scale{8, 2, r.right - 8, top};
    DrawTextW(dc, W(FigureText(largest, m_figure)).c_str(), -1, &scale, DT_LEFT | DT_SINGLELINE);
    HBRUSH bar = CreateSolidBrush(RGB(0x3a, 0x7b, 0xd5));
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        const int left =
            8 + static_cast<int>(static_cast<long long>(i) * width / static_cast<long long>(n));
        const int right =
            8 + static_cast<int>(static_cast<long long>(i + 1) * width / static_cast<long long>(n));
        if (points[i].value && *points[i].value > 0) {
            const int height =
                static_cast<int>(static_cast<double>(*points[i].value) / largest * (bottom - top));
            RECT b{left + 1, bottom - std::max(height, 1), std::max(right - 1, left + 2), bottom};
            FillRect(dc, &b, bar);
        }
    }
    DeleteObject(bar);
    // The labels below, as the Qt chart places them.
    std::vector<std::string> names;
    names.reserve(n);
    for (const ChartPoint& p : points) names.push_back(p.label);
    const auto textWidth = [dc](std::string_view text) {
        const std::wstring wide = W(std::string(text));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    for (const AxisLabel& label : AxisLabels(
             names, 8, static_cast<double>(width) / static_cast<double>(n), r.right, textWidth)) {
        const std::wstring text = W(label.text);
        TextOutW(dc, label.left, bottom + 2, text.c_str(), static_cast<int>(text.size()));
    }
}

LRESULT CALLBACK Win32HistoryWindow::chartProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self =
        reinterpret_cast<Win32HistoryWindow*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
    if (self && message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        self->paintChart(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (self && message == WM_LBUTTONDOWN && GetDlgCtrlID(hwnd) == DayChart) {
        const int bar = self->barAt(hwnd, static_cast<short>(LOWORD(lParam)));
        if (bar >= 0) self->selectDay(self->m_dayPoints[static_cast<size_t>(bar)].label);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32HistoryWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    auto* self = WindowOwner<Win32HistoryWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(hwnd, message, wParam, lParam);
}

LRESULT Win32HistoryWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (m_hwnd) layout();
            return 0;
        case WM_TIMER:
            if (wParam == FollowTimer && IsWindowVisible(hwnd)) followSaves();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == ExportButton && HIWORD(wParam) == BN_CLICKED) {
                exportCsv();
            } else if (LOWORD(wParam) == FigureChoice && HIWORD(wParam) == CBN_SELCHANGE) {
                const auto index = SendDlgItemMessageW(hwnd, FigureChoice, CB_GETCURSEL, 0, 0);
                setFigure(AllDayFigures[std::clamp<LRESULT>(index, 0, FigureCount - 1)]);
            } else if (LOWORD(wParam) == RangeChoice && HIWORD(wParam) == CBN_SELCHANGE) {
                const auto index = SendDlgItemMessageW(hwnd, RangeChoice, CB_GETCURSEL, 0, 0);
                setRange(HistoryRanges[std::clamp<LRESULT>(index, 0, 2)]);
            } else if (LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(hwnd);  // Esc
            }
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom != DayTable) break;
            if (header->code == LVN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
                const size_t row = static_cast<size_t>(info->item.iItem);
                if (!(info->item.mask & LVIF_TEXT) || row >= m_days.size()) return 0;
                const DayRow& day = m_days[m_days.size() - 1 - row];
                const int column = info->item.iSubItem;
                const std::wstring text =
                    column == 0 ? W(day.date)
                                : W(FigureText(FigureOf(day.figures, AllDayFigures[column - 1]),
                                               AllDayFigures[column - 1]));
                lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
                return 0;
            }
            if (header->code == LVN_ITEMCHANGED && !m_quietSelection) {
                auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
                const size_t row = static_cast<size_t>(change->iItem);
                if ((change->uNewState & LVIS_SELECTED) && row < m_days.size()) {
                    m_hoursDate = m_days[m_days.size() - 1 - row].date;
                    refreshHourChart();
                }
            }
            return 0;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, FollowTimer);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            m_hwnd = nullptr;
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace pt
