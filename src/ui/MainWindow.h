#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/shell/CommandTable.h"
#include "core/startup/MainPresenter.h"
#include "core/startup/MainView.h"
#include "ui/FormBinder.h"

class QLabel;
class QMenu;
class QScrollArea;
class QSystemTrayIcon;
class QTabWidget;

namespace pt {

class DesignedMinimumWidget;

class ShutdownPage;
class StatisticsPage;
class WebView;

// The main window ("Form1"): tabs, status bar, menus and tray icon, a passive view of the
// presenter's form model. The sampling tick repaints 4 times a second; the cursor source
// measures the pointer on its own thread.
class MainWindow : public QMainWindow, public MainView {
    Q_OBJECT
public:
    // Takes a window off the task list: the system's own way, given by the composition root
    // (none where the system offers none).
    using TaskListKeeper = std::function<void(QWidget*)>;

    MainWindow(MainServices services, MainParts& parts, TaskListKeeper keepOffTaskList = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    MainPresenter& presenter() { return *m_presenter; }
    // Controls of the window that no widget carries (none when the view is complete).
    std::vector<std::string> unboundControls() const { return m_binder->unboundControls(); }
    // Controls a person can click that have no command (none when the wiring is complete;
    // the day history's items have one only where there is a history).
    std::vector<std::string> controlsWithoutCommand() const;

    // Runs the start-up sequence and starts the ticks.
    void start();
    // Shows the window unless it starts hidden in the tray (and there is a tray to hide in).
    void showAtStart();
    // Shows the window, restored and in front (a later start of the program asks for it).
    void bringToFront();

    // What a click on each control does: the presenter registers its own commands, the
    // composition root the program's (the dialogs, the site's pages). One per control.
    CommandTable& commands() { return m_commands; }
    // Period of the one-second tick; only tests shorten it (set before start()).
    int secondTickMs = 1000;

    // MainView
    void applySkin() override;
    void layOut() override;
    void hideFromTaskList() override;
    bool isWindowVisible() const override { return isVisible(); }
    void hideWindow() override;
    void showWindow(bool normalState) override;
    void selectTab(main_controls::MainTab tab) override;
    void setTabShown(main_controls::MainTab tab, bool shown) override;
    void navigateHome(const std::string& url) override;
    void collapseHome() override;
    void navigateNews(const std::string& url) override;
    void runCountdownTimer(bool running) override;
    void quit() override;

signals:
    // Every time the window is shown.
    void shown();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void dispatch(ControlId id);
    void onSamplingTimer();
    // The window's minimum (and, with `toContent`, its size) from what the pages need at the
    // present font, never below the designed size; on a smaller screen the pages scroll.
    void fitToScreen(bool toContent);
    bool eventFilter(QObject* watched, QEvent* event) override;

    CommandTable m_commands;  // before the presenter, which registers its commands
    const TaskListKeeper m_keepOffTaskList;
    std::unique_ptr<MainPresenter> m_presenter;
    FormBinder* m_binder = nullptr;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_pages[main_controls::MainTabCount] = {};  // by TabIndex, shown or not
    QString m_tabTitles[main_controls::MainTabCount];
    DesignedMinimumWidget* m_column = nullptr;  // the tab control above the home strip
    QScrollArea* m_scroll = nullptr;            // around m_column, only where it does not fit
    bool m_fitQueued = false;
    WebView* m_home = nullptr;
    WebView* m_news = nullptr;
    ShutdownPage* m_shutdownPage = nullptr;
    StatisticsPage* m_statisticsPage = nullptr;
    QMenu* m_rightMenu = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QLabel* m_datePanel = nullptr;
    QString m_datePanelText;  // last measured
    QTimer m_samplingTimer;
    QTimer m_secondTimer;
    bool m_offTaskList = false;
    int m_tabWidth = 0, m_tabHeight = 0, m_homeHeight = 0;
    int m_noticeHeight = 0;  // what the input-access notice adds to the statistics page
    bool m_fitsScreen = true;
};

}  // namespace pt
