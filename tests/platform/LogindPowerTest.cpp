#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "core/shutdown/ShutdownScheduler.h"
#include "platform/linux/LogindPower.h"
#include "support/DBusMockBus.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"

namespace pt {
namespace {

using test::App;
using test::MockBus;
using test::SpinUntil;

const QString Login1 = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");

// Sends a request and waits, in the event loop, for its answer.
PowerResult Ask(LogindPower& power, PowerAction action) {
    auto answer = std::make_shared<std::optional<PowerResult>>();
    power.request(action, [answer](const PowerResult& r) { *answer = r; });
    if (!SpinUntil([&] { return answer->has_value(); }))
        return {false, PowerRefusal::Denied, "the test saw no answer"};
    return **answer;
}

class LogindPowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus.ready()) << "no private dbus-daemon";
        ASSERT_TRUE(bus.startMock({QStringLiteral("--template"), QStringLiteral("logind")}, Login1))
            << "logind mock did not start";
    }
    // Replaces or adds a method of the logind manager object.
    void addMethod(const QString& name, const QString& in, const QString& code) {
        const auto reply = bus.control(Login1, Login1Path, QStringLiteral("AddMethod"),
                                       {Manager, name, in, QString(), code});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    QStringList managerCalls() { return bus.calls(Login1, Login1Path); }

    MockBus bus;
    LogindPower power;
};

// Rates and delays: a loaded machine can upset them, so they run alone (the "load" label).
class LogindPowerTiming : public LogindPowerTest {};

TEST_F(LogindPowerTest, PowerOffFallsBackToPowerOffWhereFlagsAreUnknown) {
    // The template's logind has no *WithFlags methods.
    const PowerResult result = Ask(power, PowerAction::PowerOff);
    EXPECT_TRUE(result.accepted) << result.detail;
    EXPECT_EQ(managerCalls(), QStringList{QStringLiteral("PowerOff(true)")});
}

TEST_F(LogindPowerTest, PowerOffSkipsInhibitorsAndRetriesWithoutTheFlag) {
    addMethod(QStringLiteral("PowerOffWithFlags"), QStringLiteral("t"), QString());
    EXPECT_TRUE(Ask(power, PowerAction::PowerOff).accepted);
    EXPECT_EQ(managerCalls(), QStringList{QStringLiteral("PowerOffWithFlags(16)")});

    // A logind that does not know the flag answers InvalidArgs.
    bus.control(Login1, Login1Path, QStringLiteral("ClearCalls"), {});
    addMethod(QStringLiteral("PowerOffWithFlags"), QStringLiteral("t"),
              QStringLiteral("if args[0] & 16: raise dbus.exceptions.DBusException("
                             "'Invalid flags parameter', "
                             "name='org.freedesktop.DBus.Error.InvalidArgs')"));
    EXPECT_TRUE(Ask(power, PowerAction::PowerOff).accepted);
    EXPECT_EQ(managerCalls(), (QStringList{QStringLiteral("PowerOffWithFlags(16)"),
                                           QStringLiteral("PowerOffWithFlags(0)")}));
}

TEST_F(LogindPowerTest, RebootIsNotForced) {
    EXPECT_TRUE(Ask(power, PowerAction::Reboot).accepted);
    EXPECT_EQ(managerCalls(), QStringList{QStringLiteral("Reboot(true)")});

    bus.control(Login1, Login1Path, QStringLiteral("ClearCalls"), {});
    addMethod(QStringLiteral("RebootWithFlags"), QStringLiteral("t"), QString());
    EXPECT_TRUE(Ask(power, PowerAction::Reboot).accepted);
    EXPECT_EQ(managerCalls(), QStringList{QStringLiteral("RebootWithFlags(0)")});
}

TEST_F(LogindPowerTest, LogOffTerminatesThisSessionWithoutASessionManager) {
    const auto added = bus.control(
        Login1, Login1Path, QStringLiteral("AddSession"),
        {QStringLiteral("c7"), QStringLiteral("seat0"), uint(1000), QStringLiteral("alice"), true});
    ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
    bus.control(Login1, Login1Path, QStringLiteral("ClearCalls"), {});
    const QByteArray saved = qgetenv("XDG_SESSION_ID");
    qputenv("XDG_SESSION_ID", "c7");
    const PowerResult result = Ask(power, PowerAction::LogOff);
    qputenv("XDG_SESSION_ID", saved);
    EXPECT_TRUE(result.accepted) << result.detail;
    EXPECT_EQ(managerCalls(), QStringList{QStringLiteral("GetSession(c7)")});
    EXPECT_EQ(bus.calls(Login1, QStringLiteral("/org/freedesktop/login1/session/c7")),
              QStringList{QStringLiteral("Terminate()")});
}

// A desktop's session manager as it answers a log-off request.
struct SessionManager {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    const char* signature;
    const char* expectedCall;
};

