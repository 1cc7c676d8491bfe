// The memory the history window's charts cost, drawn two ways: the program's own bars
// painted with QPainter, and Qt Charts. Each way runs in a process of its own (a library
// once loaded stays), showing a chart of 365 days and one of 24 hours; the figure is the
// resident memory it adds to an application that has already painted a window. Prints
// "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" lines as the other
// benchmarks do. Without Qt Charts at build time only the painted bars are measured.

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProcess>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/stats/DayAccounting.h"
#include "ui/BarChart.h"
#include "ui/ChartModel.h"

#ifdef PT_HAVE_QT_CHARTS
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QValueAxis>
#endif

namespace {

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

std::vector<pt::ChartPoint> Points(int count) {
    std::vector<pt::ChartPoint> points;
    std::string date = "2026-12-08";
    for (int i = 0; i < count; ++i, date = pt::IsoDateMinusDays(date, 1))
        points.insert(points.begin(), {count == 24 ? std::to_string(count - 1 - i) : date,
                                       40000 + (i * 7919) % 30000});
    return points;
}

#ifdef PT_HAVE_QT_CHARTS
QWidget* ChartsChart(const std::vector<pt::ChartPoint>& points) {
    auto* set = new QBarSet(QStringLiteral("figure"));
    QStringList labels;
    for (const auto& p : points) {
        *set << static_cast<double>(p.value.value_or(0));
        labels << QString::fromStdString(p.label);
    }
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    chart->legend()->hide();
    return new QChartView(chart);
}
#endif

// Shows both charts the chosen way and prints the resident memory they added.
int Measure(const QString& way) {
    {
        QLabel warm(QStringLiteral("鼠标今天移动 0123456789"));
        warm.show();
        warm.grab();
    }
    const double before = ResidentMiB();
    auto window = std::make_unique<QWidget>();
    auto* layout = new QHBoxLayout(window.get());
    std::vector<std::unique_ptr<pt::ChartModel>> models;
    for (int count : {365, 24}) {
        if (way == QLatin1String("painter")) {
            models.push_back(std::make_unique<pt::ChartModel>());
            models.back()->setPoints(Points(count), pt::DayFigure::Travel);
            layout->addWidget(new pt::BarChart(*models.back()));
        } else {
#ifdef PT_HAVE_QT_CHARTS
            layout->addWidget(ChartsChart(Points(count)));
#else
            return 2;
#endif
        }
    }
    window->resize(820, 300);
    window->show();
    window->grab();
    QCoreApplication::processEvents();
    std::printf("%.2f\n", ResidentMiB() - before);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2) {
        QApplication app(argc, argv);
        return Measure(QString::fromLocal8Bit(argv[1]));
    }
    QCoreApplication app(argc, argv);
    auto run = [](const QString& way) {
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(), {way});
        process.waitForFinished(120000);
        bool ok = false;
        const double mib = process.readAllStandardOutput().trimmed().toDouble(&ok);
        return ok && process.exitCode() == 0 ? mib : -1.0;
    };
    const double painter = run(QStringLiteral("painter"));
    std::printf("RESULT\tcharts drawn with QPainter, resident increase\t%.2f\tMiB\t\t-\n", painter);
#ifdef PT_HAVE_QT_CHARTS
    const double charts = run(QStringLiteral("charts"));
    std::printf("RESULT\tcharts drawn with Qt Charts, resident increase\t%.2f\tMiB\t\t-\n", charts);
    if (painter > 0 && charts > 0)
        std::printf("Qt Charts / QPainter: %.1f times the memory\n", charts / painter);
#endif
    return painter < 0 ? 1 : 0;
}
