#include "LogindPower.h"

#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace pt {

namespace {

const QString Login1 = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString UnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString InvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");

// logind's flag that lets a power-off go ahead although a program holds an inhibitor lock.
constexpr qulonglong SkipInhibitors = 1ULL << 4;

QDBusConnection ConnectTo(const char* variable, QDBusConnection (*standard)()) {
    const QByteArray address = qgetenv(variable);
    if (address.isEmpty()) return standard();
    // One connection per address: a test may start several private buses in one process.
    const QString name = QStringLiteral("pathtally-power-%1:%2")
                             .arg(QString::fromLatin1(variable), QString::fromUtf8(address));
    QDBusConnection existing(name);
    if (existing.isConnected()) return existing;
    QDBusConnection::disconnectFromBus(name);
    return QDBusConnection::connectToBus(QString::fromUtf8(address), name);
}

bool IsError(const QDBusMessage& reply, const QString& name) {
    return reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == name;
}

}  // namespace

QDBusConnection LogindPower::systemBus() {
    return ConnectTo("DBUS_SYSTEM_BUS_ADDRESS", &QDBusConnection::systemBus);
}

QDBusConnection LogindPower::sessionBus() {
    return ConnectTo("DBUS_SESSION_BUS_ADDRESS", &QDBusConnection::sessionBus);
}

QDBusMessage LogindPower::call(QDBusConnection& bus, const QString& service, const QString& path,
                               const QString& interface, const QString& method,
                               const QVariantList& args) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    message.setInteractiveAuthorizationAllowed(true);
    return bus.call(message, QDBus::Block, TimeoutMs);
}

PowerResult LogindPower::resultOf(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) return {true, {}};
    QString reason = reply.errorMessage();
    if (reason.isEmpty()) reason = QStringLiteral("no answer");
    if (!reply.errorName().isEmpty()) reason += QStringLiteral(" (%1)").arg(reply.errorName());
    return {false, reason.toStdString()};
}

PowerResult LogindPower::request(PowerAction action) {
    if (action == PowerAction::LogOff) return logOff();
    QDBusConnection bus = systemBus();
    if (!bus.isConnected())
        return {false, "the system message bus is not available (" +
                           bus.lastError().message().toStdString() + ")"};
    return action == PowerAction::Reboot ? reboot(bus) : powerOff(bus);
}

PowerResult LogindPower::powerOff(QDBusConnection& bus) {
    QDBusMessage reply = call(bus, Login1, Login1Path, Manager, QStringLiteral("PowerOffWithFlags"),
                              {QVariant::fromValue(SkipInhibitors)});
    // A logind older than the flag refuses it as an invalid argument.
    if (IsError(reply, InvalidArgs))
        reply = call(bus, Login1, Login1Path, Manager, QStringLiteral("PowerOffWithFlags"),
                     {QVariant::fromValue(qulonglong{0})});
    if (IsError(reply, UnknownMethod))
        reply = call(bus, Login1, Login1Path, Manager, QStringLiteral("PowerOff"), {true});
    return resultOf(reply);
}

PowerResult LogindPower::reboot(QDBusConnection& bus) {
    QDBusMessage reply = call(bus, Login1, Login1Path, Manager, QStringLiteral("RebootWithFlags"),
                              {QVariant::fromValue(qulonglong{0})});
    if (IsError(reply, UnknownMethod))
        reply = call(bus, Login1, Login1Path, Manager, QStringLiteral("Reboot"), {true});
    return resultOf(reply);
}

PowerResult LogindPower::logOff() {
    QDBusConnection session = sessionBus();
    if (session.isConnected() && session.interface()) {
        auto registered = [&](const char* name) {
            return session.interface()->isServiceRegistered(QString::fromLatin1(name)).value();
        };
        // Each asks the running programs as a normal log-off does, without showing the
        // desktop's own confirmation: the user has just confirmed in ours.
        if (registered("org.gnome.SessionManager"))
            return resultOf(call(session, QStringLiteral("org.gnome.SessionManager"),
                                 QStringLiteral("/org/gnome/SessionManager"),
                                 QStringLiteral("org.gnome.SessionManager"),
                                 QStringLiteral("Logout"), {QVariant::fromValue(uint{1})}));
        if (registered("org.kde.Shutdown"))
            return resultOf(call(session, QStringLiteral("org.kde.Shutdown"),
                                 QStringLiteral("/Shutdown"), QStringLiteral("org.kde.Shutdown"),
                                 QStringLiteral("logout"), {}));
        if (registered("org.kde.ksmserver"))
            return resultOf(call(
                session, QStringLiteral("org.kde.ksmserver"), QStringLiteral("/KSMServer"),
                QStringLiteral("org.kde.KSMServerInterface"), QStringLiteral("logout"), {0, 0, 0}));
        if (registered("org.xfce.SessionManager"))
            return resultOf(call(session, QStringLiteral("org.xfce.SessionManager"),
                                 QStringLiteral("/org/xfce/SessionManager"),
                                 QStringLiteral("org.xfce.Session.Manager"),
                                 QStringLiteral("Logout"), {false, true}));
    }
    QDBusConnection bus = systemBus();
    if (!bus.isConnected())
        return {false, "the system message bus is not available (" +
                           bus.lastError().message().toStdString() + ")"};
    return terminateSession(bus);
}

PowerResult LogindPower::terminateSession(QDBusConnection& bus) {
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    QDBusMessage reply =
        id.isEmpty() ? call(bus, Login1, Login1Path, Manager, QStringLiteral("GetSessionByPID"),
                            {QVariant::fromValue(uint(::getpid()))})
                     : call(bus, Login1, Login1Path, Manager, QStringLiteral("GetSession"), {id});
    if (reply.type() != QDBusMessage::ReplyMessage) return resultOf(reply);
    const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (path.isEmpty()) return {false, "logind did not name this session"};
    return resultOf(call(bus, Login1, path, QStringLiteral("org.freedesktop.login1.Session"),
                         QStringLiteral("Terminate"), {}));
}

}  // namespace pt
