#pragma once

#include <QWidget>
#include <functional>

class QTimer;

namespace pt {

class ShutdownScheduler;

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
    // Lets the scheduler drive the countdown timer: started and stopped when it says (and
    // at once when a countdown is already running), each second handed to the scheduler and
    // then to `afterTick`, where the window shows the new state.
    void connectCountdown(ShutdownScheduler& scheduler, std::function<void()> afterTick);

private:
    void orderForKeyboard();

    QTimer* m_countdownTimer;
};

}  // namespace pt
