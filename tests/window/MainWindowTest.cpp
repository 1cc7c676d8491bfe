// The real main window under Xvfb with the real X11 pointer sampler and input source:
// the pointer and the buttons are driven through the X server, the figures read back
// from the widgets.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QTabWidget>

#include <cstdlib>
#include <filesystem>

#include "core/ports/PlatformServices.h"
#include "platform/linux/X11CursorSource.h"
#include "platform/linux/X11InputEvents.h"
#include "support/FakeServices.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"
#include "web/LocalSite.h"

namespace pt {
namespace {

void Xdotool(const std::string& args) {
    ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
}

class MainWindowTest : public ::testing::Test, protected test::FakeServices {
protected:
    void SetUp() override {
        system.folder = dir.path().string();
        system.exe = (dir / "pathtally").string();
        WriteSetting(store, MainKey, "ClosePtHome", "1");
        WriteSetting(store, MainKey, "ClosePtNews", "1");
        WriteSetting(store, MainKey, "UpdateCK", "0");
    }

    // With the input sources the platform picks for this session when given.
    MainWindow& open(PlatformServices* platform = nullptr) {
        window.reset();
        if (!platform) x11Cursor = std::make_unique<X11CursorSource>();
        MainServices parts =
            services((dir / "PTDATA.CVD").string(),
                     platform ? &platform->cursor() : static_cast<CursorSource*>(x11Cursor.get()),
                     platform ? &platform->input() : &x11Input);
        if (platform) parts.inputAccess = &platform->inputAccess();
        counted = std::make_unique<MainParts>(parts.input, parts.history, parts.clock);
        window = std::make_unique<MainWindow>(parts, *counted);
        window->start();
        window->showAtStart();
        EXPECT_TRUE(test::QtWaitUntil([&] { return window->isVisible(); }));
        return *window;
    }

    QString label(const char* name) {
        auto* w = window->findChild<QLabel*>(QLatin1String(name));
        return w ? w->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(QLatin1String(name)); }
    bool shows(const char* name, const QString& text) {
        return test::QtWaitUntil([&] { return label(name) == text; });
    }

    test::TempDir dir;
    X11InputEvents x11Input;
    std::unique_ptr<X11CursorSource> x11Cursor;
    std::unique_ptr<MainParts> counted;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, FiguresFollowTheRealPointerAndButtons) {
    for (auto key : {MainKey, MirrorKey}) WriteSetting(store, key, "Allmove", "3773585");
    // The first sample measures from the top-left corner: (300, 400) is 500 pixels away.
    Xdotool("mousemove 300 400");
    open();
    Xdotool("mousemove 300 700");  // +300
    ASSERT_TRUE(shows("Label6", "( 300, 700)"));
    Xdotool("mousemove 700 700");  // +400
    ASSERT_TRUE(shows("Label6", "( 700, 700)"));
    // 1200 pixels at 0.265 mm: 0.318 m today, and on top of the stored 1,000 m in total.
    EXPECT_TRUE(shows("Label2", " 0.318m ")) << label("Label2").toStdString();
    EXPECT_EQ(label("StatusBar1.Panel2"), " 0.318m ");
    EXPECT_EQ(label("Label4"), " 1.000km ");
    EXPECT_EQ(label("StatusBar1.Panel3"), "0/");

    Xdotool("click 1");
    Xdotool("click 3");
    ASSERT_TRUE(shows("Label27", "2"));
    EXPECT_EQ(label("Label31"), "1");
    EXPECT_EQ(label("Label36"), "0");
    EXPECT_EQ(label("Label40"), "1");
    EXPECT_EQ(label("Label42"), "2");
    EXPECT_EQ(window->findChild<QLabel*>("Label42")->toolTip(), "2");
    EXPECT_TRUE(shows("StatusBar1.Panel3", "2/"));
    EXPECT_EQ(label("Label26"), "今日鼠标点击次数");
    EXPECT_EQ(label("Label5"), "鼠标当前位置：");
}

TEST_F(MainWindowTest, ClosingHidesAndCountingGoesOn) {
    Xdotool("mousemove 10 10");
    MainWindow& w = open();
    w.close();
    // With a tray it hides; without one (as here) it is minimised, never out of reach.
    ASSERT_TRUE(test::QtWaitUntil([&] { return !w.isVisible() || w.isMinimized(); }));
    Xdotool("mousemove 500 500 click 1");
    ASSERT_TRUE(test::QtWaitUntil([&] { return counted->statistics.todayClicks().left == 1; }));
    // The tray's left click brings the hidden window back, with the figures current.
    w.bringToFront();
    ASSERT_TRUE(test::QtWaitUntil([&] { return w.isVisible() && !w.isMinimized(); }));
    EXPECT_TRUE(shows("Label31", "1"));
    EXPECT_TRUE(shows("Label6", "( 500, 500)"));
}

// A locale's long date, time and weekday texts are shown whole: the date panel widens.
TEST_F(MainWindowTest, TheDatePanelWidensForALongText) {
    clock.weekday = "Wednesday of a locale with a long name";
    open();
    auto* panel = window->findChild<QLabel*>("StatusBar1.Panel1");
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(
        test::QtWaitUntil([&] { return panel->text().contains(QLatin1String("long name")); }));
    EXPECT_TRUE(test::QtWaitUntil([&] {
        return panel->width() > panel->fontMetrics().horizontalAdvance(panel->text());
    })) << panel->width();
}

TEST_F(MainWindowTest, ExitCancelledKeepsRunningAndExitSaves) {
    MainWindow& w = open();
    messages.answers = {MsgAnswer::Cancel};
    action("menuClose")->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "关闭程序?");
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(counted->clickHook.installed());