class LogOffThroughSessionManager : public LogindPowerTest,
                                    public ::testing::WithParamInterface<SessionManager> {};

// The session manager asks the applications first, as a log-off should; logind is left
// alone.
TEST_P(LogOffThroughSessionManager, AsksTheDesktopAndLeavesLogindAlone) {
    const SessionManager& m = GetParam();
    const QString service = QString::fromLatin1(m.service);
    const QString path = QString::fromLatin1(m.path);
    const QString interface = QString::fromLatin1(m.interface);
    ASSERT_TRUE(bus.startMock({QStringLiteral("--session"), service, path, interface}, service));
    const auto added = bus.control(service, path, QStringLiteral("AddMethod"),
                                   {interface, QString::fromLatin1(m.method),
                                    QString::fromLatin1(m.signature), QString(), QString()});
    ASSERT_EQ(added.type(), QDBusMessage::ReplyMessage) << added.errorMessage().toStdString();
    const PowerResult result = Ask(power, PowerAction::LogOff);
    EXPECT_TRUE(result.accepted) << result.detail;
    EXPECT_EQ(bus.calls(service, path), QStringList{QString::fromLatin1(m.expectedCall)});
    EXPECT_TRUE(managerCalls().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, LogOffThroughSessionManager,
    ::testing::Values(SessionManager{"org.gnome.SessionManager", "/org/gnome/SessionManager",
                                     "org.gnome.SessionManager", "Logout", "u", "Logout(1)"},
                      SessionManager{"org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logout",
                                     "", "logout()"},
                      SessionManager{"org.kde.ksmserver", "/KSMServer",
                                     "org.kde.KSMServerInterface", "logout", "iii",
                                     "logout(0, 0, 0)"},
                      SessionManager{"org.xfce.SessionManager", "/org/xfce/SessionManager",
                                     "org.xfce.Session.Manager", "Logout", "bb",
                                     "Logout(false, true)"}));

TEST_F(LogindPowerTest, ErrorsBecomeRefusalsWithTheirKind) {
    addMethod(QStringLiteral("PowerOff"), QStringLiteral("b"),
              QStringLiteral("raise dbus.exceptions.DBusException('Access denied by policy', "
                             "name='org.freedesktop.DBus.Error.AccessDenied')"));
    const PowerResult refused = Ask(power, PowerAction::PowerOff);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.why, PowerRefusal::NotAuthorized);
    EXPECT_NE(refused.detail.find("Access denied by policy"), std::string::npos) << refused.detail;
    EXPECT_NE(refused.detail.find("AccessDenied"), std::string::npos) << refused.detail;

    // No session of that id: the log-off is refused, not reported as done.
    const QByteArray saved = qgetenv("XDG_SESSION_ID");
    qputenv("XDG_SESSION_ID", "missing");
    const PowerResult noSession = Ask(power, PowerAction::LogOff);
    qputenv("XDG_SESSION_ID", saved);
    EXPECT_FALSE(noSession.accepted);
    EXPECT_FALSE(noSession.detail.empty());
}

// Whatever the program logs while it lives.
class LogCapture {
public:
    LogCapture() { s_previous = qInstallMessageHandler(&LogCapture::take); }
    ~LogCapture() { qInstallMessageHandler(s_previous); }
    static inline QString text;

private:
    static void take(QtMsgType, const QMessageLogContext&, const QString& message) {
        text += message + QLatin1Char('\n');
    }
    static inline QtMessageHandler s_previous = nullptr;
};

// The whole path of a confirmed shutdown that logind refuses: the user reads why in a few
// words, the full error goes to the log, the totals were saved, and the program does not
// end.
TEST_F(LogindPowerTest, RefusedShutdownIsShownAndTheProgramKeepsRunning) {
    addMethod(QStringLiteral("PowerOff"), QStringLiteral("b"),
              QStringLiteral("raise dbus.exceptions.DBusException('Interactive authentication "
                             "required.', name='org.freedesktop.DBus.Error."
                             "InteractiveAuthorizationRequired')"));
    LogCapture log;
    LogCapture::text.clear();
    FormModel form;
    test::MemorySettingsStore store;
    test::FakeClock clock;
    test::FakeMessageBox boxes;
    int saves = 0, quits = 0;
    CommandTable commands;
    ShutdownScheduler page(
        form, store, clock, boxes, power, Language::Simplified, false, commands, [&] { ++saves; },
        [&] { ++quits; }, nullptr);
    page.restoreSchedule();
    boxes.answers.push_back(MsgAnswer::Ok);
    ASSERT_TRUE(commands.run(ControlId{"cmdShutdown"}));
    ASSERT_TRUE(SpinUntil([&] { return boxes.shown.size() == 2; }));

    EXPECT_EQ(boxes.shown[1].title, "错误提示");
    EXPECT_EQ(boxes.shown[1].text, "系统拒绝了关机请求，电脑没有关闭。\r\n原因：没有权限");
    EXPECT_FALSE(boxes.shown[1].waited);
    EXPECT_TRUE(LogCapture::text.contains(QStringLiteral("Interactive authentication required.")))
        << LogCapture::text.toStdString();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(managerCalls(), QStringList{QStringLiteral("PowerOff(true)")});

    // A second try after the user fixed the cause goes through and ends the program.
    addMethod(QStringLiteral("PowerOff"), QStringLiteral("b"), QString());
    boxes.answers.push_back(MsgAnswer::Ok);
    commands.run(ControlId{"cmdShutdown"});
    EXPECT_TRUE(SpinUntil([&] { return quits == 1; }));
}

