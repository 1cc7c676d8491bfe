#include "LogindPower.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QList>
#include <QStringList>
#include <chrono>
#include <cstring>

namespace pt {

namespace {

const QString Login1 = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString UnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString InvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");

// logind's flag that lets a power-off go ahead although a program holds an inhibitor lock.
constexpr qulonglong SkipInhibitors = 1ULL << 4;

// Where libdbus looks for the system bus when DBUS_SYSTEM_BUS_ADDRESS is unset.
constexpr const char* StandardSystemBus = "unix:path=/run/dbus/system_bus_socket";

// The first Unix socket in a D-Bus address list ("unix:path=/x,guid=...;tcp:...").
std::optional<std::pair<sockaddr_un, socklen_t>> UnixSocketOf(const QByteArray& addresses) {
    for (const QByteArray& entry : addresses.split(';')) {
        if (!entry.startsWith("unix:")) continue;
        for (const QByteArray& pair : entry.mid(5).split(',')) {
            const bool path = pair.startsWith("path="), abstract = pair.startsWith("abstract=");
            if (!path && !abstract) continue;
            const QByteArray name =
                QByteArray::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1));
            sockaddr_un socket{};
            socket.sun_family = AF_UNIX;
            const size_t offset = abstract ? 1 : 0;  // an abstract name begins with a 0 byte
            if (name.isEmpty() || offset + size_t(name.size()) >= sizeof socket.sun_path)
                return std::nullopt;
            std::memcpy(socket.sun_path + offset, name.constData(), size_t(name.size()));
            return std::pair{socket, socklen_t(offsetof(sockaddr_un, sun_path) + offset +
                                               size_t(name.size()) + (abstract ? 0 : 1))};
        }
    }
    return std::nullopt;
}

// Waits for `events` on `fd` until `deadline`; false on timeout.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(left.count()));
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) return true;  // let the real connection meet the error
    }
}

// True when a bus socket accepts a connection but does not answer the greeting every
// D-Bus client begins with within `timeoutMs`. A refused connection, a closed one or any
// answer are left for the real connection to meet and report.
bool StaysSilent(const QByteArray& address, int timeoutMs) {
    const auto socketAddress = UnixSocketOf(address);
    if (!socketAddress) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool silent = false;
    const auto& [where, length] = *socketAddress;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&where), length) != 0) {
        // A full backlog that nobody accepts from keeps a non-blocking connect waiting.
        silent = (errno == EAGAIN || errno == EINPROGRESS) && !WaitFor(fd, POLLOUT, deadline);
    } else {
        // The credentials byte, then the external authentication with our uid in hex.
        QByteArray greeting(1, '\0');
        greeting += "AUTH EXTERNAL " + QByteArray::number(::getuid()).toHex() + "\r\n";
        if (::send(fd, greeting.constData(), size_t(greeting.size()), MSG_NOSIGNAL) ==
            greeting.size())
            silent = !WaitFor(fd, POLLIN, deadline);
    }
    ::close(fd);
    return silent;
}

// A connection to the bus named by `variable`, else the standard one; one connection per
// address (a test may start several private buses in one process). Runs on the worker:
// connecting blocks until the bus has greeted us, which a silent bus would never do.
std::optional<QDBusConnection> ConnectTo(const char* variable, QDBusConnection (*standard)(),
                                         const char* standardAddress, PowerResult& failure) {
    const QByteArray address = qgetenv(variable);
    const QByteArray probed = address.isEmpty() ? QByteArray(standardAddress) : address;
    if (!probed.isEmpty() && StaysSilent(probed, LogindPower::ConnectTimeoutMs)) {
        failure = {false, PowerRefusal::NoAnswer,
                   "the message bus at " + probed.toStdString() + " did not answer within " +
                       std::to_string(LogindPower::ConnectTimeoutMs) + " ms"};
        return std::nullopt;
    }
    QDBusConnection bus = [&] {
        if (address.isEmpty()) return standard();
        const QString name = QStringLiteral("pathtally-power-%1:%2")
                                 .arg(QString::fromLatin1(variable), QString::fromUtf8(address));
        QDBusConnection existing(name);
        if (existing.isConnected()) return existing;
        QDBusConnection::disconnectFromBus(name);
        return QDBusConnection::connectToBus(QString::fromUtf8(address), name);
    }();
    if (!bus.isConnected()) {
        failure = {false, PowerRefusal::NoService,
                   "the message bus is not available: " +
                       (bus.lastError().name() + ": " + bus.lastError().message()).toStdString()};
        return std::nullopt;
    }
    return bus;
}

