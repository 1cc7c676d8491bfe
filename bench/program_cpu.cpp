// CPU of the whole program (all its threads, sampler included) on a real X server with the
// window shown and the pointer moving along a circle (budget 5 % of a core), with and
// without the embedded pages, and the busiest threads. (Hidden at rest: program_footprint.)
// Prints "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" lines.
//   usage: bench_program_cpu [path of the pathtally executable]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

#include "ProgramLocation.h"
#include "RecordListener.h"
#include "core/ports/SettingsStore.h"
#include "platform/linux/SqliteSettingsStore.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using Clock = std::chrono::steady_clock;

void Result(const char* figure, double value, const char* unit, const char* budget, int verdict) {
    std::printf("RESULT\t%s\t%.3g\t%s\t%s\t%s\n", figure, value, unit, budget,
                verdict < 0 ? "-"
                : verdict   ? "ok"
                            : "MISSED");
    std::fflush(stdout);
}

void Wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

// The fields of /proc/<pid>/stat after the command (state first), or none.
QList<QByteArray> StatFields(const QString& pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = f.readAll();
    return text.mid(text.lastIndexOf(')') + 2).split(' ');
}

// User + system CPU seconds of a process, all threads.
double CpuSeconds(qint64 pid) {
    const QList<QByteArray> fields = StatFields(QString::number(pid));
    if (fields.size() < 13) return -1;
    // After the command: state is field 3, utime 14 and stime 15 (1-based over the line).
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds of each living descendant of a process (the web engine's renderer, GPU and
// utility processes), by pid.
std::map<qint64, double> DescendantCpu(qint64 pid) {
    std::map<qint64, qint64> parentOf;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number) continue;
        const QList<QByteArray> fields = StatFields(entry);
        if (fields.size() > 1) parentOf[child] = fields[1].toLongLong();
    }
    std::map<qint64, double> cpu;
    for (const auto& [child, parent] : parentOf) {
        for (qint64 up = parent; up > 1; up = parentOf.count(up) ? parentOf[up] : 0)
            if (up == pid) {
                cpu[child] = CpuSeconds(child);
                break;
            }
    }
    return cpu;
}

// The pointer along a circle of radius 200 px, one turn a second, a position every ms, in
// the right half of the screen (over the desktop, not over the program's window).
void Circle(Display* d, double seconds) {
    const int cx = DisplayWidth(d, DefaultScreen(d)) - 250;
    const int cy = DisplayHeight(d, DefaultScreen(d)) / 2;
    const auto start = Clock::now();
    auto next = start;
    for (;;) {
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        if (t > seconds) break;
        XTestFakeMotionEvent(d, -1, cx + static_cast<int>(std::lround(200 * std::cos(6.2832 * t))),
                             cy + static_cast<int>(std::lround(200 * std::sin(6.2832 * t))),
                             CurrentTime);
        XFlush(d);
        next += std::chrono::milliseconds(1);
        std::this_thread::sleep_until(next);
    }
    XSync(d, False);
}

// The pointer along a circle of radius `r` around (cx, cy), one turn a second, a position
// every ms.
void CircleAround(Display* d, int cx, int cy, int r, double seconds) {
    const auto start = Clock::now();
    auto next = start;
    for (;;) {
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        if (t > seconds) break;
        XTestFakeMotionEvent(d, -1, cx + static_cast<int>(std::lround(r * std::cos(6.2832 * t))),
                             cy + static_cast<int>(std::lround(r * std::sin(6.2832 * t))),
                             CurrentTime);
        XFlush(d);
        next += std::chrono::milliseconds(1);
        std::this_thread::sleep_until(next);
    }
    XSync(d, False);
}

// The outer rectangle of the visible top-level window of process `pid`, or an empty one.
QRect WindowOf(qint64 pid) {
    QProcess search;
    search.start(
        QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
         QString::number(pid), QStringLiteral("--name"), QStringLiteral("."),
         QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QStringLiteral("%@")});
    search.waitForFinished(10000);
    QRect rect;
    int x = 0, y = 0, w = 0, h = 0;
    for (const QByteArray& line : search.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> kv = line.split('=');
        if (kv.size() != 2) continue;
        const int v = kv[1].toInt();
        if (kv[0] == "X") x = v;
        if (kv[0] == "Y") y = v;
        if (kv[0] == "WIDTH") w = v;
        if (kv[0] == "HEIGHT") h = v;
        // The largest window is the main one (a tray icon's window may come first).
        if (kv[0] == "SCREEN" && w * h > rect.width() * rect.height()) rect = QRect(x, y, w, h);
    }
    return rect;
}

