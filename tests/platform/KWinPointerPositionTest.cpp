// The pointer position from KWin: a python3-dbusmock KWin with the scripting interface on a
// private bus; the script the program writes is run in a script engine set up as KWin sets
// up its own (workspace, callDBus, QTimer), calling the program back over that bus.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJSEngine>
#include <QPoint>
#include <QTimer>
#include <chrono>
#include <memory>
#include <thread>

#include "core/ports/PlatformServices.h"
#include "platform/linux/KWinPointerPosition.h"
#include "platform/linux/LibinputInput.h"
#include "support/DBusMockBus.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace pt {

// What KWin gives its scripts: the workspace with the pointer's position...
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
    QPoint m_pos{100, 200};
};

// ...a timer scripts can construct...
class ScriptTimer : public QTimer {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ScriptTimer(QObject* parent = nullptr) : QTimer(parent) {}
};

// ...and callDBus, which sends each call without waiting, the numbers as the engine holds
// them.
class ScriptGlobals : public QObject {
    Q_OBJECT
public:
    explicit ScriptGlobals(QDBusConnection bus) : m_bus(std::move(bus)) {}
    Q_INVOKABLE void callDBus(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QJSValue& a1 = {},
                              const QJSValue& a2 = {}, const QJSValue& a3 = {}) {
        QVariantList args;
        for (const QJSValue& a : {a1, a2, a3})
            if (!a.isUndefined()) args << a.toVariant();
        auto message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(args);
        m_bus.asyncCall(message);
        ++calls;
    }
    int calls = 0;

private:
    QDBusConnection m_bus;
};

namespace {

using test::MockBus;
using test::SpinUntil;

const QString KWin = QStringLiteral("org.kde.KWin");
const QString Scripting = QStringLiteral("/Scripting");
const QString ScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");

class KWinPointerPositionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.ready()) << "no private dbus-daemon"; }

    // Where a KWin puts the object of a script it has loaded.
    enum class ScriptObject { BelowScripting, AtRoot, None };

    // A KWin with the scripting interface; loadScript answers `loadedId` and puts the loaded
    // script at /Scripting/Script<id> (KWin 6), at /<id> (KWin 5.27) or nowhere.
    void startKWin(int loadedId, ScriptObject object = ScriptObject::BelowScripting) {
        ASSERT_TRUE(
            bus.startMock({QStringLiteral("--session"), KWin, Scripting, ScriptingInterface}, KWin))
            << "KWin mock did not start";
        QString load = QStringLiteral("ret = %1").arg(loadedId);
        if (object != ScriptObject::None)
            load.prepend(QStringLiteral("self.AddObject('%1', "
                                        "'org.kde.kwin.Script', {}, [('run', '', '', '')])\n")
                             .arg(ScriptPath(loadedId, object)));
        addMethod(Scripting, ScriptingInterface, QStringLiteral("loadScript"), QStringLiteral("ss"),
                  QStringLiteral("i"), load);
        addMethod(Scripting, ScriptingInterface, QStringLiteral("unloadScript"),
                  QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("ret = False"));
        addMethod(Scripting, ScriptingInterface, QStringLiteral("start"), {}, {}, {});
    }
    static QString ScriptPath(int id, ScriptObject object) {
        return object == ScriptObject::AtRoot ? QStringLiteral("/%1").arg(id)
                                              : QStringLiteral("/Scripting/Script%1").arg(id);
    }
    void addMethod(const QString& path, const QString& interface, const QString& name,
                   const QString& in, const QString& out, const QString& code) {
        const auto reply =
            bus.control(KWin, path, QStringLiteral("AddMethod"), {interface, name, in, out, code});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    std::unique_ptr<KWinPointerPosition> start() {
        KWinPointerPosition::Options options;
        options.scriptFolder = QString::fromStdString(folder.path().string());
        options.kwinSettleMs = 1000;  // the mock's methods are added after its name
        auto position = std::make_unique<KWinPointerPosition>(subjectBus, options);
        EXPECT_TRUE(SpinUntil([&] { return position->settled(); }));
        return position;
    }
    // Position(x, y) sent to the program as the script sends it.
    QDBusMessage report(const QVariant& x, const QVariant& y) {
        auto message = QDBusMessage::createMethodCall(
            subjectBus.baseService(), KWinPointerPosition::ObjectPath,
            KWinPointerPosition::Interface, KWinPointerPosition::Method);
        message.setArguments({x, y});
        // The program answers from its event loop, which is this thread's.
        return bus.observer().call(message, QDBus::BlockWithGui, 10000);
    }
    QStringList scriptFiles() const {
        return QDir(QString::fromStdString(folder.path().string()))
            .entryList({QStringLiteral("*.js")}, QDir::Files);
    }

    MockBus bus;
    QDBusConnection subjectBus = bus.connection(QStringLiteral("subject"));
    test::TempDir folder;
};

