#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "startup/Form1.h"
#include "startup/Form1View.h"

class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTabWidget;

namespace pt {

class FormBinder;

// The main window ("Form1"): tabs, status bar, menus and tray icon, a passive view of the
// presenter's form model. The sampling tick runs at display rate while the window is
// shown and slowly while it is hidden; the cursor source samples at 1 kHz on its own.
class MainWindow : public QMainWindow, public Form1View {
    Q_OBJECT
public:
    explicit MainWindow(Form1Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form1& presenter() { return *m_presenter; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }

    // Runs the start-up sequence and starts the ticks; shows the window unless it starts
    // hidden in the tray (and there is a tray to hide in).
    void start();

    // Opens secondary windows and handles commands the presenter leaves to the view.
    // Registered by the composition root, by control or menu name.
    void setCommand(const std::string& name, std::function<void()> command);
    // Hides the window from the task list (platform specific, set by the composition root).
    std::function<void(QWidget*)> skipTaskbar;
    // Called once, after start-up, with the page widget of tab 3 to be filled.
    QWidget* shutdownPageHost() const { return m_shutdownHost; }
    FormBinder& binder() { return *m_binder; }

    // Form1View
    void applySkin() override;
    void layOut() override;
    void hideFromTaskList() override;
    bool isWindowVisible() const override { return isVisible(); }
    bool isWindowMinimized() const override { return isMinimized(); }
    void hideWindow() override;
    void showWindow(bool normalState) override;
    void selectTab(int index) override;
    void setTabShown(int index, bool shown) override;
    void navigateHome(const std::string& url) override;
    void collapseHome() override;
    void navigateNews(const std::string& url) override;
    void quit() override;

    // What the pages would load; the web engine starts only once the window is shown.
    const std::string& pendingHomeUrl() const { return m_homeUrl; }
    const std::string& pendingNewsUrl() const { return m_newsUrl; }
    // Called with (control name, url) when a page is first shown and must load.
    std::function<void(QWidget* host, const std::string& url)> loadPage;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void dispatch(const std::string& name);
    void onSamplingTimer();
    void loadPagesIfShown();

    std::unique_ptr<Form1> m_presenter;
    FormBinder* m_binder = nullptr;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_home = nullptr;
    QWidget* m_news = nullptr;
    QWidget* m_shutdownHost = nullptr;
    QMenu* m_rightMenu = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer m_timer1;
    QTimer m_timer2;
    std::map<std::string, std::function<void()>> m_commands;
    std::string m_homeUrl, m_newsUrl;
    bool m_homeLoaded = false, m_newsLoaded = false;
    int m_tabWidth = 0, m_tabHeight = 0, m_homeHeight = 0;
};

}  // namespace pt
