// The real main window on a real Wayland compositor: weston (headless, drawing with pixman)
// through Qt's Wayland plugin. What the compositor shows is read back with its screenshooter
// and compared with what the window paints, so a figure that is set but never reaches the
// screen fails here.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <optional>

#include "core/form/MainControls.h"
#include "core/ports/PlatformServices.h"
#include "platform/linux/KWinPointerPosition.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "support/DBusMockBus.h"
#include "support/FakeServices.h"
#include "support/ProgramProcess.h"
#include "support/QtTestApp.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "ui/FormBinder.h"
#include "ui/MainWindow.h"
#include "ui/WebView.h"
#include "web/LocalSite.h"

namespace pt {
namespace {

using namespace main_controls;
namespace fs = std::filesystem;

#define SKIP_WITHOUT_WESTON()                                                              \
    if (const QString why = qEnvironmentVariable("PT_WESTON_UNAVAILABLE"); !why.isEmpty()) \
    GTEST_SKIP() << why.toStdString()

// What weston shows on its output now, or a null image.
QImage Screenshot() {
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0) return {};
    const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")});
    return shots.isEmpty()
               ? QImage()
               : QImage(folder.filePath(shots.first())).convertToFormat(QImage::Format_RGB32);
}

bool SameAt(const QImage& screen, const QImage& part, QPoint at) {
    if (!QRect(QPoint(0, 0), screen.size()).contains(QRect(at, part.size()))) return false;
    for (int y = 0; y < part.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(part.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(screen.constScanLine(at.y() + y)) + at.x();
        for (int x = 0; x < part.width(); ++x)
            if ((a[x] & 0xffffff) != (b[x] & 0xffffff)) return false;
    }
    return true;
}

// Where `part` appears in `screen` exactly, if it does.
std::optional<QPoint> Find(const QImage& screen, const QImage& part) {
    // First the part's most telling pixel (one unlike its top-left corner), then all.
    QPoint telling(0, 0);
    for (int y = 0; y < part.height() && telling.isNull(); ++y)
        for (int x = 0; x < part.width(); ++x)
            if (part.pixel(x, y) != part.pixel(0, 0)) {
                telling = {x, y};
                break;
            }
    const QRgb want = part.pixel(telling) & 0xffffff;
    for (int y = 0; y + part.height() <= screen.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(screen.constScanLine(y + telling.y()));
        for (int x = 0; x + part.width() <= screen.width(); ++x)
            if ((row[x + telling.x()] & 0xffffff) == want && SameAt(screen, part, {x, y}))
                return QPoint(x, y);
    }
    return std::nullopt;
}

QString Name(ControlId id) {
    return ObjectName(id);
}

class WaylandWindowTest : public ::testing::Test, protected test::FakeServices {
protected:
    void SetUp() override {
        SKIP_WITHOUT_WESTON();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
        ASSERT_TRUE(bus.ready()) << "no private dbus-daemon";
        system.folder = dir.path().string();
        system.exe = (dir / "pathtally").string();
        WriteSetting(store, MainKey, "ClosePtNews", "1");
        WriteSetting(store, MainKey, "UpdateCK", "0");
        WriteSetting(store, MainKey, "SiteRoot", site.root().toStdString());
        site.setPage(QStringLiteral("/pt/h1/"), QStringLiteral("Home strip"),
                     QStringLiteral("#20c040"));
    }
    void TearDown() override {
        window.reset();  // before the platform's sources it uses
        counted.reset();
        platform.reset();
    }

    // A KWin on the session bus that takes the position script (its object at /<id>, as
    // KWin 5.27 puts it).
    void startKWin() {
        const QString kwin = QStringLiteral("org.kde.KWin"),
                      scripting = QStringLiteral("/Scripting");
        const QString iface = QStringLiteral("org.kde.kwin.Scripting");
        ASSERT_TRUE(bus.startMock({QStringLiteral("--session"), kwin, scripting, iface}, kwin));
        const auto add = [&](const QString& name, const QString& in, const QString& out,
                             const QString& code) {
            ASSERT_EQ(bus.control(kwin, scripting, QStringLiteral("AddMethod"),
                                  {iface, name, in, out, code})
                          .type(),
                      QDBusMessage::ReplyMessage);
        };
        add(QStringLiteral("loadScript"), QStringLiteral("ss"), QStringLiteral("i"),
            QStringLiteral("self.AddObject('/3', 'org.kde.kwin.Script', {}, "
                           "[('run', '', '', '')])\nret = 3"));
        add(QStringLiteral("unloadScript"), QStringLiteral("s"), QStringLiteral("b"),
            QStringLiteral("ret = False"));
    }

    // The main window with the input sources of a Wayland session (libinput, the position
    // from KWin where it runs) and the real clock.
    MainWindow& open() {
        test::ScopedEnv forced("PATHTALLY_INPUT", nullptr);
        platform = CreatePlatformServices();
        EXPECT_EQ(platform->inputBackend().name, "libinput") << platform->inputBackend().reason;
        MainServices parts{store,
                           platform->clock(),
                           numbers,
                           system,
                           messages,
                           shell,
                           autostart,
                           platform->cursor(),
                           platform->input(),
                           power,
                           (dir / "PTDATA.CVD").string()};
        parts.inputAccess = &platform->inputAccess();
        counted = std::make_unique<MainParts>(parts.input, parts.history, parts.clock);
        window = std::make_unique<MainWindow>(parts, *counted);
        window->secondTickMs = 250;
        window->start();
        window->showAtStart();
        EXPECT_TRUE(test::QtWaitUntil(
            [&] { return window->windowHandle() && window->windowHandle()->isExposed(); }));
        return *window;
    }

    QLabel* label(ControlId id) { return window->findChild<QLabel*>(Name(id)); }
    QRect rectOf(const QWidget* w) const {
        return {w->mapTo(window.get(), QPoint(0, 0)), w->size()};
    }

    // Where the window's content is on the compositor's output: found by a caption that
    // never changes.
    std::optional<QPoint> windowOrigin(const QImage& screen) {
        const QRect caption = rectOf(label(TodayUseTimeCaption));
        const auto at =
            Find(screen, window->grab(caption).toImage().convertToFormat(QImage::Format_RGB32));
        if (!at) return std::nullopt;
        return *at - caption.topLeft();
    }

    // True once the compositor shows `w` as the window paints it now.
    bool onScreen(const QWidget* w, int ms = 10000) {
        return test::QtWaitUntil(
            [&] {
                const QImage screen = Screenshot();
                const auto origin = windowOrigin(screen);
                if (!origin) return false;
                const QRect r = rectOf(w);
                return SameAt(screen,
                              window->grab(r).toImage().convertToFormat(QImage::Format_RGB32),
                              *origin + r.topLeft());
            },
            ms);
    }

    // Position(x, y) sent to the window's process as KWin's script sends it.
    void report(int x, int y) {
        auto message = QDBusMessage::createMethodCall(
            QDBusConnection::sessionBus().baseService(), KWinPointerPosition::ObjectPath,
            KWinPointerPosition::Interface, KWinPointerPosition::Method);
        message.setArguments({x, y});
        EXPECT_EQ(bus.observer().call(message, QDBus::BlockWithGui, 10000).type(),
                  QDBusMessage::ReplyMessage);
    }

    test::MockBus bus;  // the session bus from here on
    test::ScopedEnv session{"XDG_SESSION_TYPE", "wayland"};
    test::LocalSite site;
    test::TempDir dir;
    std::unique_ptr<PlatformServices> platform;
    std::unique_ptr<MainParts> counted;
    std::unique_ptr<MainWindow> window;
};

// The figures go on changing on the screen tick after tick (they stood still about a second
// after the start once the home strip joined the window), the home strip shows its page, and
// the position KWin reports reaches the label, a second report too.
TEST_F(WaylandWindowTest, FiguresPositionAndHomeStripReachTheScreen) {
    startKWin();
    WriteSetting(store, MainKey, "ClosePtHome", "0");
    MainWindow& w = open();
    ASSERT_TRUE(test::QtWaitUntil([&] {
        return w.findChild<WebView*>(Name(HomePage)) && site.count("/pt/h1/") >= 1;
    })) << site.requests().join(",").toStdString();

    QLabel* useTime = label(TodayUseTime);
    QLabel* uptime = label(Uptime);
    for (int round = 0; round < 2; ++round) {
        const QString used = useTime->text(), up = uptime->text();
        ASSERT_TRUE(test::QtWaitUntil(
            [&] { return useTime->text() != used && uptime->text() != up; }, 10000))
            << "the figures are not set";
        EXPECT_TRUE(onScreen(useTime)) << "use time " << useTime->text().toStdString();
        EXPECT_TRUE(onScreen(uptime)) << "uptime " << uptime->text().toStdString();
    }

    QLabel* position = label(Position);
    ASSERT_TRUE(test::QtWaitUntil([&] {
        return platform->inputAccess().pointerPositionKnown() ||
               bus.calls(QStringLiteral("org.kde.KWin"), QStringLiteral("/3")).size() == 1;
    })) << "the script was not run";
    report(123, 456);
    ASSERT_TRUE(test::QtWaitUntil([&] { return position->text() == "( 123, 456)"; }))
        << position->text().toStdString();
    EXPECT_TRUE(onScreen(position));
    report(789, 12);
    ASSERT_TRUE(test::QtWaitUntil([&] { return position->text() == "( 789, 12)"; }))
        << position->text().toStdString();
    EXPECT_TRUE(onScreen(position));

    // The page's own colour fills the strip's place on the screen.
    QWidget* home = w.findChild<QWidget*>(Name(HomePage));
    ASSERT_TRUE(test::QtWaitUntil(
        [&] { return w.findChild<WebView*>(Name(HomePage))->title() == "Home strip"; }));
    const QRect strip = rectOf(home);
    EXPECT_TRUE(test::QtWaitUntil(
        [&] {
            const QImage screen = Screenshot();
            const auto origin = windowOrigin(screen);
            if (!origin) return false;
            const QRect shown = strip.translated(*origin);
            int green = 0;
            for (int y = shown.top(); y <= shown.bottom(); y += 4)
                for (int x = shown.left(); x <= shown.right(); x += 4)
                    green += (screen.pixel(x, y) & 0xffffff) == 0x20c040;
            return green > (shown.width() / 4) * (shown.height() / 4) / 2;
        },
        20000))
        << "the home strip's page is not on the screen";
}

// A property of a D-Bus object, or an invalid variant when it cannot be read.
QVariant Property(QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& iface, const QString& name) {
    auto message = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    message.setArguments({iface, name});
    const QDBusMessage reply = bus.call(message, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

// The largest picture of an a(iiay) list (StatusNotifierItem's pixmaps) as its size, when
// its bytes hold the whole picture (ARGB32).
QSize LargestPixmap(const QDBusArgument& pixmaps) {
    QSize largest;
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        int width = 0, height = 0;
        QByteArray bytes;
        pixmaps.beginStructure();
        pixmaps >> width >> height >> bytes;
        pixmaps.endStructure();
        if (width > largest.width() && bytes.size() == qsizetype(width) * height * 4)
            largest = QSize(width, height);
    }
    pixmaps.endArray();
    return largest;
}

// A StatusNotifierWatcher from Debian (gtk-sni-tray's) on the test's session bus, and a
// host registered with it, as a panel registers itself: the tray of a Wayland desktop.
class SniTray {
public:
    explicit SniTray(test::MockBus& bus) : m_bus(bus) {
        const QString watcher = QStandardPaths::findExecutable("status-notifier-watcher");
        if (watcher.isEmpty()) {
            m_unavailable =
                "status-notifier-watcher is not installed (scripts/deps.sh --test "
                "installs haskell-gtk-sni-tray-utils)";
            return;
        }
        m_watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_watcher.start(watcher, {});
        if (!m_watcher.waitForStarted(5000) || !test::QtWaitUntil([&] {
                return m_bus.observer().interface()->isServiceRegistered(Watcher).value() ||
                       m_watcher.state() == QProcess::NotRunning;
            }) ||
            m_watcher.state() == QProcess::NotRunning) {
            m_unavailable = "status-notifier-watcher did not start";
            return;
        }
        m_host = std::make_unique<QDBusConnection>(m_bus.connection(QStringLiteral("host")));
        m_hostName = QStringLiteral("org.kde.StatusNotifierHost-%1").arg(getpid());
        m_host->registerService(m_hostName);
    }
    ~SniTray() {
        if (m_watcher.state() == QProcess::NotRunning) return;
        m_watcher.terminate();
        if (!m_watcher.waitForFinished(5000)) m_watcher.kill();
        m_watcher.waitForFinished(2000);
    }

    // Why there is no tray, or empty.
    const std::string& unavailable() const { return m_unavailable; }
    // Registers the host, as a panel does at its start; true once the watcher says so. (The
    // watcher takes its name on the bus before it serves its object.)
    bool registerHost() {
        auto message = QDBusMessage::createMethodCall(Watcher, Path, Watcher,
                                                      QStringLiteral("RegisterStatusNotifierHost"));
        message.setArguments({m_hostName});
        return m_host->call(message, QDBus::Block, 10000).type() == QDBusMessage::ReplyMessage &&
               property(QStringLiteral("IsStatusNotifierHostRegistered")).toBool();
    }
    // The items the watcher knows, as their registrants gave them.
    QStringList items() {
        return property(QStringLiteral("RegisteredStatusNotifierItems")).toStringList();
    }

    static inline const QString Watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    static inline const QString Path = QStringLiteral("/StatusNotifierWatcher");

private:
    QVariant property(const QString& name) {
        return Property(m_bus.observer(), Watcher, Path, Watcher, name);
    }

    test::MockBus& m_bus;
    QProcess m_watcher;
    std::unique_ptr<QDBusConnection> m_host;
    QString m_hostName;
    std::string m_unavailable;
};

// Started hidden in the tray of a Wayland desktop (a StatusNotifierWatcher with a host), the
// program registers its item with the watcher; the item shows the program's icon and today's
// figures in its tooltip, and activating it (a click on the icon) brings the window up, which
// then asks for its home strip.
TEST_F(WaylandWindowTest, TheTrayItemRegistersWithARealWatcherAndActivatingItShowsTheWindow) {
    SniTray tray(bus);
    if (!tray.unavailable().empty()) GTEST_SKIP() << tray.unavailable();
    ASSERT_TRUE(test::QtWaitUntil([&] { return tray.registerHost(); }))
        << "the watcher did not take the host";

    const fs::path config = dir / "config", data = dir / "data", work = data / "pathtally";
    fs::create_directories(work);
    {
        test::ScopedEnv configHome("XDG_CONFIG_HOME", config.c_str());
        auto real = OpenSettingsStore();
        for (auto [name, value] : {std::pair{"ClosePtHome", "0"}, std::pair{"ClosePtNews", "1"},
                                   std::pair{"UpdateCK", "0"}, std::pair{"MinToSystray", "1"}})
            WriteSetting(*real, MainKey, name, value);
        WriteSetting(*real, MainKey, "SiteRoot", site.root().toStdString());
    }
    test::ProgramProcess program(work, dir / "program.log",
                                 {{"XDG_CONFIG_HOME", config.string()},
                                  {"XDG_DATA_HOME", data.string()},
                                  {"PATHTALLY_TEST_SECOND_MS", "100"},
                                  {"PATHTALLY_WEB_MODULE", PT_BINARY_DIR "/pathtally_web.so"}});
    ASSERT_TRUE(test::QtWaitUntil([&] { return !tray.items().isEmpty() || !program.running(); }))
        << program.output();
    ASSERT_TRUE(program.running()) << program.output();
    ASSERT_EQ(tray.items().size(), 1) << tray.items().join(", ").toStdString();

    // The item's service is the one that registered it; Qt serves it at /StatusNotifierItem.
    QString service = tray.items().first();
    if (const auto slash = service.indexOf('/'); slash > 0) service.truncate(slash);
    const QString path = QStringLiteral("/StatusNotifierItem"),
                  item = QStringLiteral("org.kde.StatusNotifierItem");
    const auto itemProperty = [&](const char* name) {
        return Property(bus.observer(), service, path, item, QString::fromLatin1(name));
    };
    EXPECT_EQ(bus.observer().interface()->servicePid(service).value(), uint(program.pid()));
    EXPECT_EQ(itemProperty("Status").toString(), "Active");
    // The icon: a themed name that exists as a file, or pixmaps of the program's own.
    const QString iconName = itemProperty("IconName").toString();
    const QSize pixmap = LargestPixmap(itemProperty("IconPixmap").value<QDBusArgument>());
    EXPECT_TRUE((!iconName.isEmpty() && (!iconName.startsWith('/') || QFile::exists(iconName))) ||
                pixmap.width() >= 16)
        << "icon name '" << iconName.toStdString() << "', pixmap " << pixmap.width();
    // The tooltip: the program's name and version, then today's figures, kept current while
    // the window is hidden.
    const auto tooltip = [&] {
        const QDBusArgument tip = itemProperty("ToolTip").value<QDBusArgument>();
        QString icon, title, text;
        tip.beginStructure();
        tip >> icon;
        LargestPixmap(tip);
        tip >> title >> text;
        tip.endStructure();
        return title + text;
    };
    ASSERT_TRUE(test::QtWaitUntil([&] { return tooltip().contains("0:00:0"); }))
        << tooltip().toStdString();
    EXPECT_TRUE(tooltip().startsWith("Pathtally")) << tooltip().toStdString();
    const QString early = tooltip();
    EXPECT_TRUE(test::QtWaitUntil([&] { return tooltip() != early; }))
        << "the tooltip stands still: " << early.toStdString();

    // Hidden in the tray, the window has not asked for its pages; a click on the icon shows it.
    EXPECT_EQ(site.count("/pt/h1/"), 0);
    auto activate = QDBusMessage::createMethodCall(service, path, item, QStringLiteral("Activate"));
    activate.setArguments({0, 0});
    const QDBusMessage answer = bus.observer().call(activate, QDBus::Block, 10000);
    EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage) << answer.errorMessage().toStdString();
    EXPECT_TRUE(test::QtWaitUntil([&] { return site.count("/pt/h1/") >= 1 || !program.running(); }))
        << "the window did not come up\n"
        << program.output();
    EXPECT_TRUE(program.running()) << program.output();
    EXPECT_EQ(WEXITSTATUS(program.terminate()), 0) << program.output();
}

// The whole program in the Wayland session ends on SIGTERM as asked, with its totals saved.
TEST_F(WaylandWindowTest, TheProgramEndsOnSigtermWithItsTotalsSaved) {
    const fs::path config = dir / "config", data = dir / "data", work = data / "pathtally";
    fs::create_directories(work);
    {
        test::ScopedEnv configHome("XDG_CONFIG_HOME", config.c_str());
        auto real = OpenSettingsStore();
        for (auto [name, value] : {std::pair{"ClosePtHome", "0"}, std::pair{"ClosePtNews", "1"},
                                   std::pair{"UpdateCK", "0"}, std::pair{"AllUseTime", "100"}})
            WriteSetting(*real, MainKey, name, value);
        WriteSetting(*real, MainKey, "SiteRoot", site.root().toStdString());
        WriteSetting(*real, MirrorKey, "AllUseTime", "100");
    }
    test::ProgramProcess program(work, dir / "program.log",
                                 {{"XDG_CONFIG_HOME", config.string()},
                                  {"XDG_DATA_HOME", data.string()},
                                  {"PATHTALLY_TEST_SECOND_MS", "50"},
                                  {"PATHTALLY_WEB_MODULE", PT_BINARY_DIR "/pathtally_web.so"}});
    // The home strip is asked for once the window is on the screen.
    ASSERT_TRUE(test::QtWaitUntil([&] { return site.count("/pt/h1/") >= 1 || !program.running(); }))
        << program.output();
    ASSERT_TRUE(program.running()) << program.output();
    // A few saves later (every ten ticks of 50 ms).
    test::ScopedEnv configHome("XDG_CONFIG_HOME", config.c_str());
    const auto stored = [] {
        return std::stod("0" + ReadSetting(*OpenSettingsStore(), MainKey, "AllUseTime"));
    };
    ASSERT_TRUE(test::QtWaitUntil([&] { return stored() >= 130 || !program.running(); }))
        << program.output();
    const int status = program.terminate();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n"
                                   << program.output();
    EXPECT_EQ(WEXITSTATUS(status), 0) << program.output();
    // The last ticks are saved too, in both keys and the data file.
    const double saved = stored();
    EXPECT_GE(saved, 130);
    EXPECT_EQ(ReadSetting(*OpenSettingsStore(), MirrorKey, "AllUseTime"),
              ReadSetting(*OpenSettingsStore(), MainKey, "AllUseTime"));
    EXPECT_TRUE(fs::exists(work / "PTDATA.CVD"));
}

}  // namespace
}  // namespace pt
