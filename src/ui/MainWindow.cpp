#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "Accessibility.h"
#include "AppIcon.h"
#include "DesignedMinimumWidget.h"
#include "FormBinder.h"
#include "PointerMoveThrottle.h"
#include "ShutdownPage.h"
#include "Skin.h"
#include "StatisticsPage.h"
#include "WebView.h"
#include "core/form/MainControls.h"
#include "core/shell/MainMenus.h"
#include "core/texts/MainWindowTexts.h"

namespace pt {

using namespace main_controls;

namespace {

// Window lengths are designed in twips, 15 to a pixel at 96 dots per inch.
constexpr int Twips(int twips) {
    return twips / 15;
}
constexpr int kTabWidth = Twips(9900);
constexpr int kTabHeight = Twips(6900);
constexpr int kHomeHeight = Twips(1200);
constexpr int kChrome = Twips(1300);
// What a window manager's frame and title bar may take beyond the window itself.
constexpr int kFrameAllowance = 16;

// The display tick folds in what the pointer source measured and repaints what changed, 4
// times a second whether the window is shown or hidden: each repaint of a window that holds
// a web page recomposes the whole window through OpenGL, which costs a lot where that is
// done in software (with the home strip, 7 % of a core at 10 repaints a second, 3.3 % at 4).
constexpr int kSamplingTickMs = 250;
// The pointer's moves without a button reach the widgets at most at display rate.
constexpr int kPointerMoveIntervalMs = 16;

// A status-bar panel that reports clicks.
class PanelLabel : public QLabel {
public:
    std::function<void()> clicked;
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent*) override {
        if (clicked) clicked();
    }
};

// The key sequence of a menu shortcut; empty for none.
QKeySequence KeysOf(MenuShortcut shortcut) {
    int key = 0;
    switch (shortcut.key) {
        case MenuShortcut::Key::None:
            return {};
        case MenuShortcut::Key::F1:
            key = Qt::Key_F1;
            break;
        case MenuShortcut::Key::F2:
            key = Qt::Key_F2;
            break;
        case MenuShortcut::Key::F3:
            key = Qt::Key_F3;
            break;
        case MenuShortcut::Key::X:
            key = Qt::Key_X;
            break;
    }
    return QKeySequence(shortcut.control ? (Qt::CTRL | key) : key);
}

}  // namespace

