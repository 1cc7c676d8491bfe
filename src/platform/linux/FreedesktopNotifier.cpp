#include "FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "platform/linux/KWinPointerPosition.h"

namespace pt {

FreedesktopNotifier::FreedesktopNotifier() = default;

FreedesktopNotifier::FreedesktopNotifier(QDBusConnection bus) : m_bus(std::move(bus)) {}

void FreedesktopNotifier::notify(const std::string& title, const std::string& text) {
    // The session bus only where one is announced: no bus is started for a notice.
    if (!m_bus) m_bus = KWinPointerPosition::SessionBus();
    if (!m_bus->isConnected()) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // The body may be read as markup by servers that offer it: the text goes escaped.
    const QString body = QString::fromStdString(text).toHtmlEscaped();
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("net.pathtally.Pathtally"));
    call << QStringLiteral("Pathtally") << 0u << QStringLiteral("net.pathtally.Pathtally")
         << QString::fromStdString(title) << body << QStringList() << hints << -1;
    // Not waiting for the reply: the service may be absent or slow.
    m_bus->send(call);
}

}  // namespace pt
