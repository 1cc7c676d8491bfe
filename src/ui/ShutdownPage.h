#pragma once

#include <QWidget>
#include <functional>

class QTimer;

namespace pt {

// Page 3 of the main window's tabs: the frame of the countdown and the clock rules
// (Frame1) and the frame of the three power buttons (Frame2). A passive view: every
// child carries the name of its control, a FormBinder renders the shutdown presenter's
// form onto it and sends clicks and edits back by name.
class ShutdownPage : public QWidget {
    Q_OBJECT
public:
    explicit ShutdownPage(QWidget* parent = nullptr);

    // The countdown's one-second timer (Timer3), off until a countdown starts.
    QTimer* countdownTimer() const { return m_countdownTimer; }
    // Each second of the countdown timer goes to `eachSecond` (the schedule's countdown
    // tick, then the window showing the new state).
    void connectCountdown(std::function<void()> eachSecond);
    // Starts or stops the countdown timer, as the schedule says.
    void runCountdown(bool running);

private:
    void orderForKeyboard();

    QTimer* m_countdownTimer;
};

}  // namespace pt