bool IsError(const QDBusMessage& reply, const QString& name) {
    return reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == name;
}

PowerRefusal WhyOf(const QString& errorName) {
    static const QStringList notAuthorized{
        QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
        QStringLiteral("org.freedesktop.DBus.Error.AuthFailed"),
        QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"),
        QStringLiteral("org.freedesktop.PolicyKit1.Error.NotAuthorized")};
    static const QStringList noService{
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        UnknownMethod,
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
        QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected")};
    static const QStringList noAnswer{QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
                                      QStringLiteral("org.freedesktop.DBus.Error.Timeout"),
                                      QStringLiteral("org.freedesktop.DBus.Error.TimedOut")};
    if (notAuthorized.contains(errorName)) return PowerRefusal::NotAuthorized;
    if (noService.contains(errorName)) return PowerRefusal::NoService;
    if (noAnswer.contains(errorName)) return PowerRefusal::NoAnswer;
    return PowerRefusal::Denied;
}

// A desktop's session manager and its log-off call that asks the running programs as a
// normal log-off does, without showing the desktop's own confirmation (the user has just
// confirmed in ours).
struct SessionManager {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    QVariantList (*args)();
};

const SessionManager SessionManagers[] = {
    {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "Logout",
     [] { return QVariantList{QVariant::fromValue(uint{1})}; }},
    {"org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logout", [] { return QVariantList{}; }},
    {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout",
     [] {
         return QVariantList{0, 0, 0};
     }},
    {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Logout",
     [] {
         return QVariantList{false, true};
     }},
};

}  // namespace

struct LogindPower::Request {
    PowerAction action = PowerAction::PowerOff;
    std::function<void(const PowerResult&)> done;
    std::optional<QDBusConnection> system, session;
    PowerResult systemFailure;  // why `system` is empty
};

LogindPower::~LogindPower() {
    // Bounded: the worker gives a silent bus up after ConnectTimeoutMs. Answers still on
    // their way are dropped with m_context.
    if (m_worker.joinable()) m_worker.join();
}

void LogindPower::request(PowerAction action, std::function<void(const PowerResult&)> done) {
    auto request = std::make_shared<Request>();
    request->action = action;
    request->done = std::move(done);
    if (m_connecting) {
        finish(request, {false, PowerRefusal::NoAnswer,
                         "an earlier request is still waiting for the message bus"});
        return;
    }
    if (m_worker.joinable()) m_worker.join();  // done with its work already
    m_connecting = true;
    m_worker = std::thread([this, request] {
        if (request->action == PowerAction::LogOff) {
            PowerResult ignored;  // without a session bus the log-off goes through logind
            request->session =
                ConnectTo("DBUS_SESSION_BUS_ADDRESS", &QDBusConnection::sessionBus, "", ignored);
        }
        request->system = ConnectTo("DBUS_SYSTEM_BUS_ADDRESS", &QDBusConnection::systemBus,
                                    StandardSystemBus, request->systemFailure);
        QMetaObject::invokeMethod(
            &m_context, [this, request] { connected(request); }, Qt::QueuedConnection);
        m_connecting = false;
    });
}

void LogindPower::connected(const std::shared_ptr<Request>& request) {
    if (request->action == PowerAction::LogOff) return logOff(request);
    if (!request->system) return finish(request, request->systemFailure);
    if (request->action == PowerAction::Reboot) return reboot(request);
    powerOff(request);
}

void LogindPower::call(QDBusConnection& bus, const QString& service, const QString& path,
                       const QString& interface, const QString& method, const QVariantList& args,
                       Reply then) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    message.setInteractiveAuthorizationAllowed(true);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, TimeoutMs), &m_context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_context,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->reply());
                     });
}