// A log-off where logind lacks a method: the mock answers with a Python traceback, which
// the log keeps and the box leaves out.
TEST_F(LogindPowerTest, RawErrorsStayInTheLog) {
    addMethod(QStringLiteral("GetSession"), QStringLiteral("s"),
              QStringLiteral("raise KeyError('no session ' + args[0])"));
    LogCapture log;
    LogCapture::text.clear();
    const QByteArray saved = qgetenv("XDG_SESSION_ID");
    qputenv("XDG_SESSION_ID", "c9");
    FormModel form;
    test::MemorySettingsStore store;
    test::FakeClock clock;
    test::FakeMessageBox boxes;
    CommandTable commands;
    ShutdownScheduler page(form, store, clock, boxes, power, Language::Traditional, false, commands,
                           nullptr, nullptr, nullptr);
    page.restoreSchedule();
    boxes.answers.push_back(MsgAnswer::Ok);
    commands.run(ControlId{"cmdLogoff"});
    const bool told = SpinUntil([&] { return boxes.shown.size() == 2; });
    qputenv("XDG_SESSION_ID", saved);
    ASSERT_TRUE(told);
    EXPECT_EQ(boxes.shown[1].text, "系統拒絕了註銷請求，您沒有被註銷。\r\n原因：系統拒絕了請求");
    EXPECT_TRUE(LogCapture::text.contains(QStringLiteral("Traceback")))
        << LogCapture::text.toStdString();
}

// A logind method that never answers: the request returns at once and the caller's event
// loop (the program's ticks) keeps running while the answer is awaited.
TEST_F(LogindPowerTiming, AnUnansweredCallNeverHoldsTheCaller) {
    addMethod(QStringLiteral("PowerOff"), QStringLiteral("b"),
              QStringLiteral("import time\ntime.sleep(60)"));
    auto answer = std::make_shared<std::optional<PowerResult>>();
    QElapsedTimer clock;
    clock.start();
    power.request(PowerAction::PowerOff, [answer](const PowerResult& r) { *answer = r; });
    EXPECT_LT(clock.elapsed(), 500);

    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);
    // The call reaches logind while the ticks go on; no answer comes.
    EXPECT_TRUE(SpinUntil([&] { return ticks >= 50; }, 20000));
    EXPECT_FALSE(answer->has_value());
}

// A bus that accepts the connection and never says a word: given up after a short bound,
// as a refusal for want of an answer, with the ticks going on meanwhile.
TEST(LogindPowerSilentBusTiming, ASilentBusIsGivenUpAfterABound) {
    App();
    test::TempDir dir;
    const std::string path = (dir / "silent-bus").string();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::snprintf(where.sun_path, sizeof where.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(::listen(listener, 4), 0);  // accepted by the kernel, never read
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", QByteArray("unix:path=") + path.c_str());

    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);
    auto answer = std::make_shared<std::optional<PowerResult>>();
    QElapsedTimer clock;
    clock.start();
    {
        LogindPower power;
        power.request(PowerAction::Reboot, [answer](const PowerResult& r) { *answer = r; });
        EXPECT_LT(clock.elapsed(), 500);
        EXPECT_TRUE(SpinUntil([&] { return answer->has_value(); }, 20000));
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
    ::close(listener);
    ASSERT_TRUE(answer->has_value());
    EXPECT_FALSE((*answer)->accepted);
    EXPECT_EQ((*answer)->why, PowerRefusal::NoAnswer) << (*answer)->detail;
    EXPECT_LT(clock.elapsed(), LogindPower::ConnectTimeoutMs + 5000);
    // The event loop ran all along: about one tick per 20 ms of the wait.
    EXPECT_GT(ticks, LogindPower::ConnectTimeoutMs / 20 / 3);
}

TEST(LogindPowerNoBus, NoLogindIsARefusal) {
    MockBus bus;  // a bus without logind on it
    ASSERT_TRUE(bus.ready());
    LogindPower power;
    const PowerResult result = Ask(power, PowerAction::Reboot);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.why, PowerRefusal::NoService);
    EXPECT_NE(result.detail.find("ServiceUnknown"), std::string::npos) << result.detail;
}

}  // namespace
}  // namespace pt
