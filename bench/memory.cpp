// Resident memory of the real program: started hidden in the tray (the web engine must not
// be loaded: budget 40 MB) and shown with the home strip loaded from a local site. Needs an
// X server (bench/run_all.sh starts one); a tray is provided with `trayer` when installed.
// Prints "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>verdict" lines.
//   usage: bench_memory [path of the pathtally executable]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "platform/linux/SqliteSettingsStore.h"

namespace {

constexpr long BudgetHiddenKb = 40 * 1024;

// The product website on 127.0.0.1: every path answers with a small page titled by it.
class Site {
public:
    Site() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->peek(16384).contains("\r\n\r\n")) return;
                    const QByteArray head = s->readAll();
                    const QByteArray path = head.split(' ').value(1);
                    if (!path.startsWith("/favicon")) m_paths << QString::fromUtf8(path);
                    const QByteArray body = "<html><head><title>" + path + "</title></head><body>" +
                                            path + "</body></html>";
                    s->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
                        "Content-Length: " +
                        QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString root() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    const QStringList& requests() const { return m_paths; }
    void clear() { m_paths.clear(); }

private:
    QTcpServer m_server;
    QStringList m_paths;
};

void Wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

long StatusKb(qint64 pid, const char* field) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toLong();
    return -1;
}

bool EngineMapped(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/maps").arg(pid));
    return f.open(QIODevice::ReadOnly) && f.readAll().contains("libQt6WebEngineCore");
}

// Resident set of the web engine's helper processes started by the program.
long ChildrenKb(qint64 pid) {
    long total = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 child = entry.toLongLong(&numeric);
        if (!numeric) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == pid) total += StatusKb(child, "VmRSS:");
    }
    return total;
}

void Result(const char* figure, long value, const char* unit, const QString& budget,
            const char* verdict) {
    std::printf("RESULT\t%s\t%ld\t%s\t%s\t%s\n", figure, value, unit, qPrintable(budget), verdict);
    std::fflush(stdout);
}

struct Run {
    long rssKb = -1, childrenKb = 0;
    bool engine = false;
    QStringList requests;
};

// Starts the program with its own settings and folders, lets it settle, measures, stops it.
Run Measure(const QString& program, Site& site, bool hidden, int settleMs) {
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char* sub : {"config", "data", "cache", "run", "home", "work"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    {
        auto store = pt::OpenSettingsStore();
        pt::WriteSetting(*store, pt::MainKey, "SiteRoot", site.root().toStdString());
        pt::WriteSetting(*store, pt::MainKey, "MinToSystray", hidden ? "1" : "0");
        pt::WriteSetting(*store, pt::MainKey, "UpdateCK", "0");  // the home strip alone
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root + "/home");
    env.insert("XDG_CONFIG_HOME", root + "/config");
    env.insert("XDG_DATA_HOME", root + "/data");
    env.insert("XDG_CACHE_HOME", root + "/cache");
    env.insert("XDG_RUNTIME_DIR", root + "/run");
    QProcess app;
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(root + "/work");
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    site.clear();
    app.start(program, {});
    Run run;
    if (!app.waitForStarted(5000)) return run;
    Wait(settleMs);
    run.rssKb = StatusKb(app.processId(), "VmRSS:");
    run.childrenKb = ChildrenKb(app.processId());
    run.engine = EngineMapped(app.processId());
    run.requests = site.requests();
    app.terminate();  // SIGTERM: the program saves and ends
    if (!app.waitForFinished(10000)) app.kill();
    app.waitForFinished(2000);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (program.isEmpty()) {
        const QDir here = QFileInfo(QCoreApplication::applicationFilePath()).dir();
        for (const QString& candidate : {here.filePath("pathtally"), here.filePath("../pathtally")})
            if (QFileInfo(candidate).isExecutable())
                program = QFileInfo(candidate).canonicalFilePath();
    }
    if (program.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs the pathtally executable and an X server\n");
        return 2;
    }
    Site site;

    // A tray, so that "start hidden in the tray" really starts hidden.
    QProcess tray;
    tray.start(QStringLiteral("trayer"), {"--edge", "bottom", "--widthtype", "request"});
    const bool haveTray = tray.waitForStarted(3000);
    Wait(1500);
    if (!haveTray) std::printf("no trayer: the hidden start shows the window (no tray)\n");

    const Run hidden = Measure(program, site, true, 8000);
    const bool hiddenOk = hidden.rssKb > 0 && hidden.rssKb < BudgetHiddenKb && !hidden.engine &&
                          hidden.requests.isEmpty();
    Result("rss_started_hidden", hidden.rssKb, "kB", QStringLiteral("<%1").arg(BudgetHiddenKb),
           haveTray ? (hiddenOk ? "ok" : "MISSED") : "-");
    std::printf("hidden: web engine %s, site requests: [%s]\n",
                hidden.engine ? "LOADED" : "not loaded", qPrintable(hidden.requests.join(", ")));

    const Run shown = Measure(program, site, false, 12000);
    Result("rss_shown_home_strip", shown.rssKb, "kB", QString(), "-");
    Result("rss_engine_helpers", shown.childrenKb, "kB", QString(), "-");
    std::printf("shown: web engine %s, site requests: [%s]\n",
                shown.engine ? "loaded" : "NOT loaded", qPrintable(shown.requests.join(", ")));

    if (haveTray) {
        tray.terminate();
        tray.waitForFinished(3000);
    }
    return 0;
}
