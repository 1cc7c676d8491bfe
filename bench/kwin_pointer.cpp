// What the pointer position costs on KDE Plasma (Wayland): the D-Bus calls the KWin script
// makes for a mouse reporting at 1000 Hz, and the program's CPU time per report received.
// A private dbus-daemon; a minimal stand-in for KWin's scripting interface (loadScript,
// unloadScript, start); the written script run in a script engine set up as KWin sets up
// its own; for the CPU figure the reports come from another process (python3-dbus), so
// only the receiving side is measured.
// Prints "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" lines.

#include <sys/resource.h>
#include <time.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QJSEngine>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "platform/linux/KWinPointerPosition.h"

namespace {

void Result(const std::string& figure, double value, const char* unit, const char* budget = "",
            int verdict = -1) {
    std::printf("RESULT\t%s\t%.5g\t%s\t%s\t%s\n", figure.c_str(), value, unit, budget,
                verdict < 0 ? "-"
                : verdict   ? "ok"
                            : "MISSED");
    std::fflush(stdout);
}

// Sleeps in the event loop (woken by events, and by a timer every 20 ms to look again)
// until `done` holds.
bool SpinUntil(const std::function<bool()>& done, int limitMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(20);
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// KWin's scripting interface, as far as the program uses it.
class ScriptingStandIn : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QDBusMessage reply = message.createReply();
        if (message.member() == QLatin1String("loadScript"))
            reply = message.createReply(QVariant(1));
        else if (message.member() == QLatin1String("unloadScript"))
            reply = message.createReply(QVariant(false));
        connection.send(reply);
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
};

}  // namespace

class ScriptedWorkspace : public QObject {
    Q_OBJECT
    Q_PROPERTY(QPoint cursorPos READ cursorPos NOTIFY cursorPosChanged)
public:
    QPoint cursorPos() const { return m_pos; }
    void moveTo(QPoint pos) {
        m_pos = pos;
        emit cursorPosChanged();
    }
signals:
    void cursorPosChanged();

private:
    QPoint m_pos{0, 0};
};

class ScriptTimer : public QTimer {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ScriptTimer(QObject* parent = nullptr) : QTimer(parent) {}
};

class ScriptGlobals : public QObject {
    Q_OBJECT
public:
    explicit ScriptGlobals(QDBusConnection bus) : m_bus(std::move(bus)) {}
    Q_INVOKABLE void callDBus(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QJSValue& x = {},
                              const QJSValue& y = {}) {
        auto message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments({x.toVariant(), y.toVariant()});
        m_bus.asyncCall(message);
        ++calls;
    }
    int calls = 0;

private:
    QDBusConnection m_bus;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000)) {
        std::printf("no dbus-daemon\n");
        return 1;
    }
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QDBusConnection kwin = QDBusConnection::connectToBus(address, QStringLiteral("kwin"));
    ScriptingStandIn scripting;
    if (!kwin.registerService(QStringLiteral("org.kde.KWin")) ||
        !kwin.registerVirtualObject(QStringLiteral("/Scripting"), &scripting)) {
        std::printf("the KWin stand-in could not be set up\n");
        return 1;
    }
    QTemporaryDir folder;
    pt::KWinPointerPosition::Options options;
    options.scriptFolder = folder.path();
    QDBusConnection subjectBus = QDBusConnection::connectToBus(address, QStringLiteral("subject"));
    int status = 0;
    {
        pt::KWinPointerPosition position(subjectBus, options);
        if (!SpinUntil([&] { return position.settled(); }) || !position.scriptRunning()) {
            std::printf("the script was not run\n");
            return 1;
        }

        // The script under a mouse reporting at 1000 Hz for two seconds.
        QFile file(position.scriptPath());
        file.open(QIODevice::ReadOnly);
        QJSEngine engine;
        ScriptedWorkspace workspace;
        ScriptGlobals globals(kwin);
        engine.globalObject().setProperty(QStringLiteral("workspace"),
                                          engine.newQObject(&workspace));
        engine.globalObject().setProperty(QStringLiteral("QTimer"),
                                          engine.newQMetaObject(&ScriptTimer::staticMetaObject));
        engine.globalObject().setProperty(
            QStringLiteral("callDBus"),
            engine.newQObject(&globals).property(QStringLiteral("callDBus")));
        engine.evaluate(QString::fromUtf8(file.readAll()));
        using Clock = std::chrono::steady_clock;
        const auto begin = Clock::now();
        int moves = 0;
        while (Clock::now() - begin < std::chrono::seconds(2)) {
            ++moves;
            workspace.moveTo({moves % 1920, moves / 4});
            QCoreApplication::processEvents();
            std::this_thread::sleep_until(begin + std::chrono::milliseconds(moves));
        }
        const pt::PointerPosition::Point last{moves % 1920, moves / 4};
        const bool arrived = SpinUntil([&] { return position.current() == last; });
        std::printf("%d motion events in 2 s, %d D-Bus calls, last position %s\n", moves,
                    globals.calls, arrived ? "arrived" : "MISSING");
        Result("script calls per 2 s of 1000 Hz motion", globals.calls, "calls", "<= 25",
               arrived && globals.calls <= 25);
        Result("script calls per motion event", double(globals.calls) / moves, "ratio");
        status |= !arrived || globals.calls > 25;

        // The receiving side: reports from another process, one after the other.
        constexpr int kReports = 2000;
        const std::uint64_t before = position.reports();
        QProcess sender;
        sender.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import dbus, sys\n"
                            "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                            "o = bus.get_object(sys.argv[2], '/net/pathtally/Pointer', "
                            "introspect=False)\n"
                            "f = o.get_dbus_method('Position', 'net.pathtally.Pointer')\n"
                            "for i in range(int(sys.argv[3])): f(dbus.Int32(i), dbus.Int32(i))\n"),
             address, subjectBus.baseService(), QString::number(kReports)});
        SpinUntil([&] { return position.reports() > before; });
        const double cpuBefore = ProcessCpuSeconds();
        const double threadBefore = ThreadCpuSeconds();
        const std::uint64_t counted = position.reports();
        const bool all = SpinUntil([&] { return position.reports() >= before + kReports; }, 60000);
        const double perReport =
            (ProcessCpuSeconds() - cpuBefore) / double(position.reports() - counted) * 1e6;
        const double threadPerReport =
            (ThreadCpuSeconds() - threadBefore) / double(position.reports() - counted) * 1e6;
        sender.waitForFinished(10000);
        Result("program CPU per report, UI thread", threadPerReport, "us");
        if (!all)
            std::printf("only %llu reports arrived\n",
                        static_cast<unsigned long long>(position.reports() - before));
        Result("program CPU per report", perReport, "us");
        // At most ten reports a second while the pointer moves.
        // At most ten reports a second while the pointer moves, none while it rests.
        const double share = perReport * 10 / 1e6 * 100;
        Result("program CPU for the reports while the pointer moves", share, "% of a core",
               "<= 0.5", all && share <= 0.5);
        status |= !all;
    }
    daemon.kill();
    daemon.waitForFinished(2000);
    return status;
}

#include "kwin_pointer.moc"
