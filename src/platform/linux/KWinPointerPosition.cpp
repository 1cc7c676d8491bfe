#include "platform/linux/KWinPointerPosition.h"

#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>
#include <cmath>
#include <limits>

namespace pt {
namespace {

const QString KWinService = QStringLiteral("org.kde.KWin");
const QString ScriptingPath = QStringLiteral("/Scripting");
const QString ScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString ScriptInterface = QStringLiteral("org.kde.kwin.Script");

// The script's text; the %-fields are filled in by Script().
constexpr const char* ScriptTemplate =
    R"(// Written by Pathtally, which removes it when it ends: reports where the pointer is,
// at most every %INTERVAL% ms while it moves (the last position always), never while it rests.
(function () {
    var service = "%SERVICE%";
    var interval = %INTERVAL%;
    var sent = null;
    var lastSent = 0;
    var waiting = false;
    var timer = typeof QTimer === "function" ? new QTimer() : null;
    function send() {
        waiting = false;
        var p = workspace.cursorPos;
        if (sent !== null && sent.x === p.x && sent.y === p.y) return;
        sent = {x: p.x, y: p.y};
        lastSent = Date.now();
        callDBus(service, "%PATH%", "%INTERFACE%", "%METHOD%", p.x, p.y);
    }
    function moved() {
        if (waiting) return;
        var wait = lastSent + interval - Date.now();
        if (wait <= 0) {
            send();
        } else if (timer !== null) {
            waiting = true;
            timer.interval = wait;
            timer.start();
        }
    }
    if (timer !== null) {
        timer.singleShot = true;
        timer.timeout.connect(send);
    }
    workspace.cursorPosChanged.connect(moved);
    send();
})();
)";

// A D-Bus argument as a coordinate: KWin sends the numbers as its script engine holds
// them (int32 as a rule, a double where the value is not whole).
std::optional<std::int32_t> Coordinate(const QVariant& value) {
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    const QMetaType::Type type = static_cast<QMetaType::Type>(value.typeId());
    if (type == QMetaType::QString || type == QMetaType::Bool) return std::nullopt;
    return static_cast<std::int32_t>(std::lround(v));
}

}  // namespace

const QString KWinPointerPosition::PluginName = QStringLiteral("pathtally-pointer");
const QString KWinPointerPosition::ObjectPath = QStringLiteral("/net/pathtally/Pointer");
const QString KWinPointerPosition::Interface = QStringLiteral("net.pathtally.Pointer");
const QString KWinPointerPosition::Method = QStringLiteral("Position");

// The object the script calls: takes Position(x, y) and answers nothing else.
class KWinPointerPosition::Receiver : public QDBusVirtualObject {
public:
    explicit Receiver(KWinPointerPosition& owner) : m_owner(owner) {}

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != Interface || message.member() != Method) return false;
        const QVariantList args = message.arguments();
        const auto x = args.size() == 2 ? Coordinate(args[0]) : std::nullopt;
        const auto y = args.size() == 2 ? Coordinate(args[1]) : std::nullopt;
        QDBusMessage answer;
        if (x && y) {
            m_owner.report(*x, *y);
            answer = message.createReply();
        } else {
            answer =
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                         QStringLiteral("Position takes two numbers"));
        }
        if (message.isReplyRequired()) connection.send(answer);
        return true;
    }

    QString introspect(const QString& /*path*/) const override {
        return QStringLiteral(
                   "<interface name=\"%1\"><method name=\"%2\">"
                   "<arg name=\"x\" type=\"i\" direction=\"in\"/>"
                   "<arg name=\"y\" type=\"i\" direction=\"in\"/>"
                   "</method></interface>")
            .arg(Interface, Method);
    }

private:
    KWinPointerPosition& m_owner;
};

QString KWinPointerPosition::Script(const QString& service, int reportIntervalMs) {
    QString text = QString::fromUtf8(ScriptTemplate);
    text.replace(QStringLiteral("%SERVICE%"), service);
    text.replace(QStringLiteral("%INTERVAL%"), QString::number(reportIntervalMs));
    text.replace(QStringLiteral("%PATH%"), ObjectPath);
    text.replace(QStringLiteral("%INTERFACE%"), Interface);
    text.replace(QStringLiteral("%METHOD%"), Method);
    return text;
}

