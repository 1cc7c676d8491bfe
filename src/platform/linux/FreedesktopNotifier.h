#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

#include "core/ports/DesktopNotifier.h"

namespace pt {

// Notices through the desktop's notification service (org.freedesktop.Notifications on the
// session bus). The call is sent without waiting for its reply: no notification service,
// no bus or a slow one never holds up the program. The bus is reached on the first notice.
class FreedesktopNotifier : public DesktopNotifier {
public:
    FreedesktopNotifier();
    explicit FreedesktopNotifier(QDBusConnection bus);

    void notify(const std::string& title, const std::string& text) override;

    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");

private:
    std::optional<QDBusConnection> m_bus;
};

}  // namespace pt
