#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "core/ports/Power.h"

namespace pt {

// Power actions through systemd-logind and the desktop's session manager over D-Bus.
//   power-off: PowerOffWithFlags(skip inhibitors), retried without the flag where logind
//              does not know it, PowerOff(interactive) where the *WithFlags calls are missing;
//   reboot:    RebootWithFlags(0), else Reboot(interactive);
//   log-off:   the session manager on the session bus (GNOME, KDE, Xfce) without its own
//              confirmation, else logind's Session.Terminate of this session.
// Interactive authorization is allowed, so polkit may ask for a password. Nothing here
// waits on the bus in the caller's thread: the buses are reached on a worker thread (a bus
// that accepts the connection and never speaks is given up after ConnectTimeoutMs), the
// calls are asynchronous, and the answer comes back through the caller's event loop.
// Every D-Bus error becomes a refusal; its full text is logged.
class LogindPower : public Power {
public:
    // The buses come from DBUS_SYSTEM_BUS_ADDRESS and DBUS_SESSION_BUS_ADDRESS when set
    // (read at each request), else from the standard locations.
    LogindPower() = default;
    ~LogindPower() override;
    LogindPower(const LogindPower&) = delete;
    LogindPower& operator=(const LogindPower&) = delete;

    void request(PowerAction action, std::function<void(const PowerResult&)> done) override;

    // How long a call may wait for its answer (an authorization dialog included).
    static constexpr int TimeoutMs = 60000;
    // How long a bus may take to answer the greeting of a new connection.
    static constexpr int ConnectTimeoutMs = 3000;

private:
    struct Request;
    using Reply = std::function<void(const QDBusMessage&)>;

    void connected(const std::shared_ptr<Request>& request);
    void powerOff(const std::shared_ptr<Request>& request);
    void reboot(const std::shared_ptr<Request>& request);
    void logOff(const std::shared_ptr<Request>& request);
    void terminateSession(const std::shared_ptr<Request>& request);
    void call(QDBusConnection& bus, const QString& service, const QString& path,
              const QString& interface, const QString& method, const QVariantList& args,
              Reply then);

    static void finish(const std::shared_ptr<Request>& request, const PowerResult& result);
    static PowerResult resultOf(const QDBusMessage& reply);

    // Receives the worker's and the buses' answers on the thread that made the requests.
    QObject m_context;
    std::thread m_worker;
    std::atomic<bool> m_connecting{false};
};

}  // namespace pt
