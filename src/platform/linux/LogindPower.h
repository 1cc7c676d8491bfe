#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

#include "platform/Power.h"

namespace pt {

// Power actions through systemd-logind and the desktop's session manager over D-Bus.
//   power-off: PowerOffWithFlags(skip inhibitors), retried without the flag where logind
//              does not know it, PowerOff(interactive) where the *WithFlags calls are missing;
//   reboot:    RebootWithFlags(0), else Reboot(interactive);
//   log-off:   the session manager on the session bus (GNOME, KDE, Xfce) without its own
//              confirmation, else logind's Session.Terminate of this session.
// Interactive authorization is allowed, so polkit may ask for a password. Every D-Bus
// error becomes a refusal with a readable reason.
class LogindPower : public Power {
public:
    // The buses come from DBUS_SYSTEM_BUS_ADDRESS and DBUS_SESSION_BUS_ADDRESS when set
    // (read at each request), else from the standard locations.
    LogindPower() = default;
    PowerResult request(PowerAction action) override;

    // How long a request may wait for its answer (an authorization dialog included).
    static constexpr int TimeoutMs = 120000;

private:
    PowerResult powerOff(QDBusConnection& bus);
    PowerResult reboot(QDBusConnection& bus);
    PowerResult logOff();
    PowerResult terminateSession(QDBusConnection& bus);

    static QDBusConnection systemBus();
    static QDBusConnection sessionBus();
    static QDBusMessage call(QDBusConnection& bus, const QString& service, const QString& path,
                             const QString& interface, const QString& method,
                             const QVariantList& args);
    static PowerResult resultOf(const QDBusMessage& reply);
};

}  // namespace pt
