#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/linux/PointerPosition.h"

class QDBusMessage;

namespace pt {

// The pointer's position on a desktop whose compositor is KWin, which hands it to its own
// scripts (workspace.cursorPos) without any permission. A small KWin script, written to the
// runtime folder, reports the position over the session bus to an object this class
// registers under the connection's unique name; reports come at most every
// reportIntervalMs while the pointer moves, the last position always among them, and none
// while it rests. Without KWin, or where it refuses the script, the position stays unknown
// and one line in the log says why. A KWin that comes (again) later gets the script then.
// Nothing here waits on the bus except the unloading of the script at the end (bounded by
// exitTimeoutMs).
class KWinPointerPosition : public PointerPosition {
public:
    struct Options {
        QString scriptFolder;  // empty: $XDG_RUNTIME_DIR
        int reportIntervalMs = 100;
        int exitTimeoutMs = 1000;
        // How long a KWin that has just taken its bus name is given to set up scripting.
        int kwinSettleMs = 2000;
    };

    // Looks for KWin on `bus` (the session bus) and, where it is there, loads and runs the
    // script. Call from a thread with a Qt event loop: the steps answer through it.
    explicit KWinPointerPosition(QDBusConnection bus);
    KWinPointerPosition(QDBusConnection bus, Options options);
    // Unloads the script and removes its file.
    ~KWinPointerPosition() override;
    KWinPointerPosition(const KWinPointerPosition&) = delete;
    KWinPointerPosition& operator=(const KWinPointerPosition&) = delete;

    std::optional<Point> current() const override;

    // The session bus where the session has one ($DBUS_SESSION_BUS_ADDRESS, else
    // $XDG_RUNTIME_DIR/bus), else a connection that is not connected: a bus is never
    // launched just for this.
    static QDBusConnection SessionBus();

    // True once KWin has run the script.
    bool scriptRunning() const { return m_running.load(std::memory_order_acquire); }
    // True once the attempt has ended, with the script running or not.
    bool settled() const { return m_settled.load(std::memory_order_acquire); }
    // Reports received so far.
    std::uint64_t reports() const { return m_reports.load(std::memory_order_relaxed); }
    // The script's file (empty until written).
    const QString& scriptPath() const { return m_scriptPath; }

    // The name the script is loaded under; a script left by a run that ended abruptly is
    // replaced, as only one instance of the program runs.
    static const QString PluginName;
    static const QString ObjectPath;
    static const QString Interface;
    static const QString Method;
    // The script's text: it calls Method(x, y) of `service` on ObjectPath.
    static QString Script(const QString& service, int reportIntervalMs);
    // The object of loaded script `id`, from KWin's introspection of its root object.
    static QString ScriptObjectPath(const QString& rootIntrospection, int id);

private:
    class Receiver;
    using Reply = void (KWinPointerPosition::*)(const QDBusMessage&);

    void call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& args, Reply then);
    void send(const QDBusMessage& message, Reply then);
    void kwinLooked(const QDBusMessage& reply);
    void kwinChanged(const QString& owner);
    void setUp();
    void oldScriptUnloaded(const QDBusMessage& reply);
    void loaded(const QDBusMessage& reply);
    void objectsListed(const QDBusMessage& reply);
    void ranAtScriptObject(const QDBusMessage& reply);
    void started(const QDBusMessage& reply);
    void fail(const QString& why);
    void report(std::int32_t x, std::int32_t y);

    QDBusConnection m_bus;
    Options m_options;
    QString m_scriptPath;
    int m_scriptId = -1;
    bool m_loadSent = false;
    int m_generation = 0;  // counts KWin's comings and goings; older answers are dropped
    static constexpr int kScriptingTries = 3;
    int m_scriptingTries = 0;  // of this KWin's, while its scripting object is not there
    // Receives the bus's answers on the creating thread; gone with this object.
    QObject m_context;
    std::unique_ptr<Receiver> m_receiver;

    // The last report packed as (x << 32 | y), published by m_known.
    std::atomic<std::uint64_t> m_position{0};
    std::atomic<bool> m_known{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_settled{false};
    std::atomic<std::uint64_t> m_reports{0};
};

}  // namespace pt
