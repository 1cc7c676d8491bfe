// The program at rest, window shown with the home strip, on three displays in one run: the
// X server of the run (xcb), weston (headless back end, pixman renderer) and KWin (virtual
// back end, run from a copy without the installed binary's file capability, on a session
// bus of its own), each through Qt's Wayland plugin. CPU of the program's process and of
// its web-engine helpers, and its resident memory. Prints "RESULT<TAB>figure<TAB>value<TAB>
// unit<TAB>budget<TAB>verdict" lines for bench/run_all.sh.
//   usage: bench_wayland_rest [path of the pathtally executable]

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <optional>

#include "ProgramLocation.h"
#include "core/ports/SettingsStore.h"
#include "platform/linux/SqliteSettingsStore.h"

namespace {

void Result(const QString& figure, double value, const char* unit) {
    std::printf("RESULT\t%s\t%.3g\t%s\t\t-\n", qPrintable(figure), value, unit);
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

QList<QByteArray> StatFields(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = f.readAll();
    return text.mid(text.lastIndexOf(')') + 2).split(' ');
}

// User + system CPU seconds of a process (all its threads).
double CpuSeconds(qint64 pid) {
    const QList<QByteArray> fields = StatFields(pid);
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// The processes whose parent is `pid`, and theirs.
QList<qint64> Descendants(qint64 pid) {
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 child = entry.toLongLong(&ok);
        const QList<QByteArray> fields = ok ? StatFields(child) : QList<QByteArray>{};
        if (fields.size() > 1 && fields[1].toLongLong() == pid)
            found << child << Descendants(child);
    }
    return found;
}

double ResidentMiB(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    return 0;
}

// A Wayland compositor or a bus started for the run, ended with it.
class Child {
public:
    Child(const QString& program, const QStringList& args, const QProcessEnvironment& env,
          const QString& log) {
        m_process.setProcessEnvironment(env);
        m_process.setStandardOutputFile(log);
        m_process.setStandardErrorFile(log, QIODevice::Append);
        m_process.start(program, args);
        m_process.waitForStarted(5000);
    }
    ~Child() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(2000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// The program shown with its home strip (from a port where nothing listens: its text for an
// unreachable site) in a home of its own; `display` is added to the environment.
class Program {
public:
    Program(const QString& path, const QMap<QString, QString>& display) {
        const QString root = m_dir.path();
        for (const char* sub : {"config", "data", "cache", "home", "work"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
        {
            auto store = pt::OpenSettingsStore();
            pt::WriteSetting(*store, pt::MainKey, "SiteRoot", "http://127.0.0.1:9");
            pt::WriteSetting(*store, pt::MainKey, "MinToSystray", "0");
            pt::WriteSetting(*store, pt::MainKey, "UpdateCK", "0");
            pt::WriteSetting(*store, pt::MainKey, "ClosePtNews", "1");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), root + "/home");
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + "/config");
        env.insert(QStringLiteral("XDG_DATA_HOME"), root + "/data");
        env.insert(QStringLiteral("XDG_CACHE_HOME"), root + "/cache");
        for (auto it = display.begin(); it != display.end(); ++it) {
            if (it.value().isEmpty())
                env.remove(it.key());
            else
                env.insert(it.key(), it.value());
        }
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(root + "/work");
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(root + "/program.log");
        m_process.start(path, {});
        m_process.waitForStarted(5000);
    }
    ~Program() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(2000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    qint64 pid() const { return m_process.processId(); }
    QString log() const {
        QFile f(m_dir.path() + "/program.log");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(600)) : QString();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

// Settles, then measures the program at rest and reports it under `where`.
void MeasureAtRest(const QString& program, const QString& where,
                   const QMap<QString, QString>& display) {
    Program shown(program, display);
    Wait(10000);  // the window, the engine and the strip's page settled
    if (!shown.running()) {
        std::printf("  %s: the program ended early: %s\n", qPrintable(where),
                    qPrintable(shown.log()));
        return;
    }
    QList<qint64> helpers = Descendants(shown.pid());
    double helpers0 = 0;
    for (qint64 pid : helpers) helpers0 += CpuSeconds(pid);
    const double cpu0 = CpuSeconds(shown.pid());
    QElapsedTimer wall;
    wall.start();
    Wait(10000);
    const double seconds = wall.elapsed() / 1000.0;
    double helpers1 = 0;
    for (qint64 pid : helpers) helpers1 += CpuSeconds(pid);
    Result("program CPU at rest, " + where, (CpuSeconds(shown.pid()) - cpu0) / seconds * 100,
           "% of a core");
    Result("  its web-engine helpers (" + QString::number(helpers.size()) + ")",
           (helpers1 - helpers0) / seconds * 100, "% of a core");
    Result("  resident memory", ResidentMiB(shown.pid()), "MiB");
}

// Waits for a Wayland socket in the runtime folder; false when the compositor has ended.
bool WaitForSocket(Child& compositor, const QString& socket) {
    const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/" + socket;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000 && compositor.running()) {
        if (QFileInfo(path).exists()) return true;
        Wait(50);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString program = bench::ProgramToMeasure(argc, argv);
    if (program.isEmpty() || qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        std::fprintf(stderr, "needs the pathtally executable and XDG_RUNTIME_DIR\n");
        return 2;
    }
    QTemporaryDir scratch;
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString pid = QString::number(QCoreApplication::applicationPid());

    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        MeasureAtRest(program, QStringLiteral("Xvfb (xcb)"),
                      {{"QT_QPA_PLATFORM", "xcb"}, {"XDG_SESSION_TYPE", "x11"}});

    const QMap<QString, QString> wayland{
        {"QT_QPA_PLATFORM", "wayland"}, {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ""}};
    {
        const QString socket = "pathtally-bench-weston-" + pid;
        Child weston(QStringLiteral("weston"),
                     {"--backend=headless-backend.so", "--use-pixman", "--width=1280",
                      "--height=1024", "--idle-time=0", "--socket=" + socket},
                     env, scratch.filePath("weston.log"));
        if (WaitForSocket(weston, socket)) {
            auto display = wayland;
            display["WAYLAND_DISPLAY"] = socket;
            MeasureAtRest(program, QStringLiteral("weston (headless, Wayland plugin)"), display);
        } else {
            std::printf("  weston did not start (see %s)\n",
                        qPrintable(scratch.filePath("weston.log")));
        }
    }
    {
        // KWin on a bus of its own, so that the program finds it and loads its script.
        Child bus(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"},
                  env, scratch.filePath("bus"));
        QString address;
        for (int i = 0; i < 100 && address.isEmpty(); ++i) {
            Wait(50);
            QFile f(scratch.filePath("bus"));
            if (f.open(QIODevice::ReadOnly)) address = QString::fromUtf8(f.readLine()).trimmed();
        }
        const QString copy = scratch.filePath("kwin_wayland");
        QFile::copy(QStringLiteral("/usr/bin/kwin_wayland"), copy);  // without the capability
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
        QProcessEnvironment kwinEnv = env;
        kwinEnv.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        const QString socket = "pathtally-bench-kwin-" + pid;
        Child kwin(copy,
                   {"--virtual", "--socket", socket, "--width", "1280", "--height", "1024",
                    "--no-lockscreen", "--no-global-shortcuts"},
                   kwinEnv, scratch.filePath("kwin.log"));
        if (!address.isEmpty() && WaitForSocket(kwin, socket)) {
            Wait(3000);  // its scripting set up
            auto display = wayland;
            display["WAYLAND_DISPLAY"] = socket;
            display["DBUS_SESSION_BUS_ADDRESS"] = address;
            MeasureAtRest(program, QStringLiteral("KWin (virtual, Wayland plugin)"), display);
        } else {
            std::printf("  KWin did not start (see %s)\n",
                        qPrintable(scratch.filePath("kwin.log")));
        }
    }
    return 0;
}
