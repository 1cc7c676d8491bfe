#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QMouseEvent;
class QWindow;

namespace pt {

// Hands the program's windows the pointer's moves without a button held at most every
// `intervalMs`, the last one always. A mouse moved over a window reports up to 1000 moves a
// second, and the toolkit walks the widget tree for each (hover, enter and leave, tooltips)
// though a display shows at most one in 16 ms of them. Presses, releases, drags, the
// pointer leaving and the wheel pass at once, each after the move held back before it.
// Filters the application's events while it lives.
class PointerMoveThrottle : public QObject {
public:
    explicit PointerMoveThrottle(int intervalMs, QObject* parent = nullptr);
    ~PointerMoveThrottle() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliverPending();

    QTimer m_timer;
    QPointer<QWindow> m_pendingWindow;
    std::unique_ptr<QMouseEvent> m_pending;
    bool m_delivering = false;
};

}  // namespace pt