TEST_F(KWinPointerPositionTest, LoadsRunsAndUnloadsTheScriptAndTakesItsReports) {
    startKWin(7);
    auto position = start();
    ASSERT_TRUE(position->scriptRunning());
    const QString path = position->scriptPath();
    // A script left by an abrupt end goes first, then this run's script is loaded and run.
    EXPECT_EQ(bus.calls(KWin, Scripting),
              (QStringList{QStringLiteral("unloadScript(pathtally-pointer)"),
                           QStringLiteral("loadScript(%1, pathtally-pointer)").arg(path)}));
    EXPECT_EQ(bus.calls(KWin, QStringLiteral("/Scripting/Script7")),
              QStringList{QStringLiteral("run()")});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(subjectBus.baseService().toUtf8()));
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);

    // Nothing is known before the first report; a report over the bus is the position.
    EXPECT_FALSE(position->current().has_value());
    LibinputInput input;
    input.setPointerPosition(position.get());
    EXPECT_FALSE(input.pointerPositionKnown());
    EXPECT_EQ(report(640, 480).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(position->current().has_value());
    EXPECT_EQ(*position->current(), (PointerPosition::Point{640, 480}));
    // Left of and above the primary screen, as a double where KWin's engine holds one.
    EXPECT_EQ(report(-1920.4, -7.6).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(*position->current(), (PointerPosition::Point{-1920, -8}));
    // Anything but two numbers is refused and changes nothing.
    EXPECT_EQ(report(QStringLiteral("1"), 2).type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(*position->current(), (PointerPosition::Point{-1920, -8}));
    EXPECT_EQ(position->reports(), 2u);

    // The libinput source hands the position over with the travel, and a moved position
    // alone is a reading too (no travel).
    EXPECT_TRUE(input.pointerPositionKnown());
    auto reading = input.take();
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->x, -1920);
    EXPECT_EQ(reading->y, -8);
    EXPECT_EQ(reading->travel, 0);
    EXPECT_FALSE(input.take().has_value());

    input.setPointerPosition(nullptr);
    bus.control(KWin, Scripting, QStringLiteral("ClearCalls"), {});
    position.reset();
    EXPECT_EQ(bus.calls(KWin, Scripting),
              QStringList{QStringLiteral("unloadScript(pathtally-pointer)")});
    EXPECT_FALSE(QFile::exists(path));
}

// The script's object is run where KWin's root lists it, without a call that fails first.
TEST_F(KWinPointerPositionTest, TheScriptRunsWhereThisKWinPutsItsObject) {
    for (const auto object : {ScriptObject::AtRoot, ScriptObject::BelowScripting}) {
        startKWin(12, object);
        auto position = start();
        EXPECT_TRUE(position->scriptRunning());
        EXPECT_EQ(bus.calls(KWin, ScriptPath(12, object)), QStringList{QStringLiteral("run()")});
        EXPECT_EQ(bus.calls(KWin, Scripting).size(), 2);  // unload, load: no start()
        position.reset();
        ASSERT_TRUE(bus.stopMocks(KWin));
    }
    // KWin 5.27's root as it introspects it, and an id that is only a prefix of a node.
    const QString root = QStringLiteral(
        "<node>\n  <node name=\"0\"/>\n  <node name=\"12\"/>\n"
        "  <node name=\"Scripting\"/>\n</node>");
    EXPECT_EQ(KWinPointerPosition::ScriptObjectPath(root, 12), QStringLiteral("/12"));
    EXPECT_EQ(KWinPointerPosition::ScriptObjectPath(root, 1), QStringLiteral("/Scripting/Script1"));
    EXPECT_EQ(KWinPointerPosition::ScriptObjectPath(QString(), 0),
              QStringLiteral("/Scripting/Script0"));
}

TEST_F(KWinPointerPositionTest, WhereTheScriptHasNoObjectOfItsOwnKWinStartsIt) {
    startKWin(3, ScriptObject::None);
    auto position = start();
    EXPECT_TRUE(position->scriptRunning());
    const QStringList calls = bus.calls(KWin, Scripting);
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[2], QStringLiteral("start()"));
}