QDBusConnection KWinPointerPosition::SessionBus() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFile::exists(runtime + QStringLiteral("/bus"))))
        return QDBusConnection(QString());
    return QDBusConnection::sessionBus();
}

KWinPointerPosition::KWinPointerPosition(QDBusConnection bus)
    : KWinPointerPosition(std::move(bus), Options{}) {}

KWinPointerPosition::KWinPointerPosition(QDBusConnection bus, Options options)
    : m_bus(std::move(bus)), m_options(std::move(options)) {
    if (!m_bus.isConnected()) {
        fail(QStringLiteral("no session bus"));
        return;
    }
    // KWin may come later or again (a compositor restarted under a running session): each
    // new owner of its name gets the script anew; while it is gone the position is unknown.
    auto* kwinWatcher = new QDBusServiceWatcher(
        KWinService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, &m_context);
    QObject::connect(
        kwinWatcher, &QDBusServiceWatcher::serviceOwnerChanged, &m_context,
        [this](const QString&, const QString&, const QString& owner) { kwinChanged(owner); });
    // Is KWin on the bus? Asked without waiting; the answer continues in kwinLooked().
    auto ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask.setArguments({KWinService});
    send(ask, &KWinPointerPosition::kwinLooked);
}

KWinPointerPosition::~KWinPointerPosition() {
    if (m_loadSent) {
        // Waited for (briefly): a message merely queued may not leave before the process ends.
        auto unload = QDBusMessage::createMethodCall(KWinService, ScriptingPath, ScriptingInterface,
                                                     QStringLiteral("unloadScript"));
        unload.setArguments({PluginName});
        m_bus.call(unload, QDBus::Block, m_options.exitTimeoutMs);
    }
    if (m_receiver) m_bus.unregisterObject(ObjectPath);
    if (!m_scriptPath.isEmpty()) QFile::remove(m_scriptPath);
}

std::optional<PointerPosition::Point> KWinPointerPosition::current() const {
    if (!m_known.load(std::memory_order_acquire)) return std::nullopt;
    const std::uint64_t packed = m_position.load(std::memory_order_relaxed);
    return Point{static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 32)),
                 static_cast<std::int32_t>(static_cast<std::uint32_t>(packed))};
}

void KWinPointerPosition::report(std::int32_t x, std::int32_t y) {
    m_position.store(std::uint64_t(std::uint32_t(x)) << 32 | std::uint32_t(y),
                     std::memory_order_relaxed);
    m_known.store(true, std::memory_order_release);
    m_reports.fetch_add(1, std::memory_order_relaxed);
}

void KWinPointerPosition::call(const QString& path, const QString& interface, const QString& method,
                               const QVariantList& args, Reply then) {
    auto message = QDBusMessage::createMethodCall(KWinService, path, interface, method);
    message.setArguments(args);
    send(message, then);
}

void KWinPointerPosition::send(const QDBusMessage& message, Reply then) {
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), &m_context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_context,
                     [this, then, generation = m_generation](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         // Answers of a KWin that has gone since are of no use.
                         if (generation == m_generation) (this->*then)(w->reply());
                     });
}

void KWinPointerPosition::kwinChanged(const QString& owner) {
    ++m_generation;
    m_scriptingTries = 0;
    m_running.store(false, std::memory_order_release);
    m_known.store(false, std::memory_order_release);
    if (owner.isEmpty()) {
        qInfo("Pointer position: KWin left the session bus; not available until it is back");
        m_settled.store(true, std::memory_order_release);
        return;
    }
    qInfo("Pointer position: KWin came on the session bus");
    m_settled.store(false, std::memory_order_release);
    // KWin takes its name before its scripting is ready.
    QTimer::singleShot(m_options.kwinSettleMs, &m_context, [this, generation = m_generation] {
        if (generation == m_generation) setUp();
    });
}

void KWinPointerPosition::fail(const QString& why) {
    qInfo("Pointer position: not available on this desktop (%s)", qUtf8Printable(why.simplified()));
    m_settled.store(true, std::memory_order_release);
}

void KWinPointerPosition::kwinLooked(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool()) {
        const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
        fail(QStringLiteral("no KWin on the session bus%1")
                 .arg(desktop.isEmpty() ? QString() : QStringLiteral(", desktop ") + desktop));
        return;
    }
    setUp();
}