MainWindow::MainWindow(MainServices services, MainParts& parts, TaskListKeeper keepOffTaskList,
                       QWidget* parent)
    : QMainWindow(parent), m_keepOffTaskList(std::move(keepOffTaskList)) {
    setObjectName(ObjectName(Window));
    // Skinned before the children exist: they are born with the window's font, instead of
    // each taking a font change (and laying out again) when it is set on a finished window.
    ApplySkin(this);
    const QIcon icon = AppIcon();
    setWindowIcon(icon);
    m_presenter = std::make_unique<MainPresenter>(services, parts, *this, m_commands);
    new PointerMoveThrottle(kPointerMoveIntervalMs, this);  // deleted with the window

    auto* central = new DesignedMinimumWidget(this);
    m_column = central;
    central->installEventFilter(this);  // its needs change with fonts and texts
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(ObjectName(TabControl));
    m_tabs->setUsesScrollButtons(false);
    m_statisticsPage = new StatisticsPage(m_tabs);
    m_pages[TabIndex(MainTab::Statistics)] = m_statisticsPage;
    for (int i : {TabIndex(MainTab::UseTime), TabIndex(MainTab::EyeCare)}) {
        m_pages[i] = new QWidget(m_tabs);
        m_pages[i]->setObjectName(QStringLiteral("TabPage%1").arg(i));
    }
    m_shutdownPage = new ShutdownPage(m_tabs);
    m_shutdownPage->connectCountdown([this] {
        m_presenter->onCountdownTick();
        if (isVisible()) m_binder->sync();  // a hidden window catches up when shown
    });
    m_pages[TabIndex(MainTab::Shutdown)] = m_shutdownPage;
    // The pages load only once they can be seen: a start hidden in the tray never maps
    // the web engine. Each is drawn in a window of its own, so this window is mapped at
    // once as a plain raster window and the pages join it after its first paint.
    m_news = new WebView(m_tabs, WebView::PageSurface::Own);
    m_news->setObjectName(ObjectName(NewsPage));
    m_pages[TabIndex(MainTab::News)] = m_news;
    for (QWidget* page : m_pages) m_tabs->addTab(page, QString());
    // The tab control takes what the window gives beyond the minimum.
    column->addWidget(m_tabs, 1);
    m_home = new WebView(central, WebView::PageSurface::Own);
    m_home->setObjectName(ObjectName(HomePage));
    column->addWidget(m_home);
    // A scroll area is put around the content only on a screen smaller than the window
    // (fitToScreen()): the pages' windows inside one become native child windows, which a
    // Wayland compositor never shows.
    central->setObjectName(QStringLiteral("PageColumn"));
    setCentralWidget(central);

    m_binder = new FormBinder(m_presenter->form(), this, [this](ControlId id) { dispatch(id); });
    buildMenus();
    buildStatusBar();

    for (int i = 0; i < MainTabCount; ++i) {
        m_binder->bindCustom(Tabs[i], [this, i](const Control& c) {
            m_tabTitles[i] = QString::fromStdString(c.text);
            if (const int at = m_tabs->indexOf(m_pages[i]); at >= 0)
                m_tabs->setTabText(at, m_tabTitles[i]);
        });
    }
    m_binder->bindCustom(
        Window, [this](const Control& c) { setWindowTitle(QString::fromStdString(c.text)); });
    m_binder->bindCustom(TrayIcon, [this](const Control& c) {
        if (m_tray) m_tray->setToolTip(QString::fromStdString(c.toolTip));
    });
    m_binder->bindCustom(TrayMenu, [this](const Control& c) {
        m_rightMenu->setTitle(QString::fromStdString(c.text));
        // Kept off the menu bar, except where there is no tray to reach it from.
        m_rightMenu->menuAction()->setVisible(c.visible ||
                                              !QSystemTrayIcon::isSystemTrayAvailable());
    });
    m_binder->bindCustom(main_controls::InputAccessNotice, [this](const Control& c) {
        const QString text = c.visible ? QString::fromStdString(c.text) : QString();
        m_noticeHeight = m_statisticsPage->showAccessNotice(text, kTabWidth);
        if (m_tabWidth == 0) return;  // laid out later
        m_tabHeight = kTabHeight + m_noticeHeight;
        m_column->setDesignedSize(QSize(m_tabWidth, m_tabHeight + m_homeHeight));
        fitToScreen(true);
    });
    m_binder->bindChildren();

    m_tray = new QSystemTrayIcon(icon, this);
    m_tray->setObjectName(ObjectName(TrayIcon));
    m_tray->setContextMenu(m_rightMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) m_presenter->trayButtonDown(1);
    });
    m_tray->show();

    m_samplingTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_samplingTimer, &QTimer::timeout, this, &MainWindow::onSamplingTimer);
    connect(&m_secondTimer, &QTimer::timeout, this, [this] {
        m_presenter->onSecondTick();
        // Today's figures in the tray icon's tooltip, also while the window is hidden (a
        // shown window takes them with its other controls).
        if (isVisible() || !m_tray) return;
        const QString tip = QString::fromStdString(m_presenter->form().get(TrayIcon).toolTip);
        if (tip != m_tray->toolTip()) m_tray->setToolTip(tip);
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::start() {
    m_presenter->start();
    ApplyAccessibleTexts(this, MainWindowAccessibleTexts(), m_presenter->lang());
    m_statisticsPage->fixLiveLabels();
    m_binder->syncAll();
    // Status-bar panels of fixed size: the figures change many times a second. The designed
    // width, or what the longest figure (or the fixed text) needs at the window's font.
    const int widths[5] = {190, 110, 100, 100, 110};
    const QString longest[5] = {QString(), QStringLiteral(" 99,999.999m "),
                                QStringLiteral("999999/999999"), QStringLiteral("9999:59:59"),
                                QString()};
    for (int i = 0; i < 5; ++i) {
        if (auto* panel = findChild<QLabel*>(ObjectName(Panels[i]))) {
            panel->ensurePolished();
            const QFontMetrics metrics = panel->fontMetrics();
            const int needed = std::max(
                metrics.horizontalAdvance(longest[i].isEmpty() ? panel->text() : longest[i]) + 12,
                panel->sizeHint().width());
            panel->setFixedSize(std::max(widths[i], needed), metrics.height() + 6);
            if (i == 0) m_datePanel = panel;
        }
    }
    // The texts are in: the layouts take them up from the innermost widget outwards, one
    // level a pass (bounded by the depth of the window), so the window opens at its size.
    for (int level = 0; level < 12; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    fitToScreen(true);
    m_samplingTimer.start(kSamplingTickMs);
    m_secondTimer.start(secondTickMs);
}

void MainWindow::showAtStart() {
    // Without a tray there is no way back to a hidden window: show it.
    if (!m_presenter->startsHidden() || !QSystemTrayIcon::isSystemTrayAvailable()) showWindow(true);
}

void MainWindow::bringToFront() {
    showWindow(true);
}

std::vector<std::string> MainWindow::controlsWithoutCommand() const {
    std::vector<std::string> clickable = m_binder->clickableControls();
    std::erase_if(clickable, [](const std::string& name) {
        return main_menus::IsNeverShown(ControlId{name});
    });
    clickable.emplace_back(MakerPanel.name);  // the one status-bar panel that takes clicks
    return m_commands.withoutCommand(clickable);
}

void MainWindow::buildMenus() {
    // Every entry keeps its name; those never shown stay in the menu, hidden.
    auto fill = [this](QMenu* menu, std::span<const MenuEntry> entries) {
        for (const MenuEntry& entry : entries) {
            if (entry.kind == MenuEntry::Kind::Separator) {
                QAction* line = menu->addSeparator();
                line->setObjectName(ObjectName(entry.id));
                line->setVisible(!entry.neverShown);
                continue;
            }
            auto* action = menu->addAction(QString());
            if (const QKeySequence keys = KeysOf(entry.shortcut); !keys.isEmpty())
                action->setShortcut(keys);
            m_binder->bindAction(action, entry.id);
            if (entry.neverShown) m_presenter->form().setVisible(entry.id, false);
        }
    };
    for (const MenuTree& tree : main_menus::Bar) {
        QMenu* menu = menuBar()->addMenu(QString());
        m_binder->bindAction(menu->menuAction(), tree.title);
        fill(menu, tree.entries);
    }

    m_rightMenu = menuBar()->addMenu(QString());
    m_rightMenu->setObjectName(ObjectName(TrayMenu));
    m_rightMenu->menuAction()->setObjectName(QStringLiteral("RightMenuAction"));
    fill(m_rightMenu, main_menus::Tray);
    m_rightMenu->menuAction()->setVisible(false);
}

void MainWindow::buildStatusBar() {
    auto* bar = statusBar();
    bar->setObjectName(ObjectName(StatusBar));
    const int stretch[5] = {3, 2, 2, 2, 2};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new PanelLabel(bar);
        panel->setObjectName(ObjectName(Panels[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(40);
        if (Panels[i] == MakerPanel) {
            panel->clicked = [this] { dispatch(MakerPanel); };
            panel->setCursor(Qt::PointingHandCursor);
        }
        bar->addWidget(panel, stretch[i]);
    }
}

void MainWindow::dispatch(ControlId id) {
    if (!m_commands.run(id))
        qWarning("pathtally: no command for control %.*s", static_cast<int>(id.name.size()),
                 id.name.data());
    m_binder->sync();
}

void MainWindow::onSamplingTimer() {
    m_presenter->onSamplingTick();
    if (!isVisible()) return;
    m_binder->sync();
    // The date panel widens (never narrows) for a locale's longer date and time texts; it
    // is measured only when its text changed (once a second).
    if (m_datePanel && m_datePanel->text() != m_datePanelText) {
        m_datePanelText = m_datePanel->text();
        const int needed =
            std::max(m_datePanel->fontMetrics().horizontalAdvance(m_datePanelText) + 12,
                     m_datePanel->sizeHint().width());
        if (needed > m_datePanel->width()) m_datePanel->setFixedWidth(needed);
    }
}

void MainWindow::applySkin() {
    if (!IsSkinned(this)) ApplySkin(this);  // done when the window was built
}

void MainWindow::layOut() {
    m_tabs->setCurrentIndex(TabIndex(MainTab::Statistics));
    for (MainTab hidden : {MainTab::UseTime, MainTab::EyeCare, MainTab::News})
        setTabShown(hidden, false);
    m_tabWidth = kTabWidth;
    m_tabHeight = kTabHeight + m_noticeHeight;
    m_homeHeight = kHomeHeight;
    m_home->setFixedHeight(m_homeHeight);
    m_column->setDesignedSize(QSize(m_tabWidth, m_tabHeight + m_homeHeight));
    fitToScreen(true);
}

void MainWindow::fitToScreen(bool toContent) {
    if (m_tabWidth == 0) return;  // not laid out yet
    // What the pages need: the designed size at the designed font, more at a larger one;
    // the menu bar and the status bar grow with the font as well.
    const QSize content = m_column->minimumSizeHint();
    const int chrome =
        std::max(kChrome, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    const QSize needed(std::max(content.width(), statusBar()->sizeHint().width()),
                       content.height() + chrome);
    QSize available = needed;
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        available = s->availableGeometry().size() - QSize(kFrameAllowance, kFrameAllowance * 2);
    m_fitsScreen = needed.width() <= available.width() && needed.height() <= available.height();
    if (m_fitsScreen) {
        // A window made larger by hand keeps its size; a smaller one grows to the need.
        setMinimumSize(needed);
        if (toContent)
            resize(needed);
        else if (width() < needed.width() || height() < needed.height())
            resize(size().expandedTo(needed));
    } else {
        // Else the screen's available area (less what the window frame takes), the page
        // content scrolling inside.
        if (!m_scroll) {
            takeCentralWidget();
            m_scroll = new QScrollArea(this);
            m_scroll->setFrameShape(QFrame::NoFrame);
            m_scroll->setWidgetResizable(true);
            m_scroll->setWidget(m_column);
            setCentralWidget(m_scroll);
        }
        setMinimumSize(0, 0);
        if (toContent) resize(needed.boundedTo(available));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The pages need more room (a larger font, a longer text): the minimum follows, once
    // for all the changes of one pass of the event loop.
    if (watched == m_column && event->type() == QEvent::LayoutRequest && !m_fitQueued) {
        m_fitQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_fitQueued = false;
            fitToScreen(false);
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::hideFromTaskList() {
    // Only where a tray icon leads back to the window.
    m_offTaskList = QSystemTrayIcon::isSystemTrayAvailable();
    if (m_keepOffTaskList && m_offTaskList) m_keepOffTaskList(this);
}

void MainWindow::hideWindow() {
    hide();
}

void MainWindow::showWindow(bool normalState) {
    if (normalState) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void MainWindow::selectTab(MainTab tab) {
    QWidget* page = m_pages[TabIndex(tab)];
    if (m_tabs->indexOf(page) >= 0) m_tabs->setCurrentWidget(page);
}

void MainWindow::setTabShown(MainTab tab, bool shown) {
    // A hidden page leaves the tab control altogether (it stays a named child of it): a
    // tab that is only made invisible is still reached by Ctrl+Tab and screen readers.
    const int index = TabIndex(tab);
    QWidget* page = m_pages[index];
    const int at = m_tabs->indexOf(page);
    if (shown && at < 0) {
        int position = 0;
        for (int i = 0; i < index; ++i) position += m_tabs->indexOf(m_pages[i]) >= 0 ? 1 : 0;
        m_tabs->insertTab(position, page, m_tabTitles[index]);
    } else if (!shown && at >= 0) {
        m_tabs->removeTab(at);
        page->hide();
    }
}

void MainWindow::navigateHome(const std::string& url) {
    SetUnreachableTexts(*m_home, m_presenter->lang());
    m_home->setVisible(true);
    m_home->navigate(url);
}

void MainWindow::collapseHome() {
    m_home->setVisible(false);
    m_home->setFixedHeight(0);
    m_homeHeight = 0;
    m_column->setDesignedSize(QSize(m_tabWidth, m_tabHeight));
}

void MainWindow::navigateNews(const std::string& url) {
    SetUnreachableTexts(*m_news, m_presenter->lang());
    m_news->navigate(url);
}

void MainWindow::runCountdownTimer(bool running) {
    m_shutdownPage->runCountdown(running);
}

void MainWindow::quit() {
    if (m_tray) m_tray->hide();
    QApplication::exit(0);
}

bool MainWindow::event(QEvent* event) {
    // The toolkit re-creates the native window when a web page first joins it; the new
    // window must stay off the task list as well.
    if (event->type() == QEvent::WinIdChange && internalWinId() && m_keepOffTaskList &&
        m_offTaskList)
        m_keepOffTaskList(this);
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    // Without a tray a hidden window could not be reached again: the close box minimises
    // it instead, so it stays on the task list while the counting goes on. (Ending the
    // program there would silently stop the measuring a person closed the window to keep
    // out of the way; the menu's exit ends it.)
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showMinimized();
        return;
    }
    m_presenter->onCloseBox();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_binder->sync();
    // The toolkit rewrites the window state when it maps the window: ask again.
    if (m_keepOffTaskList && m_offTaskList) m_keepOffTaskList(this);
    emit shown();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isMinimized() || m_tabWidth == 0 || !m_fitsScreen) return;
    // The window never gets smaller than the pages need (a window manager may not ask).
    if (width() < minimumWidth() || height() < minimumHeight())
        resize(size().expandedTo(minimumSize()));
}

}  // namespace pt