void LogindPower::finish(const std::shared_ptr<Request>& request, const PowerResult& result) {
    if (!result.accepted) qWarning("Power request refused: %s", result.detail.c_str());
    if (auto done = std::exchange(request->done, nullptr)) done(result);
}

PowerResult LogindPower::resultOf(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) return {true, {}, {}};
    QString detail = reply.errorName().isEmpty() ? QStringLiteral("no answer") : reply.errorName();
    if (!reply.errorMessage().isEmpty()) detail += QStringLiteral(": ") + reply.errorMessage();
    return {false, WhyOf(reply.errorName()), detail.toStdString()};
}

void LogindPower::powerOff(const std::shared_ptr<Request>& request) {
    // Where the *WithFlags calls are missing, the plain call with interactive authorization.
    Reply plainWhereUnknown = [this, request](const QDBusMessage& reply) {
        if (!IsError(reply, UnknownMethod)) return finish(request, resultOf(reply));
        call(*request->system, Login1, Login1Path, Manager, QStringLiteral("PowerOff"), {true},
             [request](const QDBusMessage& plain) { finish(request, resultOf(plain)); });
    };
    call(*request->system, Login1, Login1Path, Manager, QStringLiteral("PowerOffWithFlags"),
         {QVariant::fromValue(SkipInhibitors)},
         [this, request, plainWhereUnknown](const QDBusMessage& reply) {
             // A logind older than the flag refuses it as an invalid argument.
             if (!IsError(reply, InvalidArgs)) return plainWhereUnknown(reply);
             call(*request->system, Login1, Login1Path, Manager,
                  QStringLiteral("PowerOffWithFlags"), {QVariant::fromValue(qulonglong{0})},
                  plainWhereUnknown);
         });
}

void LogindPower::reboot(const std::shared_ptr<Request>& request) {
    call(*request->system, Login1, Login1Path, Manager, QStringLiteral("RebootWithFlags"),
         {QVariant::fromValue(qulonglong{0})}, [this, request](const QDBusMessage& reply) {
             if (!IsError(reply, UnknownMethod)) return finish(request, resultOf(reply));
             call(*request->system, Login1, Login1Path, Manager, QStringLiteral("Reboot"), {true},
                  [request](const QDBusMessage& plain) { finish(request, resultOf(plain)); });
         });
}

void LogindPower::logOff(const std::shared_ptr<Request>& request) {
    if (!request->session) return terminateSession(request);
    call(*request->session, QStringLiteral("org.freedesktop.DBus"),
         QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
         QStringLiteral("ListNames"), {}, [this, request](const QDBusMessage& reply) {
             const QStringList names = reply.arguments().value(0).toStringList();
             for (const SessionManager& m : SessionManagers) {
                 if (!names.contains(QString::fromLatin1(m.service))) continue;
                 call(*request->session, QString::fromLatin1(m.service),
                      QString::fromLatin1(m.path), QString::fromLatin1(m.interface),
                      QString::fromLatin1(m.method), m.args(),
                      [request](const QDBusMessage& answer) { finish(request, resultOf(answer)); });
                 return;
             }
             terminateSession(request);
         });
}

void LogindPower::terminateSession(const std::shared_ptr<Request>& request) {
    if (!request->system) return finish(request, request->systemFailure);
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    Reply terminate = [this, request](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage) return finish(request, resultOf(reply));
        const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (path.isEmpty())
            return finish(request,
                          {false, PowerRefusal::Denied, "logind did not name this session"});
        call(*request->system, Login1, path, QStringLiteral("org.freedesktop.login1.Session"),
             QStringLiteral("Terminate"), {},
             [request](const QDBusMessage& answer) { finish(request, resultOf(answer)); });
    };
    if (id.isEmpty())
        call(*request->system, Login1, Login1Path, Manager, QStringLiteral("GetSessionByPID"),
             {QVariant::fromValue(uint(::getpid()))}, terminate);
    else
        call(*request->system, Login1, Login1Path, Manager, QStringLiteral("GetSession"), {id},
             terminate);
}

}  // namespace pt
