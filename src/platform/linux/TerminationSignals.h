#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace pt {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the Qt event loop (a signal handler may
// do almost nothing itself; it writes to a socket pair that the loop watches).
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace pt
