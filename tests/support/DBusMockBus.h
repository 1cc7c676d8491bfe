#pragma once

// A private message bus with python3-dbusmock objects on it, for the tests of the parts that
// talk D-Bus. The real buses are never touched.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Readable failures for Qt strings (found by argument-dependent lookup).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << "{" << list.join(QStringLiteral("; ")).toStdString() << "}";
}

namespace pt::test {

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

// A private message bus serving as both the system and the session bus, with
// python3-dbusmock objects on it. The real buses are never touched.
class MockBus {
public:
    MockBus() {
        App();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000)) return;
        QElapsedTimer clock;
        clock.start();
        while (!m_daemon.canReadLine() && clock.elapsed() < 5000) m_daemon.waitForReadyRead(100);
        address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        if (address.isEmpty()) return;
        m_saved[0] = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        m_saved[1] = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
        m_connectionName = QStringLiteral("mock-observer-") + address;
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address, m_connectionName));
    }
    ~MockBus() {
        for (const QString& name : m_connections) QDBusConnection::disconnectFromBus(name);
        m_bus.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
        for (auto& mock : m_mocks) {
            mock->kill();
            mock->waitForFinished(2000);
        }
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_saved[0]);
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_saved[1]);
    }
    bool ready() const { return m_bus && m_bus->isConnected(); }

    // Starts python3-dbusmock with these arguments and waits until `name` is on the bus.
    bool startMock(const QStringList& args, const QString& name) {
        auto mock = std::make_unique<QProcess>();
        mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock->start(QStringLiteral("/usr/bin/python3"),
                    QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + args);
        m_mocks.push_back(std::move(mock));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            if (m_bus->interface()->isServiceRegistered(name).value()) return true;
            QThread::msleep(50);
        }
        return false;
    }

    // Ends every mock started so far and waits until `name` has left the bus.
    bool stopMocks(const QString& name) {
        for (auto& mock : m_mocks) {
            mock->kill();
            mock->waitForFinished(2000);
        }
        m_mocks.clear();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            if (!m_bus->interface()->isServiceRegistered(name).value()) return true;
            QThread::msleep(50);
        }
        return false;
    }

    // A call on a mock object's control interface (AddMethod, AddSession, ...).
    QDBusMessage control(const QString& service, const QString& path, const QString& method,
                         const QVariantList& args) {
        auto message = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("org.freedesktop.DBus.Mock"), method);
        message.setArguments(args);
        return m_bus->call(message, QDBus::Block, 10000);
    }

    // The calls an object received, as "Method(arg, arg)".
    QStringList calls(const QString& service, const QString& path) {
        QStringList result;
        const QDBusMessage reply = control(service, path, QStringLiteral("GetCalls"), {});
        if (reply.type() != QDBusMessage::ReplyMessage) return {reply.errorMessage()};
        const auto log = reply.arguments().value(0).value<QDBusArgument>();
        log.beginArray();
        while (!log.atEnd()) {
            qulonglong time = 0;
            QString method;
            log.beginStructure();
            log >> time >> method;
            QStringList args;
            log.beginArray();
            while (!log.atEnd()) {
                QDBusVariant value;
                log >> value;
                const QVariant v = value.variant();
                args << (v.typeId() == QMetaType::Bool ? (v.toBool() ? "true" : "false")
                                                       : v.toString());
            }
            log.endArray();
            log.endStructure();
            result << method + "(" + args.join(", ") + ")";
        }
        log.endArray();
        return result;
    }

    // A further connection of this process to the bus, with a unique name of its own.
    QDBusConnection connection(const QString& name) {
        const QString full = name + QStringLiteral("-") + address;
        m_connections << full;
        return QDBusConnection::connectToBus(address, full);
    }
    // The connection the mocks are driven through, for calls as any other peer makes them.
    QDBusConnection& observer() { return *m_bus; }

    QString address;

private:
    QStringList m_connections;
    QProcess m_daemon;
    std::vector<std::unique_ptr<QProcess>> m_mocks;
    std::unique_ptr<QDBusConnection> m_bus;
    QString m_connectionName;
    QByteArray m_saved[2];
};

// Runs the event loop until `done` holds or `limitMs` passes; false on timeout. Sleeps
// between events (a timer wakes it every 20 ms to look again).
inline bool SpinUntil(const std::function<bool()>& done, int limitMs = 30000) {
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

}  // namespace pt::test
