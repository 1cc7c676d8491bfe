// The throttle between the pointer's moves and the widgets: held-back moves are never lost,
// the last one arrives, and nothing the pointer does after a move overtakes it.

#include "ui/PointerMoveThrottle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <vector>

#include "support/QtTestApp.h"

namespace pt {
namespace {

// A window that records the mouse events it is handed, as "type x".
class RecordingWindow : public QWindow {
public:
    std::vector<std::pair<QEvent::Type, int>> seen;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonPress ||
            e->type() == QEvent::MouseButtonRelease)
            seen.emplace_back(e->type(), int(static_cast<QMouseEvent*>(e)->position().x()));
        return QWindow::event(e);
    }
};

void Send(QWindow& window, QEvent::Type type, int x, Qt::MouseButtons buttons = Qt::NoButton) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, 5), QPointF(x, 5), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
}

class PointerMoveThrottleTest : public ::testing::Test {
protected:
    PointerMoveThrottleTest() { test::QtTestApp(); }
    RecordingWindow window;
    PointerMoveThrottle throttle{40};
};

TEST_F(PointerMoveThrottleTest, HoldsBackMovesWithinTheIntervalAndDeliversTheLast) {
    for (int x = 1; x <= 5; ++x) Send(window, QEvent::MouseMove, x);
    ASSERT_EQ(window.seen.size(), 1u) << "the first move goes through at once";
    EXPECT_EQ(window.seen[0].second, 1);
    ASSERT_TRUE(test::QtWaitUntil([&] { return window.seen.size() == 2; }, 5000));
    EXPECT_EQ(window.seen[1], std::make_pair(QEvent::MouseMove, 5)) << "the last move arrives";
}

TEST_F(PointerMoveThrottleTest, APressAndADragComeAfterTheMoveBeforeThem) {
    Send(window, QEvent::MouseMove, 1);
    Send(window, QEvent::MouseMove, 2);  // held back
    Send(window, QEvent::MouseButtonPress, 3, Qt::LeftButton);
    Send(window, QEvent::MouseMove, 4, Qt::LeftButton);  // a drag passes at once
    Send(window, QEvent::MouseMove, 5, Qt::LeftButton);
    Send(window, QEvent::MouseButtonRelease, 5);
    const std::vector<std::pair<QEvent::Type, int>> expected{
        {QEvent::MouseMove, 1}, {QEvent::MouseMove, 2}, {QEvent::MouseButtonPress, 3},
        {QEvent::MouseMove, 4}, {QEvent::MouseMove, 5}, {QEvent::MouseButtonRelease, 5}};
    EXPECT_EQ(window.seen, expected);
}

TEST_F(PointerMoveThrottleTest, AMoveHeldForAWindowThatIsGoneIsDropped) {
    auto other = std::make_unique<RecordingWindow>();
    Send(*other, QEvent::MouseMove, 1);
    Send(*other, QEvent::MouseMove, 2);  // held back for a window about to close
    other.reset();
    Send(window, QEvent::MouseMove, 3);
    ASSERT_TRUE(test::QtWaitUntil([&] { return !window.seen.empty(); }, 5000));
    EXPECT_EQ(window.seen.front(), std::make_pair(QEvent::MouseMove, 3));
}

}  // namespace
}  // namespace pt
