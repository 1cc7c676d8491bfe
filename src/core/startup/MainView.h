#pragma once

#include <string>

#include "core/form/MainControls.h"

namespace pt {

// What the main window's presenter asks of its window beyond the controls of the form
// model: window state, tabs, the two web pages, the skin and the end of the process.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void applySkin() = 0;
    // The statistics page selected; the use-time, eye-care and news pages off; the window
    // sized from the tab control and the home panel.
    virtual void layOut() = 0;
    virtual void hideFromTaskList() = 0;
    virtual bool isWindowVisible() const = 0;
    virtual void hideWindow() = 0;
    // Shows a hidden window; normalState also restores a minimised one.
    virtual void showWindow(bool normalState) = 0;
    virtual void selectTab(main_controls::MainTab tab) = 0;
    virtual void setTabShown(main_controls::MainTab tab, bool shown) = 0;
    // Home panel under the tabs (WebBrowser1) and the news page (WebBrowser2).
    virtual void navigateHome(const std::string& url) = 0;
    virtual void collapseHome() = 0;
    virtual void navigateNews(const std::string& url) = 0;
    // Starts or stops the shutdown countdown's one-second timer; each of its seconds goes to
    // the presenter's onCountdownTick().
    virtual void runCountdownTimer(bool running) = 0;
    // Ends the process (after the presenter has done what must be done).
    virtual void quit() = 0;
};

}  // namespace pt