void KWinPointerPosition::setUp() {
    const QString service = m_bus.baseService();
    // A unique connection name (":1.42") needs no quoting inside the script's string.
    if (!QRegularExpression(QStringLiteral("^:[0-9A-Za-z_.-]+$")).match(service).hasMatch()) {
        fail(QStringLiteral("unexpected connection name %1").arg(service));
        return;
    }
    if (!m_receiver) {
        m_receiver = std::make_unique<Receiver>(*this);
        if (!m_bus.registerVirtualObject(ObjectPath, m_receiver.get())) {
            m_receiver.reset();
            fail(QStringLiteral("the object %1 could not be registered").arg(ObjectPath));
            return;
        }
    }
    QString folder = m_options.scriptFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString path =
        QDir(folder).filePath(QStringLiteral("pathtally-pointer-%1.js").arg(::getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(Script(service, m_options.reportIntervalMs).toUtf8()) < 0 || !file.flush()) {
        fail(QStringLiteral("the script could not be written to %1").arg(path));
        return;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_scriptPath = path;
    // A script left loaded by a run that ended abruptly would keep the name taken.
    call(ScriptingPath, ScriptingInterface, QStringLiteral("unloadScript"), {PluginName},
         &KWinPointerPosition::oldScriptUnloaded);
}

void KWinPointerPosition::oldScriptUnloaded(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // A KWin still starting (the program started with the session) has its name on
        // the bus before its scripting object: asked again a few times.
        if (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.UnknownObject") &&
            m_scriptingTries < kScriptingTries) {
            ++m_scriptingTries;
            QTimer::singleShot(m_options.kwinSettleMs, &m_context,
                               [this, generation = m_generation] {
                                   if (generation == m_generation) setUp();
                               });
            return;
        }
        fail(QStringLiteral("KWin offers no scripting: %1").arg(reply.errorMessage()));
        return;
    }
    m_loadSent = true;
    call(ScriptingPath, ScriptingInterface, QStringLiteral("loadScript"),
         {m_scriptPath, PluginName}, &KWinPointerPosition::loaded);
}

void KWinPointerPosition::loaded(const QDBusMessage& reply) {
    bool ok = false;
    const int id = reply.arguments().value(0).toInt(&ok);
    if (reply.type() != QDBusMessage::ReplyMessage || !ok || id < 0) {
        fail(QStringLiteral("KWin did not load the script%1")
                 .arg(reply.type() == QDBusMessage::ErrorMessage ? ": " + reply.errorMessage()
                                                                 : QString()));
        return;
    }
    m_scriptId = id;
    // Where KWin puts a loaded script differs between versions (5.27 at /<id>, 6 at
    // /Scripting/Script<id>): its own list of objects at the root says which.
    call(QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Introspectable"),
         QStringLiteral("Introspect"), {}, &KWinPointerPosition::objectsListed);
}

QString KWinPointerPosition::ScriptObjectPath(const QString& rootIntrospection, int id) {
    // A child node of the root named after the id; else KWin keeps its scripts below
    // /Scripting.
    const QRegularExpression node(QStringLiteral("<node\\s+name\\s*=\\s*\"%1\"").arg(id));
    return node.match(rootIntrospection).hasMatch() ? QStringLiteral("/%1").arg(id)
                                                    : QStringLiteral("/Scripting/Script%1").arg(id);
}

void KWinPointerPosition::objectsListed(const QDBusMessage& reply) {
    const QString xml = reply.type() == QDBusMessage::ReplyMessage
                            ? reply.arguments().value(0).toString()
                            : QString();
    call(ScriptObjectPath(xml, m_scriptId), ScriptInterface, QStringLiteral("run"), {},
         &KWinPointerPosition::ranAtScriptObject);
}

void KWinPointerPosition::ranAtScriptObject(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ErrorMessage) return started(reply);
    // A KWin whose scripts have no object of their own: start() runs every script loaded
    // and not yet running.
    call(ScriptingPath, ScriptingInterface, QStringLiteral("start"), {},
         &KWinPointerPosition::started);
}

void KWinPointerPosition::started(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
        fail(QStringLiteral("KWin did not run the script: %1").arg(reply.errorMessage()));
        return;
    }
    qInfo("Pointer position: from KWin (script %s, at most every %d ms)",
          qUtf8Printable(PluginName), m_options.reportIntervalMs);
    m_running.store(true, std::memory_order_release);
    m_settled.store(true, std::memory_order_release);
}

}  // namespace pt
