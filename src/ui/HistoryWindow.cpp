#include "HistoryWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "BarChart.h"
#include "ChartModel.h"
#include "DayTableModel.h"
#include "Skin.h"
#include "WholeFile.h"
#include "core/persistence/HistoryCsv.h"
#include "core/stats/DayAccounting.h"
#include "core/stats/HistoryWindowModel.h"
#include "core/texts/HistoryTexts.h"

namespace pt {
namespace {

QPointer<HistoryWindow> g_instance;

QString Shown(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr const int (&Ranges)[3] = HistoryRanges;

}  // namespace

HistoryWindow::HistoryWindow(DayHistory& history, const Clock& clock, MessageBox& messages,
                             Language lang, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_history(history),
      m_clock(clock),
      m_messages(messages),
      m_lang(lang),
      m_dayModel(new ChartModel(this)),
      m_hourModel(new ChartModel(this)),
      m_tableModel(new DayTableModel(lang, this)) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(Shown(history_texts::Title.in(lang)));
    ApplySkin(this);

    auto* layout = new QVBoxLayout(this);
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(Shown(history_texts::Figure.in(lang)), this));
    m_figureChoice = new QComboBox(this);
    m_figureChoice->setObjectName(QStringLiteral("FigureChoice"));
    for (DayFigure figure : AllDayFigures)
        m_figureChoice->addItem(Shown(history_texts::FigureName(figure).in(lang)));
    choices->addWidget(m_figureChoice);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(Shown(history_texts::Range.in(lang)), this));
    m_rangeChoice = new QComboBox(this);
    m_rangeChoice->setObjectName(QStringLiteral("RangeChoice"));
    for (const Text& range :
         {history_texts::Last7Days, history_texts::Last30Days, history_texts::Last365Days})
        m_rangeChoice->addItem(Shown(range.in(lang)));
    m_rangeChoice->setCurrentIndex(1);
    choices->addWidget(m_rangeChoice);
    choices->addStretch();
    m_exportStatus = new QLabel(this);
    m_exportStatus->setObjectName(QStringLiteral("ExportStatus"));
    m_exportStatus->setTextFormat(Qt::PlainText);
    choices->addWidget(m_exportStatus);
    auto* exportButton = new QPushButton(Shown(history_texts::Export.in(lang)), this);
    exportButton->setObjectName(QStringLiteral("ExportCsv"));
    choices->addWidget(exportButton);
    layout->addLayout(choices);

    m_dayChart = new BarChart(*m_dayModel, this);
    m_dayChart->setObjectName(QStringLiteral("DayChart"));
    m_dayChart->setCursor(Qt::PointingHandCursor);  // a bar selects its day
    layout->addWidget(m_dayChart, 3);

    m_hoursLabel = new QLabel(this);
    m_hoursLabel->setObjectName(QStringLiteral("HoursLabel"));
    layout->addWidget(m_hoursLabel);
    m_hourChart = new BarChart(*m_hourModel, this);
    m_hourChart->setObjectName(QStringLiteral("HourChart"));
    layout->addWidget(m_hourChart, 2);

    auto* lower = new QHBoxLayout;
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("DayTable"));
    m_table->setModel(m_tableModel);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setDefaultSectionSize(96);
    lower->addWidget(m_table, 3);
    auto* best = new QGroupBox(Shown(history_texts::BestDays.in(lang)), this);
    best->setObjectName(QStringLiteral("BestDays"));
    auto* bestLayout = new QFormLayout(best);
    for (size_t i = 0; i < std::size(AllDayFigures); ++i) {
        m_bestDays[i] = new QLabel(best);
        m_bestDays[i]->setObjectName(QStringLiteral("Best%1").arg(i));
        m_bestDays[i]->setTextFormat(Qt::PlainText);
        bestLayout->addRow(Shown(history_texts::FigureName(AllDayFigures[i]).in(lang)),
                           m_bestDays[i]);
    }
    lower->addWidget(best, 1);
    layout->addLayout(lower, 3);
    resize(820, 620);

    connect(m_figureChoice, &QComboBox::currentIndexChanged, this,
            [this](int index) { setFigure(AllDayFigures[std::clamp(index, 0, 5)]); });
    connect(m_rangeChoice, &QComboBox::currentIndexChanged, this,
            [this](int index) { setRange(Ranges[std::clamp(index, 0, 2)]); });
    connect(exportButton, &QPushButton::clicked, this, &HistoryWindow::exportCsv);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) showHoursOf(m_tableModel->dayAt(current.row()).date);
            });
    connect(m_dayChart, &BarChart::barClicked, this, [this](int row) {
        const auto& points = m_dayModel->points();
        if (row >= 0 && static_cast<size_t>(row) < points.size())
            selectDay(points[static_cast<size_t>(row)].label);
    });
    // Esc closes the window, wherever in it the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    m_followTimer = new QTimer(this);
    m_followTimer->setInterval(1000);
    connect(m_followTimer, &QTimer::timeout, this, &HistoryWindow::followSaves);
    reload();
}

