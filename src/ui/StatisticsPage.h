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

    // Gives the labels that change many times a second a fixed size, so a new figure
    // repaints only its own label instead of laying out the whole window again. Call once
    // the window's look (fonts) is final.
    void fixLiveLabels();

    // Shows the notice of a desktop whose input devices cannot be read (empty text: hidden)
    // and returns the height it adds to the page at the page width given.
    int showAccessNotice(const QString& text, int pageWidth);
};

}  // namespace pt
