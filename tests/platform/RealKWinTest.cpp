// The pointer position from the real KWin of the distribution on a private bus: kwin_wayland
// with its X11-windowed back end on this test's X server, its pointer moved through XTest
// over KWin's window (KWin follows the X pointer there as its own). The binary carries a
// file capability that containers refuse, so a copy without it is run (a copy drops it).

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "platform/linux/KWinPointerPosition.h"
#include "support/DBusMockBus.h"
#include "support/TempDir.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace pt {
namespace {

using test::SpinUntil;

const QString KWinName = QStringLiteral("org.kde.KWin");
const QString KWinBinary = QStringLiteral("/usr/bin/kwin_wayland");

class RealKWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(KWinBinary))
            GTEST_SKIP() << "kwin_wayland is not installed (scripts/deps.sh --test installs it)";
        ASSERT_TRUE(bus.ready()) << "no private dbus-daemon";
        m_display = XOpenDisplay(nullptr);
        ASSERT_TRUE(m_display) << "no X server";
        m_copy = m_folder.filePath(QStringLiteral("kwin_wayland"));
        ASSERT_TRUE(QFile::copy(KWinBinary, m_copy));
        QFile::setPermissions(m_copy, QFile::ReadOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        stopKWin();
        if (m_display) XCloseDisplay(m_display);
    }

    // KWin in a window of 640x480 at the X screen's top-left corner; true once it has
    // taken its name on the bus.
    bool startKWin() {
        m_kwin = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        m_kwin->setProcessEnvironment(env);
        m_kwin->setProcessChannelMode(QProcess::MergedChannels);
        m_kwin->setStandardOutputFile(m_folder.filePath(QStringLiteral("kwin.log")),
                                      QIODevice::Append);
        m_kwin->start(m_copy,
                      {QStringLiteral("--x11-display"), qEnvironmentVariable("DISPLAY"),
                       QStringLiteral("--socket"),
                       QStringLiteral("pathtally-kwin-%1").arg(QCoreApplication::applicationPid()),
                       QStringLiteral("--width"), QStringLiteral("640"), QStringLiteral("--height"),
                       QStringLiteral("480"), QStringLiteral("--no-lockscreen"),
                       QStringLiteral("--no-global-shortcuts")});
        if (!m_kwin->waitForStarted(10000)) return false;
        return SpinUntil(
                   [&] {
                       return m_kwin->state() != QProcess::Running ||
                              bus.observer().interface()->isServiceRegistered(KWinName).value();
                   },
                   30000) &&
               m_kwin->state() == QProcess::Running;
    }
    void stopKWin() {
        if (!m_kwin) return;
        m_kwin->terminate();
        if (!m_kwin->waitForFinished(10000)) m_kwin->kill();
        m_kwin->waitForFinished(5000);
        m_kwin.reset();
    }
    QString kwinLog() const {
        QFile log(m_folder.filePath(QStringLiteral("kwin.log")));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll().right(2000))
                                             : QString();
    }

    void movePointer(int x, int y) {
        XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
        XSync(m_display, False);
    }
    // Moves the pointer over KWin's window until the position reported changes from
    // `from`; the new one.
    std::optional<PointerPosition::Point> moveAndWait(const KWinPointerPosition& position, int x,
                                                      int y) {
        const auto from = position.current();
        movePointer(x, y);
        if (!SpinUntil([&] { return position.current() != from; }, 10000)) return std::nullopt;
        // The last position always arrives; wait for the reports to come to rest on it.
        SpinUntil([&] { return position.current() == PointerPosition::Point{x, y}; }, 3000);
        return position.current();
    }
    bool scriptLoaded() {
        auto message = QDBusMessage::createMethodCall(KWinName, QStringLiteral("/Scripting"),
                                                      QStringLiteral("org.kde.kwin.Scripting"),
                                                      QStringLiteral("isScriptLoaded"));
        message.setArguments({KWinPointerPosition::PluginName});
        const QDBusMessage reply = bus.observer().call(message, QDBus::Block, 10000);
        return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
    }

    test::MockBus bus;
    test::TempDir scripts;
    QDBusConnection subjectBus = bus.connection(QStringLiteral("subject"));

private:
    QTemporaryDir m_folder;
    QString m_copy;
    std::unique_ptr<QProcess> m_kwin;
    Display* m_display = nullptr;
};

// Loaded and run without a failed call, the reports follow KWin's own pointer, the script is
// loaded again into a KWin that restarts, and unloaded at the end.
TEST_F(RealKWinTest, TheScriptReportsKWinsPointerSurvivesARestartAndIsUnloaded) {
    movePointer(100, 100);
    ASSERT_TRUE(startKWin()) << "KWin did not start:\n" << kwinLog().toStdString();
    KWinPointerPosition::Options options;
    options.scriptFolder = QString::fromStdString(scripts.path().string());
    options.kwinSettleMs = 1500;
    auto position = std::make_unique<KWinPointerPosition>(subjectBus, options);
    ASSERT_TRUE(SpinUntil([&] { return position->settled(); })) << kwinLog().toStdString();
    ASSERT_TRUE(position->scriptRunning()) << kwinLog().toStdString();
    EXPECT_TRUE(scriptLoaded());
    const QString path = position->scriptPath();

    // The first report comes at once; then each move over KWin's window, in its coordinates
    // (the window is at the X screen's origin).
    ASSERT_TRUE(SpinUntil([&] { return position->current().has_value(); }, 10000));
    EXPECT_EQ(moveAndWait(*position, 300, 200), (PointerPosition::Point{300, 200}));
    EXPECT_EQ(moveAndWait(*position, 420, 260), (PointerPosition::Point{420, 260}));

    // KWin ends and comes back: the position is unknown meanwhile, then reported again.
    stopKWin();
    ASSERT_TRUE(SpinUntil([&] { return !position->scriptRunning(); }, 15000));
    EXPECT_FALSE(position->current().has_value());
    ASSERT_TRUE(startKWin()) << "KWin did not start again:\n" << kwinLog().toStdString();
    ASSERT_TRUE(SpinUntil([&] { return position->scriptRunning(); }, 20000))
        << kwinLog().toStdString();
    EXPECT_EQ(moveAndWait(*position, 200, 150), (PointerPosition::Point{200, 150}));

    position.reset();
    EXPECT_FALSE(scriptLoaded()) << "the script is still loaded";
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace pt
