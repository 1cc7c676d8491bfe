#include "PointerMoveThrottle.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

namespace pt {

PointerMoveThrottle::PointerMoveThrottle(int intervalMs, QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PointerMoveThrottle::deliverPending);
    QCoreApplication::instance()->installEventFilter(this);
}

PointerMoveThrottle::~PointerMoveThrottle() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool PointerMoveThrottle::eventFilter(QObject* watched, QEvent* event) {
    if (m_delivering || !watched->isWindowType()) return false;
    auto* window = static_cast<QWindow*>(watched);
    switch (event->type()) {
        case QEvent::MouseMove:
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Leave:
        case QEvent::Enter:
            // What the pointer does next comes after the move before it.
            if (m_pending) deliverPending();
            return false;
        default:
            return false;
    }
    auto* move = static_cast<QMouseEvent*>(event);
    if (move->buttons() != Qt::NoButton) {
        if (m_pending) deliverPending();
        return false;
    }
    if (m_pending && m_pendingWindow != window) deliverPending();
    if (!m_timer.isActive()) {
        m_timer.start();
        return false;  // the first move of a while goes through
    }
    m_pending.reset(move->clone());
    m_pendingWindow = window;
    return true;
}

void PointerMoveThrottle::deliverPending() {
    m_timer.stop();
    const std::unique_ptr<QMouseEvent> move = std::move(m_pending);
    const QPointer<QWindow> window = m_pendingWindow;
    m_pendingWindow = nullptr;
    if (!move || !window) return;
    m_delivering = true;
    QCoreApplication::sendEvent(window, move.get());
    m_delivering = false;
    m_timer.start();
}

}  // namespace pt