HistoryWindow::~HistoryWindow() = default;

QString HistoryWindow::askFileName() {
    return QFileDialog::getSaveFileName(this, Shown(history_texts::ExportTitle.in(m_lang)),
                                        QDir::home().filePath(QStringLiteral("pathtally-days.csv")),
                                        QStringLiteral("CSV (*.csv)"));
}

HistoryWindow* HistoryWindow::instance() {
    return g_instance.data();
}

HistoryWindow* HistoryWindow::showInstance(DayHistory& history, const Clock& clock,
                                           MessageBox& messages, Language lang, QWidget* parent) {
    if (g_instance) {
        g_instance->reload();
    } else {
        g_instance = new HistoryWindow(history, clock, messages, lang, parent);
        g_instance->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance.data();
}

void HistoryWindow::reload() {
    m_tableModel->setDays(m_history.days());
    m_hoursDate = HoursDateOnOpen(m_tableModel->days(), IsoDate(m_clock.now()));
    refreshDayChart();
    refreshHourChart();
    refreshBestDays();
}

void HistoryWindow::setFigure(DayFigure figure) {
    m_figure = figure;
    if (m_figureChoice->currentIndex() != static_cast<int>(figure))
        m_figureChoice->setCurrentIndex(static_cast<int>(figure));
    refreshDayChart();
    refreshHourChart();
}

void HistoryWindow::setRange(int days) {
    m_range = days;
    const int index = static_cast<int>(std::find(std::begin(Ranges), std::end(Ranges), days) -
                                       std::begin(Ranges));
    if (index < 3 && m_rangeChoice->currentIndex() != index) m_rangeChoice->setCurrentIndex(index);
    refreshDayChart();
}

void HistoryWindow::showHoursOf(const std::string& date) {
    m_hoursDate = date;
    refreshHourChart();
}

void HistoryWindow::selectDay(const std::string& date) {
    if (const int row = m_tableModel->rowOf(date); row >= 0) {
        m_table->selectRow(row);
        m_table->scrollTo(m_tableModel->index(row, 0));
    }
    // Also a day the program did not run, whose hours are empty.
    if (m_hoursDate != date) {
        m_table->clearSelection();
        showHoursOf(date);
    }
}

void HistoryWindow::followSaves() {
    std::vector<DayRow> days = m_history.days();
    if (days != m_tableModel->days()) {
        const std::string chosen = m_hoursDate;
        const bool selected = m_table->selectionModel()->hasSelection();
        {
            // The model's reset does not count as choosing a day.
            const QSignalBlocker quiet(m_table->selectionModel());
            m_tableModel->setDays(std::move(days));
        }
        if (const int row = m_tableModel->rowOf(chosen); selected && row >= 0) {
            const QSignalBlocker quiet(m_table->selectionModel());
            m_table->selectRow(row);
        }
        refreshDayChart();
        refreshBestDays();
    }
    if (m_history.hours(m_hoursDate) != m_shownHours) refreshHourChart();
}

void HistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_followTimer->start();
}

void HistoryWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_followTimer->stop();
}

void HistoryWindow::refreshDayChart() {
    m_dayModel->setPoints(LastDays(m_tableModel->days(), IsoDate(m_clock.now()), m_range, m_figure),
                          m_figure);
}

void HistoryWindow::refreshHourChart() {
    m_shownHours = m_history.hours(m_hoursDate);
    m_hourModel->setPoints(DayHours(m_shownHours, m_figure), m_figure);
    const bool none = !HourFigureOf(HourRow{}, m_figure);
    m_hourChart->setEmptyText(none ? Shown(history_texts::NoHoursForUseTime.in(m_lang))
                                   : QString());
    m_hoursLabel->setText(Shown(HoursCaption(m_hoursDate, m_figure, m_lang)));
}

void HistoryWindow::refreshBestDays() {
    for (size_t i = 0; i < std::size(AllDayFigures); ++i)
        m_bestDays[i]->setText(Shown(BestDayText(m_tableModel->days(), AllDayFigures[i], m_lang)));
}

void HistoryWindow::exportCsv() {
    const QString file = askFileName();
    if (file.isEmpty()) return;
    const std::vector<DayRow> days = m_history.days();
    const QString failure = WriteWholeFile(file, HistoryCsv(days));
    if (failure.isEmpty()) {
        m_exportStatus->setText(Shown(
            ExportSavedText(days.size(), QDir::toNativeSeparators(file).toStdString(), m_lang)));
        return;
    }
    m_exportStatus->clear();
    m_messages.show(
        (Shown(history_texts::ExportFailed.in(m_lang)) + file + "\n" + failure).toStdString(),
        std::string(history_texts::ExportTitle.in(m_lang)), MsgButtons::Ok, MsgIcon::Warning,
        MsgDefault::First);
    // The box belonged to this window: it stays in front once the box is closed.
    raise();
    activateWindow();
}

}  // namespace pt
