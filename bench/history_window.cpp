// Opening the day history window over ten years of days kept in a real settings database:
// from the first read of the store to the window painted, and the memory it adds. The
// first open in a fresh process (each time a process of its own, the database opened anew,
// as the program opens it) is set beside the same window over an empty history, in turns.
// Also checks that the web engine stays unloaded. Prints
// "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" lines as the other
// benchmarks do.

#include <QApplication>
#include <QLabel>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/stats/DayAccounting.h"
#include "platform/linux/QtClock.h"
#include "platform/linux/SqliteDayHistory.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "ui/HistoryWindow.h"
#include "ui/QtMessageBox.h"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;
constexpr double BudgetMs = 200.0;
constexpr int Runs = 7;

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// User and system time of the process: on a loaded machine the wall time measures the
// queue for a core as much as the work.
double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

bool WebEngineLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find("WebEngine") != std::string::npos) return true;
    return false;
}

double Median(std::vector<double> values) {
    std::sort(values.begin() + 1, values.end());  // the first open apart
    return values[(values.size() + 1) / 2];
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string line;
    std::getline(in, line);
    return line + "\n";
}

void Result(const char* figure, double value, const char* unit, const char* budget,
            const char* verdict) {
    std::printf("RESULT\t%s\t%.2f\t%s\t%s\t%s\n", figure, value, unit, budget, verdict);
}

// The program has its main window painted (fonts loaded) before anyone opens this one.
void LoadFonts() {
    QLabel warm(QStringLiteral("鼠标今天移动：滑鼠累計點擊次數 0123456789"));
    warm.show();
    warm.grab();
}

// One first open in this process over the database at `path`: prints "OPEN wall cpu days".
int OpenOnce(const char* path) {
    pt::SqliteSettingsStore store{fs::path(path)};
    pt::SqliteDayHistory history(store.database());
    pt::QtClock clock;
    pt::QtMessageBox messages;
    LoadFonts();
    const auto start = Steady::now();
    const double cpuStart = CpuMs();
    auto* window = new pt::HistoryWindow(history, clock, messages, pt::Language::Simplified);
    window->show();
    window->grab();
    QCoreApplication::processEvents();
    const double wall = std::chrono::duration<double, std::milli>(Steady::now() - start).count();
    std::printf("OPEN %.3f %.3f %zu\n", wall, CpuMs() - cpuStart, history.days().size());
    delete window;
    return 0;
}

struct Open {
    double wall = -1, cpu = -1;
    size_t days = 0;
};

// A first open in a process of its own.
Open OpenInChild(const fs::path& database) {
    int out[2];
    if (pipe(out) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/proc/self/exe", "bench_history_window", "--open-once", database.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    waitpid(pid, nullptr, 0);
    Open open;
    const auto at = text.find("OPEN ");
    if (at != std::string::npos)
        std::sscanf(text.c_str() + at, "OPEN %lf %lf %zu", &open.wall, &open.cpu, &open.days);
    return open;
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--open-once") return OpenOnce(argv[2]);

    const fs::path folder =
        fs::temp_directory_path() / ("pt-history-bench-" + std::to_string(getpid()));
    pt::SqliteSettingsStore store(folder / "settings.db");
    pt::SqliteDayHistory history(store.database());
    pt::QtClock clock;
    const std::string today = pt::IsoDate(clock.now());
    {
        pt::SettingsBatch batch(store);
        for (int back = 3652; back >= 0; --back)
            history.add(pt::IsoDateMinusDays(today, back), back % 24,
                        {40000 + back * 13, 900 + back % 97, back % 9, 80 + back % 31,
                         9000 + back % 1000, 20000 + back % 5000});
    }

    // The same window over an empty history: the floor of opening it.
    const fs::path emptyDatabase = folder / "empty.db";
    {
        pt::SqliteSettingsStore empty(emptyDatabase);
        pt::WriteSetting(empty, pt::MainKey, "UpdateCK", "0");
    }
    std::vector<double> tenYears, tenYearsCpu, none, noneCpu;
    size_t daysSeen = 0;
    for (int run = 0; run <= Runs; ++run) {  // the first turn warms the file cache
        const Open full = OpenInChild(folder / "settings.db");
        const Open empty = OpenInChild(emptyDatabase);
        if (full.wall < 0 || empty.wall < 0) {
            std::printf("a first open in a process of its own failed\n");
            break;
        }
        if (run == 0) continue;
        daysSeen = full.days;
        tenYears.push_back(full.wall);
        tenYearsCpu.push_back(full.cpu);
        none.push_back(empty.wall);
        noneCpu.push_back(empty.cpu);
    }
    if (!tenYears.empty()) {
        const double full = MedianOf(tenYears), empty = MedianOf(none);
        std::printf("first opens in fresh processes over %zu days (ms):", daysSeen);
        for (double v : tenYears) std::printf(" %.0f", v);
        std::printf("; over none:");
        for (double v : none) std::printf(" %.0f", v);
        std::printf("\n");
        Result("history window first open in a new process, 10 years (median)", full, "ms", "200",
               full < BudgetMs ? "ok" : "MISSED");
        Result("  processor time", MedianOf(tenYearsCpu), "ms", "", "-");
        Result("  same window over an empty history", empty, "ms", "", "-");
        Result("  processor time", MedianOf(noneCpu), "ms", "", "-");
        Result("  10 years / empty", full / empty, "", "", "-");
        Result("  10 years / empty, processor time", MedianOf(tenYearsCpu) / MedianOf(noneCpu), "",
               "", "-");
    }

    pt::QtMessageBox messages;
    LoadFonts();
    const double residentBefore = ResidentMiB();
    std::vector<double> times, cpuTimes;
    for (int run = 0; run < Runs; ++run) {
        const auto start = Steady::now();
        const double cpuStart = CpuMs();
        auto* window = new pt::HistoryWindow(history, clock, messages, pt::Language::Simplified);
        window->show();
        window->grab();  // every chart and the table painted once
        QCoreApplication::processEvents();
        times.push_back(std::chrono::duration<double, std::milli>(Steady::now() - start).count());
        cpuTimes.push_back(CpuMs() - cpuStart);
        if (run == 0)
            Result("history window resident increase", ResidentMiB() - residentBefore, "MiB", "",
                   "-");
        delete window;
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("history window open over %zu days: first %.1f ms, median %.1f ms, worst %.1f ms\n",
                history.days().size(), first, median, times.back());
    std::printf("processor time: first open %.1f ms, later opens %.1f ms (median); load %s",
                cpuTimes.front(), Median(cpuTimes), LoadAverage().c_str());
    Result("history window first open, 10 years", first, "ms", "200",
           first < BudgetMs ? "ok" : "MISSED");
    Result("history window first open, processor time", cpuTimes.front(), "ms", "200",
           cpuTimes.front() < BudgetMs ? "ok" : "MISSED");
    Result("history window open again, 10 years (median)", median, "ms", "200",
           median < BudgetMs ? "ok" : "MISSED");
    const bool web = WebEngineLoaded();
    Result("history window loads the web engine", web ? 1 : 0, "", "0", web ? "MISSED" : "ok");

    std::error_code ec;
    fs::remove_all(folder, ec);
    return first < BudgetMs && median < BudgetMs && !web ? 0 : 1;
}
