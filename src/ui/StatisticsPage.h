#pragma once

#include <QWidget>

namespace pt {

// Page 0 of the main window: travel, keystroke, click and time frames, the start-in-tray
// box, points and level, the ranking link and the test-mode label. Every widget carries
// its control name; the texts come from the main window's form model.
class StatisticsPage : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsPage(QWidget* parent = nullptr);
};

}  // namespace pt