TEST_F(KWinPointerPositionTest, AKWinThatLeavesAndComesBackGetsTheScriptAgain) {
    startKWin(2);
    auto position = start();
    ASSERT_TRUE(position->scriptRunning());
    EXPECT_EQ(report(10, 20).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(position->current().has_value());

    // While KWin is gone the position it last reported is not shown as the current one.
    ASSERT_TRUE(bus.stopMocks(KWin));
    EXPECT_TRUE(SpinUntil([&] { return !position->current().has_value(); }));
    EXPECT_FALSE(position->scriptRunning());

    startKWin(4);
    ASSERT_TRUE(SpinUntil([&] { return position->scriptRunning(); }));
    EXPECT_EQ(bus.calls(KWin, QStringLiteral("/Scripting/Script4")),
              QStringList{QStringLiteral("run()")});
    EXPECT_EQ(report(30, 40).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(position->current(), (PointerPosition::Point{30, 40}));
}

TEST_F(KWinPointerPositionTest, WithoutKWinOrItsScriptingThePositionStaysUnknown) {
    {
        auto position = start();  // nothing named org.kde.KWin on the bus
        EXPECT_FALSE(position->scriptRunning());
        EXPECT_FALSE(position->current().has_value());
        EXPECT_TRUE(scriptFiles().isEmpty());
    }
    // A KWin without the scripting object.
    ASSERT_TRUE(bus.startMock({QStringLiteral("--session"), KWin, QStringLiteral("/KWin"),
                               QStringLiteral("org.kde.KWin")},
                              KWin));
    {
        auto position = start();
        EXPECT_FALSE(position->scriptRunning());
        EXPECT_FALSE(position->current().has_value());
    }
    EXPECT_TRUE(scriptFiles().isEmpty());
}

TEST_F(KWinPointerPositionTest, AScriptKWinRefusesToLoadLeavesThePositionUnknown) {
    startKWin(-1, ScriptObject::None);
    auto position = start();
    EXPECT_FALSE(position->scriptRunning());
    EXPECT_FALSE(position->current().has_value());
    EXPECT_EQ(bus.calls(KWin, Scripting).size(), 2);  // unload, load; nothing run
}

// The platform of a Wayland session on KDE: the position KWin reports is what the window's
// sources give. The process's session bus is the mock's from here on, so this is the one
// test that reaches it.
TEST_F(KWinPointerPositionTest, AWaylandSessionTakesThePositionFromKWinOnTheSessionBus) {
    startKWin(5);
    test::ScopedEnv session("XDG_SESSION_TYPE", "wayland");
    test::ScopedEnv forced("PATHTALLY_INPUT", nullptr);
    auto platform = CreatePlatformServices();
    ASSERT_EQ(platform->inputBackend().name, "libinput") << platform->inputBackend().reason;
    CursorSource& cursor = platform->cursor();
    const InputAccess& access = platform->inputAccess();
    EXPECT_FALSE(access.pointerPositionKnown());
    ASSERT_TRUE(SpinUntil([&] {
        return bus.calls(KWin, QStringLiteral("/Scripting/Script5")) ==
               QStringList{QStringLiteral("run()")};
    })) << "KWin was not asked to run the script";

    auto message = QDBusMessage::createMethodCall(
        QDBusConnection::sessionBus().baseService(), KWinPointerPosition::ObjectPath,
        KWinPointerPosition::Interface, KWinPointerPosition::Method);
    message.setArguments({1234, 56});
    EXPECT_EQ(bus.observer().call(message, QDBus::BlockWithGui, 10000).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_TRUE(access.pointerPositionKnown());
    const auto reading = cursor.take();
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->x, 1234);
    EXPECT_EQ(reading->y, 56);

    bus.control(KWin, Scripting, QStringLiteral("ClearCalls"), {});
    platform.reset();
    EXPECT_EQ(bus.calls(KWin, Scripting),
              QStringList{QStringLiteral("unloadScript(pathtally-pointer)")});
}

TEST_F(KWinPointerPositionTest, TheScriptReportsAtMostEveryIntervalAndAlwaysTheLastPosition) {
    startKWin(1);
    auto position = start();
    ASSERT_TRUE(position->scriptRunning());
    QFile file(position->scriptPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));

    // Run it as KWin runs a script: the workspace, callDBus and QTimer as globals.
    QJSEngine engine;
    ScriptedWorkspace workspace;
    ScriptGlobals globals(bus.connection(QStringLiteral("kwin")));
    engine.globalObject().setProperty(QStringLiteral("workspace"), engine.newQObject(&workspace));
    engine.globalObject().setProperty(QStringLiteral("QTimer"),
                                      engine.newQMetaObject(&ScriptTimer::staticMetaObject));
    const QJSValue self = engine.newQObject(&globals);
    engine.globalObject().setProperty(QStringLiteral("callDBus"),
                                      self.property(QStringLiteral("callDBus")));
    const QJSValue result = engine.evaluate(QString::fromUtf8(file.readAll()), file.fileName());
    ASSERT_FALSE(result.isError()) << result.toString().toStdString();

    // The position at once.
    ASSERT_TRUE(SpinUntil([&] { return position->current().has_value(); }, 10000));
    EXPECT_EQ(*position->current(), (PointerPosition::Point{100, 200}));

    // A mouse reporting at 1000 Hz for 600 ms: a handful of reports, the last one the
    // position where it stopped.
    using Clock = std::chrono::steady_clock;
    const int before = globals.calls;
    const auto begin = Clock::now();
    int moves = 0;
    while (Clock::now() - begin < std::chrono::milliseconds(600)) {
        ++moves;
        workspace.moveTo({100 + moves, 200 + moves / 2});
        QCoreApplication::processEvents();
        std::this_thread::sleep_until(begin + std::chrono::milliseconds(moves));
    }
    const PointerPosition::Point last{100 + moves, 200 + moves / 2};
    ASSERT_TRUE(SpinUntil([&] { return position->current() == last; }, 10000))
        << "the last position did not arrive";
    const int sent = globals.calls - before;
    EXPECT_GE(sent, 2) << "reports only when the pointer stops";
    EXPECT_LE(sent, 600 / 100 + 2) << moves << " moves";
    EXPECT_TRUE(SpinUntil([&] { return position->reports() == std::uint64_t(sent + 1); }, 10000));

    // The same position again sends nothing.
    QTimer::singleShot(150, [&] { workspace.moveTo(QPoint(last.x, last.y)); });
    bool checked = false;
    QTimer::singleShot(300, [&] { checked = true; });
    ASSERT_TRUE(SpinUntil([&] { return checked; }));
    EXPECT_EQ(globals.calls - before, sent);
}

}  // namespace
}  // namespace pt

#include "KWinPointerPositionTest.moc"