    counted->statistics.startFrom(LifetimeTotals{0, 0, {0, 0, 0, 5}, {}});
    messages.answers = {MsgAnswer::Ok};
    action("menuRightMenuClose")->trigger();
    EXPECT_FALSE(counted->clickHook.installed());
    EXPECT_EQ(ReadSetting(store, MirrorKey, "totalClick"), "5");
}

TEST_F(MainWindowTest, MenusCarryTheirShortcutsAndHiddenItemsStayHidden) {
    open();
    EXPECT_EQ(action("menuPaiHang")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(action("menuClose")->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_EQ(action("menuHelp1")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(action("menuClose")->text(), "退出(&X)");
    EXPECT_EQ(action("menuAbout")->text(), "关于(&A) Pathtally...");
    for (const char* hidden :
         {"menuHistory", "menuCleanHistory", "menuCleanPaiHang", "menuWebhelp"})
        EXPECT_FALSE(action(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(action("menuUpdate")->isVisible());
    EXPECT_EQ(action("menuDayHistory")->text(), "每日统计(&D)...");
    EXPECT_TRUE(action("menuDayHistory")->isVisible());
    EXPECT_EQ(action("menuRightMenuDayHistory")->text(), "每日统计");
    auto* tabs = window->findChild<QTabWidget*>("SSTab1");
    // Only the shown pages are tabs: statistics and the shutdown page.
    ASSERT_EQ(tabs->count(), 2) << "the news page is switched off";
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->tabText(1), "定时自动关机");
    action("menuRightAutoShutdown")->trigger();
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(MainWindowTest, TraditionalTextsOnTheRealWidgets) {
    system.locale = 1028;
    MainWindow& w = open();
    EXPECT_EQ(label("Label1"), "滑鼠今天移動：");
    EXPECT_EQ(label("Label13"), "系統已運行時間：");
    EXPECT_EQ(w.findChild<QCheckBox*>("Check2MinToSystray")->text(), "啟動後自動最小化到系統託盤");
    auto* tabs = w.findChild<QTabWidget*>("SSTab1");
    EXPECT_EQ(tabs->tabText(0), "Main");
    EXPECT_EQ(tabs->tabText(1), "Auto Shut");
    EXPECT_EQ(action("menuClearAll")->text(), "數據重置");
    EXPECT_EQ(action("menuPaiHang")->text(), "排行榜(&P)");
    EXPECT_EQ(action("menuDayHistory")->text(), "每日統計(&D)...");
    EXPECT_EQ(action("menuRightMenuDayHistory")->text(), "每日統計");
    EXPECT_EQ(w.findChild<QLabel*>("StatusBar1.Panel2")->toolTip(), "今天滑鼠移動的路程(米)");
    EXPECT_TRUE(shows("Label24", "滑鼠累計點擊次數"));
    // A picture of each language for the eye, next to the test binaries.
    QDir().mkpath(PT_BINARY_DIR "/screenshots");
    w.grab().save(PT_BINARY_DIR "/screenshots/main-b5.png");
}

TEST_F(MainWindowTest, GbScreenshot) {
    MainWindow& w = open();
    ASSERT_TRUE(shows("Label24", "鼠标累计点击次数"));
    QDir().mkpath(PT_BINARY_DIR "/screenshots");
    EXPECT_TRUE(w.grab().save(PT_BINARY_DIR "/screenshots/main-gb.png"));
}

TEST_F(MainWindowTest, HomeAndNewsPagesAreRequestedUnlessSwitchedOff) {
    test::LocalSite site;
    WriteSetting(store, MainKey, "SiteRoot", site.root().toStdString());
    WriteSetting(store, MainKey, "ClosePtHome", "0");
    WriteSetting(store, MainKey, "ClosePtNews", " 1");  // only exactly "1" switches off
    MainWindow& w = open();
    EXPECT_TRUE(test::QtWaitUntil([&] { return site.count("/pt/h1/") == 1; }, 30000))
        << site.requests().join(",").toStdString();
    w.findChild<QTabWidget*>("SSTab1")->setCurrentWidget(w.findChild<QWidget*>("WebBrowser2"));
    EXPECT_TRUE(test::QtWaitUntil([&] { return site.count("/pt/news/") == 1; }, 30000));
}

TEST_F(MainWindowTest, SwitchedOffPagesAreNeverRequested) {
    test::LocalSite site;
    WriteSetting(store, MainKey, "SiteRoot", site.root().toStdString());
    MainWindow& w = open();
    test::QtWaitUntil([] { return false; }, 1500);  // a time in which they would be requested
    EXPECT_TRUE(site.requests().isEmpty()) << site.requests().join(",").toStdString();
    EXPECT_FALSE(w.findChild<QWidget*>("WebBrowser1")->isVisible());
    auto* tabs = w.findChild<QTabWidget*>("SSTab1");
    EXPECT_EQ(tabs->indexOf(w.findChild<QWidget*>("WebBrowser2")), -1);
}

// True when this process can open at least one of the kernel's input event devices.
bool AnyEventDeviceOpens() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/input", ec)) {
        if (entry.path().filename().string().rfind("event", 0) != 0) continue;
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
    }
    return false;
}

// A Wayland session whose input devices this user cannot open: the window says so with the
// fix, marks what it cannot measure and keeps counting use time. The check is the real
// one: the platform's libinput source tries the seat's devices.
TEST_F(MainWindowTest, WaylandSessionWithoutReadableDevicesShowsTheFix) {
    if (AnyEventDeviceOpens())
        GTEST_SKIP() << "the input devices are readable here; run as a user outside the "
                        "input group to see the notice";
    qputenv("XDG_SESSION_TYPE", "wayland");
    qunsetenv("PATHTALLY_INPUT");
    auto platform = CreatePlatformServices();
    qputenv("XDG_SESSION_TYPE", "x11");
    ASSERT_EQ(platform->inputBackend().name, "libinput") << platform->inputBackend().reason;
    open(platform.get());
    auto* notice = window->findChild<QLabel*>(QStringLiteral("InputAccessNotice"));
    ASSERT_TRUE(notice);
    EXPECT_TRUE(test::QtWaitUntil([&] { return notice->isVisible(); }));
    for (const char* fix : {"TAG+=\"uaccess\"", "sudo usermod -aG input $USER"})
        EXPECT_TRUE(notice->text().contains(QString::fromUtf8(fix))) << fix;
    EXPECT_TRUE(shows("Label2", QStringLiteral("未测量")));
    EXPECT_EQ(label("Label27"), QStringLiteral("未测量"));
    EXPECT_EQ(label("Label73"), QStringLiteral("今天:未测量"));
    EXPECT_EQ(label("Label6"), QStringLiteral("本桌面不提供"));
    // The frames keep their room: the page grew by the notice.
    auto* travel = window->findChild<QWidget*>(QStringLiteral("Frame4"));
    EXPECT_GE(travel->height(), travel->sizeHint().height());
    // Use time goes on (one tick a second).
    EXPECT_TRUE(test::QtWaitUntil([&] { return counted->statistics.todayUseTime() >= 1; }, 5000));
    window.reset();  // before the platform's sources it uses
    counted.reset();
}

}  // namespace
}  // namespace pt