// CPU seconds of each thread of a process, by thread id, with the thread's name.
std::map<QString, std::pair<QString, double>> ThreadCpu(qint64 pid) {
    std::map<QString, std::pair<QString, double>> threads;
    const QString dir = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(dir + "/" + tid + "/stat");
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = f.readAll();
        const QString name = QString::fromUtf8(
            text.mid(text.indexOf('(') + 1, text.lastIndexOf(')') - text.indexOf('(') - 1));
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13) continue;
        threads[tid] = {name, (fields[11].toDouble() + fields[12].toDouble()) /
                                  static_cast<double>(sysconf(_SC_CLK_TCK))};
    }
    return threads;
}

class Program {
public:
    Program(const QString& path, bool pages) {
        const QString root = m_dir.path();
        for (const char* sub : {"config", "data", "cache", "run", "home", "work"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(root + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
        {
            auto store = pt::OpenSettingsStore();
            // Pages come from a port where nothing listens: no network, no waiting.
            pt::WriteSetting(*store, pt::MainKey, "SiteRoot", "http://127.0.0.1:9");
            pt::WriteSetting(*store, pt::MainKey, "MinToSystray", "0");
            pt::WriteSetting(*store, pt::MainKey, "UpdateCK", "0");
            if (!pages) {
                pt::WriteSetting(*store, pt::MainKey, "ClosePtHome", "1");
                pt::WriteSetting(*store, pt::MainKey, "ClosePtNews", "1");
            }
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root + "/home");
        env.insert("XDG_CONFIG_HOME", root + "/config");
        env.insert("XDG_DATA_HOME", root + "/data");
        env.insert("XDG_CACHE_HOME", root + "/cache");
        env.insert("XDG_RUNTIME_DIR", root + "/run");
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(root + "/work");
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(path, {});
        m_process.waitForStarted(5000);
    }
    ~Program() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(2000);
    }
    qint64 pid() const { return m_process.processId(); }

    // CPU % of one core over a stretch of wall time during which `during` runs; the
    // busiest threads are listed.
    // The processes the program started (the web engine's) count with it; their share is
    // printed.
    template <typename During>
    double cpuPercent(During during) {
        const double cpu0 = CpuSeconds(pid());
        const auto children0 = DescendantCpu(pid());
        const auto threads0 = ThreadCpu(pid());
        const auto t0 = Clock::now();
        during();
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        double children = 0;
        for (const auto& [child, seconds] : DescendantCpu(pid())) {
            const auto before = children0.find(child);
            children += seconds - (before == children0.end() ? 0 : before->second);
        }
        children = children / wall * 100;
        const double cpu = (CpuSeconds(pid()) - cpu0) / wall * 100 + children;
        if (children > 0) std::printf("  its child processes    %6.2f %% of a core\n", children);
        std::vector<std::pair<double, QString>> busiest;
        for (const auto& [tid, thread] : ThreadCpu(pid())) {
            const auto before = threads0.find(tid);
            const double used =
                thread.second - (before == threads0.end() ? 0 : before->second.second);
            if (used > 0) busiest.push_back({used / wall * 100, thread.first});
        }
        std::sort(busiest.rbegin(), busiest.rend());
        if (busiest.size() > 4) busiest.resize(4);
        for (const auto& [percent, name] : busiest)
            std::printf("  thread %-16s %6.2f %% of a core\n", qPrintable(name), percent);
        return cpu;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const QString program = bench::ProgramToMeasure(argc, argv);
    Display* d = XOpenDisplay(nullptr);
    if (program.isEmpty() || !d) {
        std::fprintf(stderr, "needs the pathtally executable and an X server\n");
        return 2;
    }

    XTestFakeMotionEvent(d, -1, 100, 100, CurrentTime);
    XSync(d, False);
    // PT_BENCH_OVER_WINDOW=1: only the pointer over the window, beside the floor.
    if (!qEnvironmentVariableIsSet("PT_BENCH_OVER_WINDOW")) {
        {
            Program shown(program, true);
            Wait(8000);  // window and its pages settled
            const double resting = shown.cpuPercent([] { Wait(5000); });
            Result("program CPU, window shown, pointer resting", resting, "% of a core", "", -1);
            bench::ListenerProcess listener;
            const double listener0 = CpuSeconds(listener.pid());
            const auto t0 = Clock::now();
            const double moving = shown.cpuPercent([&] { Circle(d, 5); });
            const double listened = (CpuSeconds(listener.pid()) - listener0) /
                                    std::chrono::duration<double>(Clock::now() - t0).count() * 100;
            Result("program CPU, window shown, pointer moving", moving, "% of a core", "< 5",
                   moving < 5);
            Result("  RECORD listener, same path", listened, "% of a core", "", -1);
            if (listened > 0) Result("  program / listener", moving / listened, "", "", -1);
        }
        {
            // The same without the embedded pages: what the web engine adds to every repaint.
            Program plain(program, false);
            Wait(5000);
            const double moving = plain.cpuPercent([&] { Circle(d, 5); });
            Result("program CPU, window shown without web pages, pointer moving", moving,
                   "% of a core", "", -1);
        }
    }
    // The pointer moving over the shown window, beside the floor the toolkit sets: an
    // empty QMainWindow of the same size under the same motion (bench/baseline). The three
    // take turns, round after round, so that a change in the machine's load falls on all.
    const QString baseline = QFileInfo(program).dir().filePath("bench/empty_main_window");
    if (!QFileInfo(baseline).isExecutable()) {
        std::printf("  no %s: no floor\n", qPrintable(baseline));
        XCloseDisplay(d);
        return 0;
    }
    struct Case {
        const char* name;
        QString path;
        bool pages;
        std::vector<double> percent;
    };
    std::vector<Case> cases{{"empty QMainWindow", baseline, false, {}},
                            {"program, pages off", program, false, {}},
                            {"program, home strip", program, true, {}}};
    const int rounds = qEnvironmentVariableIsSet("PT_BENCH_ROUNDS")
                           ? std::max(1, qEnvironmentVariableIntValue("PT_BENCH_ROUNDS"))
                           : 3;
    for (int round = 0; round < rounds; ++round) {
        for (Case& c : cases) {
            Program shown(c.path, c.pages);
            Wait(c.pages ? 8000 : 4000);
            const QRect window = WindowOf(shown.pid());
            if (window.isEmpty()) {
                std::printf("  %s: no window found\n", c.name);
                continue;
            }
            const int radius = std::min(window.width(), window.height()) / 2 - 30;
            std::printf("round %d, %s:\n", round + 1, c.name);
            c.percent.push_back(shown.cpuPercent(
                [&] { CircleAround(d, window.center().x(), window.center().y(), radius, 10); }));
        }
        const auto& floor = cases[0].percent;
        if (floor.size() != size_t(round + 1)) continue;
        for (size_t k = 1; k < cases.size(); ++k)
            if (cases[k].percent.size() == size_t(round + 1))
                std::printf("round %d: %s / empty QMainWindow = %.2f\n", round + 1, cases[k].name,
                            cases[k].percent.back() / floor.back());
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty()      ? 0.0
               : v.size() % 2 ? v[v.size() / 2]
                              : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    const double floor = median(cases[0].percent);
    for (const Case& c : cases) {
        const std::string figure = std::string("CPU, pointer moving over the window: ") + c.name;
        Result(figure.c_str(), median(c.percent), "% of a core", "", -1);
        if (&c == &cases[0] || floor <= 0) continue;
        const std::string ratio = std::string("  ") + c.name + " / empty QMainWindow";
        const double r = median(c.percent) / floor;
        Result(ratio.c_str(), r, "", c.pages ? "<= 1.3" : "", c.pages ? r <= 1.3 : -1);
    }
    XCloseDisplay(d);
    return 0;
}
