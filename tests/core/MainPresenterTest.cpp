#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "core/shell/ClearAllPresenter.h"
#include "core/startup/MainPresenter.h"
#include "core/stats/StoredDate.h"
#include "support/FakeServices.h"

namespace pt {
namespace {

namespace fs = std::filesystem;

class FakeView : public MainView {
public:
    bool visible = true, minimized = false, skipped = false, skinned = false, laidOut = false;
    bool quitCalled = false, homeCollapsed = false, countdownTimer = false;
    std::optional<main_controls::MainTab> selectedTab;
    std::map<main_controls::MainTab, bool> tabShown{{main_controls::MainTab::News, false}};
    std::vector<std::string> home, news;

    void applySkin() override { skinned = true; }
    void layOut() override {
        laidOut = true;
        selectedTab = main_controls::MainTab::Statistics;
    }
    void hideFromTaskList() override { skipped = true; }
    bool isWindowVisible() const override { return visible; }
    void hideWindow() override { visible = false; }
    void showWindow(bool normalState) override {
        visible = true;
        if (normalState) minimized = false;
    }
    void selectTab(main_controls::MainTab tab) override { selectedTab = tab; }
    void setTabShown(main_controls::MainTab tab, bool shown) override { tabShown[tab] = shown; }
    void navigateHome(const std::string& url) override { home.push_back(url); }
    void collapseHome() override { homeCollapsed = true; }
    void navigateNews(const std::string& url) override { news.push_back(url); }
    void runCountdownTimer(bool running) override { countdownTimer = running; }
    void quit() override { quitCalled = true; }
};

// An input access that the test opens and closes.
class SwitchableInputAccess : public InputAccess {
public:
    bool readable = true;
    bool positionKnown = true;
    bool devicesReadable() const override { return readable; }
    bool pointerPositionKnown() const override { return positionKnown; }
};

class MainPresenterTest : public ::testing::Test, protected test::FakeServices {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("form1-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        system.folder = dir.string();
        system.exe = (dir / "pathtally").string();
    }
    void TearDown() override {
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(dir, ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }

    MainPresenter& load(ProgramVersion version = {}, const InputAccess* access = nullptr) {
        MainServices s = services((dir / "PTDATA.CVD").string());
        s.inputAccess = access;
        form.reset();
        parts = std::make_unique<MainParts>(s.input, s.history, s.clock);
        commands = std::make_unique<CommandTable>();
        form = std::make_unique<MainPresenter>(s, *parts, view, *commands, version);
        form->start();
        return *form;
    }
    StatisticsModel& model() { return parts->statistics; }
    void click(const char* name) { EXPECT_TRUE(commands->run(ControlId{name})) << name; }
    std::string stored(const char* name) { return ReadSetting(store, MainKey, name); }
    const Control& control(const char* name) { return form->form().get(ControlId{name}); }

    fs::path dir;
    FakeView view;
    std::unique_ptr<MainParts> parts;
    std::unique_ptr<CommandTable> commands;
    std::unique_ptr<MainPresenter> form;
};

TEST_F(MainPresenterTest, FirstStartOnACleanSystem) {
    MainPresenter& f = load({3, 1, 47});
    EXPECT_EQ(f.versionText(), "V3.1.47");
    EXPECT_EQ(control("Form1").text, "PathtallyV3.1.47");
    EXPECT_EQ(control("cSysTray1").toolTip, "PathtallyV3.1.47");
    EXPECT_EQ(f.lang(), Language::Simplified);
    EXPECT_TRUE(view.skinned && view.laidOut && view.skipped);
    EXPECT_EQ(view.selectedTab, main_controls::MainTab::Statistics);
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_EQ(stored("StartDate"), "2026-12-08");
    EXPECT_EQ(stored("MaxMove"), "0");
    EXPECT_EQ(stored("MaxUseTime"), "0");
    EXPECT_EQ(stored("Aopen"), "1");
    EXPECT_EQ(autostart.value, system.exe);
    EXPECT_EQ(stored("InstallPath"), system.folder);
    EXPECT_TRUE(fs::exists(dir / "PTDATA.CVD")) << "the data file is created empty";

    EXPECT_TRUE(view.visible);
    EXPECT_FALSE(control("Check2MinToSystray").checked);
    EXPECT_FALSE(control("test1").visible);
    EXPECT_EQ(f.testMode(), 0);
    EXPECT_EQ(input.installs, 1) << "the click hook is installed";
    EXPECT_TRUE(static_cast<bool>(input.keys)) << "keystrokes are counted";
    EXPECT_EQ(model().totals().travel, 0);
    EXPECT_EQ(model().totals().clicks.all, 0);
    EXPECT_EQ(control("Label25").text, "历史最高记录:0次");
    EXPECT_EQ(control("Label25").toolTip, "最高记录发生于:");
    // The keystroke labels keep their designed captions until the first counted key.
    EXPECT_EQ(control("Label73").text, "Today:");
    EXPECT_EQ(control("Label74").text, "Total:");
    EXPECT_EQ(view.home, std::vector<std::string>{"https://www.pathtally.net/pt/h1/"});
    EXPECT_EQ(view.news, std::vector<std::string>{"https://www.pathtally.net/pt/news/"});
    EXPECT_TRUE(view.tabShown[main_controls::MainTab::News]);
    EXPECT_FALSE(control("InputAccessNotice").visible);
}

TEST_F(MainPresenterTest, StoredSettingsShapeTheStart) {
    WriteSetting(store, MainKey, "MinToSystray", " 1 ");
    WriteSetting(store, MainKey, "Aopen", "0");
    WriteSetting(store, MainKey, "AddHook", "1 ");  // the Options dialog reads it trimmed too
    WriteSetting(store, MainKey, "AddSysHook", "1");
    WriteSetting(store, MainKey, "ClosePtHome", "1");
    WriteSetting(store, MainKey, "ClosePtNews", "1");
    WriteSetting(store, MainKey, "SiteRoot", "http://127.0.0.1:8080/");
    autostart.value = "/elsewhere/pathtally";
    load();
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(control("Check2MinToSystray").checked);
    EXPECT_EQ(autostart.value, "/elsewhere/pathtally") << "Aopen 0 leaves the entry alone";
    EXPECT_EQ(autostart.writes, 0);
    EXPECT_EQ(input.installs, 0);
    EXPECT_FALSE(static_cast<bool>(input.keys)) << "keystrokes are not counted";
    EXPECT_TRUE(view.home.empty());
    EXPECT_TRUE(view.homeCollapsed);
    EXPECT_FALSE(control("WebBrowser1").visible);
    EXPECT_TRUE(view.news.empty());
    EXPECT_FALSE(view.tabShown[main_controls::MainTab::News]);
}

// Another program holds the store at start past the wait: nothing stored is taken as
// empty, nothing is written over it while it stays locked, and once it can be read its
// totals join what was counted and its switches keep their meaning.
TEST_F(MainPresenterTest, AStoreLockedAtStartIsJoinedOnceItCanBeRead) {
    for (const char* key : {MainKey.data(), MirrorKey.data()}) {
        WriteSetting(store, key, "AllUseTime", "100000");
        WriteSetting(store, key, "AllMove", "5000000");
        WriteSetting(store, key, "totalClick", "300");
    }
    WriteSetting(store, MainKey, "StartDate", "2020-01-02");
    WriteSetting(store, MainKey, "MaxUseTime", "99999");
    WriteSetting(store, MainKey, "Aopen", "0");
    WriteSetting(store, MainKey, "ClosePtHome", "1");
    WriteSetting(store, MainKey, "ClosePtNews", "1");
    WriteSetting(store, MainKey, "AddHook", "1");
    autostart.value = "/elsewhere/pathtally";
    store.locked = true;
    const int writes = store.writeCount();
    MainPresenter& f = load();
    EXPECT_TRUE(view.home.empty() && view.news.empty()) << "no page while its switch is unknown";
    EXPECT_EQ(autostart.writes, 0) << "the autostart entry waits for Aopen";
    for (int i = 0; i < 20; ++i) f.onSecondTick();
    EXPECT_EQ(store.writeCount(), writes) << "nothing written over what was never read";

    store.locked = false;
    for (int i = 0; i < 10; ++i) f.onSecondTick();
    EXPECT_EQ(stored("AllUseTime"), "100030");
    EXPECT_EQ(ReadSetting(store, MirrorKey, "AllUseTime"), "100030");
    EXPECT_EQ(stored("AllMove"), "5000000");
    EXPECT_EQ(stored("totalClick"), "300");
    EXPECT_EQ(stored("StartDate"), "2020-01-02");
    EXPECT_EQ(f.startDate(), "2020-01-02");
    EXPECT_EQ(stored("MaxUseTime"), "99999") << "the stored record stands";
    EXPECT_TRUE(view.home.empty() && view.news.empty());
    EXPECT_EQ(autostart.value, "/elsewhere/pathtally");
    EXPECT_FALSE(parts->clickHook.installed()) << "AddHook 1 stops the click counting";
}

// A data reset made while the store is still locked stays a reset once the store joins:
// neither the old totals nor the old records come back, and the store gets the click
// record the reset could not write.
TEST_F(MainPresenterTest, AResetWhileTheStoreIsLockedStaysOnceItJoins) {
    for (const char* key : {MainKey.data(), MirrorKey.data()}) {
        WriteSetting(store, key, "AllUseTime", "100000");
        WriteSetting(store, key, "totalClick", "300");
    }
    WriteSetting(store, MainKey, "MaxUseTime", "99999");
    WriteSetting(store, MainKey, "MaxTotalClick", "700");
    WriteSetting(store, MainKey, "MaxTotalClickDate", "2020-01-02");
    store.locked = true;
    MainPresenter& f = load();
    for (int i = 0; i < 5; ++i) f.onSecondTick();
    ClearAllPresenter reset(model(), store, clock, messages, f.lang());
    messages.answers = {MsgAnswer::Yes, MsgAnswer::Ok};
    reset.click(ControlId{"Command1"});
    ASSERT_EQ(model().totals().useTime, 0.0);

    store.locked = false;
    for (int i = 0; i < 10; ++i) f.onSecondTick();
    EXPECT_EQ(stored("AllUseTime"), "10");
    EXPECT_EQ(ReadSetting(store, MirrorKey, "AllUseTime"), "10");
    EXPECT_EQ(stored("totalClick"), "0");
    EXPECT_EQ(stored("MaxTotalClick"), "0");
    EXPECT_EQ(stored("MaxTotalClickDate"), StoredToday(clock));
    EXPECT_EQ(model().records().useTime, 0.0) << "the old record is not read back";
    EXPECT_EQ(stored("MaxUseTime"), "10") << "this run's use is the record after the reset";
}

TEST_F(MainPresenterTest, AnEntryAlreadyCurrentWritesNothing) {
    autostart.value = system.exe;
    load();
    EXPECT_EQ(autostart.writes, 0);
    EXPECT_EQ(stored("Aopen"), "") << "not even Aopen is written";
}

TEST_F(MainPresenterTest, AnUnreadableStartDateIsReplacedByToday) {
    WriteSetting(store, MainKey, "StartDate", "not a date");
    WriteSetting(store, MainKey, "MaxMove", "12345678");
    WriteSetting(store, MainKey, "MaxMove_Date", "2026-01-02");
    WriteSetting(store, MainKey, "MaxUseTime", "3725");
    MainPresenter& f = load();
    EXPECT_EQ(f.startDate(), "2026-12-08");
    EXPECT_EQ(stored("StartDate"), "2026-12-08");
    EXPECT_EQ(input.installs, 1) << "the second pass installs no second hook";
    EXPECT_EQ(control("Label8").text, " 3,271.604m ");
    EXPECT_EQ(control("Label8").toolTip, "最高记录发生于:2026-01-02");
    EXPECT_EQ(control("Label16").text, "1:02:05");
    EXPECT_EQ(control("Label16").toolTip, "");
}

TEST_F(MainPresenterTest, DatesAreStoredInOneFormAndShownInTheUsersLocale) {
    // The user's locale writes day first; dates written in it before are read, stored again
    // in the form every locale reads, and shown in the locale.
    clock.dayFirst = true;
    WriteSetting(store, MainKey, "StartDate", "8/11/2026");
    WriteSetting(store, MainKey, "MaxMove_Date", "2/1/2026");
    WriteSetting(store, MainKey, "MaxUseTime_Date", "2026-03-04");
    WriteSetting(store, MainKey, "MaxUseTime", "5");
    MainPresenter& f = load();
    EXPECT_EQ(f.startDate(), "2026-11-08");
    EXPECT_EQ(stored("StartDate"), "2026-11-08");
    EXPECT_EQ(control("Label8").toolTip, "最高记录发生于:2/1/2026");
    EXPECT_EQ(control("Label16").toolTip, "最高记录发生于4/3/2026");

    // A record set now is stored in that form and shown in the locale.
    for (int i = 0; i < 10; ++i) f.onSecondTick();
    EXPECT_EQ(stored("MaxUseTime_Date"), "2026-12-08");
    EXPECT_EQ(control("Label16").toolTip, "最高记录发生于8/12/2026");
    EXPECT_EQ(stored("StartDate"), "2026-11-08");
}

TEST_F(MainPresenterTest, AnUnreadableStartDateBecomesTodayInTheStoredForm) {
    clock.dayFirst = true;
    WriteSetting(store, MainKey, "StartDate", "8 Brumaire 2026");
    MainPresenter& f = load();
    EXPECT_EQ(f.startDate(), "2026-12-08");
    EXPECT_EQ(stored("StartDate"), "2026-12-08");
}

TEST_F(MainPresenterTest, TotalsAreMergedFromStoreAndFile) {
    for (auto key : {MainKey, MirrorKey}) {
        WriteSetting(store, key, "AllUseTime", "3600");
        WriteSetting(store, key, "Allmove", "1000");
        WriteSetting(store, key, "leftClick", "700");
        WriteSetting(store, key, "totalClick", "700");
        WriteSetting(store, key, "KeyDownAll", "42");
    }
    WriteSetting(store, MirrorKey, "totalClick", "650");
    load();
    EXPECT_EQ(model().totals().useTime, 3600);
    EXPECT_EQ(model().totals().travel, 1000);
    EXPECT_EQ(model().totals().clicks.left, 700);
    EXPECT_EQ(model().totals().clicks.all, 0) << "disagreeing copies count as 0";
    EXPECT_EQ(model().totals().keys.toDouble(), 42);
    EXPECT_EQ(model().todayTravel(), 0);
}

TEST_F(MainPresenterTest, LanguagesFollowTheSystemLocale) {
    system.locale = 1028;
    MainPresenter& f = load();
    EXPECT_EQ(f.lang(), Language::Traditional);
    EXPECT_EQ(control("Label1").text, "滑鼠今天移動：");
    EXPECT_EQ(control("SSTab1.Tab3").text, "Auto Shut");
    EXPECT_EQ(control("StatusBar1.Panel4").toolTip, "今天電腦所用時間(時:分:秒)");
    EXPECT_EQ(control("menuAbout").text, "關於(&A) Pathtally...");
    EXPECT_EQ(control("menuPaiHang").text, "排行榜(&P)");
    EXPECT_EQ(control("menuLiuYan").text, "给我留言(&L)");
    EXPECT_EQ(control("Label25").text, "歷史最高記錄:0次");
}

TEST_F(MainPresenterTest, OtherLocalesKeepDesignedTextsButTakeTraditionalBoxTexts) {
    for (int locale : {1033, 1041}) {
        system.locale = locale;
        WriteSetting(store, MainKey, "MaxMove_Date", "2026-01-02");
        MainPresenter& f = load();
        EXPECT_EQ(f.lang(), Language::English);
        EXPECT_EQ(control("Label1").text, "鼠标今天移动：");
        EXPECT_EQ(control("SSTab1.Tab0").text, "统  计");
        EXPECT_EQ(control("Label8").toolTip, "最高记录发生于:2026-01-02");
        EXPECT_EQ(control("Label25").text, "歷史最高記錄:0次");
        messages.answers = {MsgAnswer::Cancel};
        f.confirmExit();
        EXPECT_EQ(messages.shown.back().text, "你確定要關閉此程式嗎?");
        EXPECT_EQ(messages.shown.back().title, "關閉程式?");
    }
}

TEST_F(MainPresenterTest, TestModeLogsTheStartAndInstallsNoHook) {
    std::ofstream(dir / "Pathtally.vbp") << "";
    autostart.value = "/old/path";
    MainPresenter& f = load();
    EXPECT_EQ(f.testMode(), 1);
    EXPECT_TRUE(control("test1").visible);
    EXPECT_EQ(input.installs, 0);
    EXPECT_EQ(autostart.value, "/old/path");
    std::ifstream log(dir / "Record.txt");
    std::string header, line;
    std::getline(log, header);
    std::getline(log, line);
    EXPECT_NE(header.find("ComputerName"), std::string::npos);
    EXPECT_NE(line.find("DESKTOP-1"), std::string::npos);
}

TEST_F(MainPresenterTest, VersionOutOfRangeOnlyWarns) {
    load({11, -1, 10001});
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "请修改 App.Major的值使其大于0且小于10");
    EXPECT_EQ(messages.shown[1].text, "请修改 App.Minor的值使其大于0且小于10");
    EXPECT_EQ(messages.shown[2].text, "请修改 App.Revision的值使其大于0且小于10000");
    EXPECT_EQ(form->versionText(), "V11.-1.10001");
}

TEST_F(MainPresenterTest, ExitAsksAndOnOkSavesRemovesTheHookAndQuits) {
    load();
    for (int i = 0; i < 77; ++i) model().countClick(MouseButton::Right);
    messages.answers = {MsgAnswer::Cancel};
    click("menuClose");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "你确定要关闭此程序吗?");
    EXPECT_EQ(messages.shown[0].title, "关闭程序?");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(messages.shown[0].defaultButton, MsgDefault::Second);
    EXPECT_FALSE(view.quitCalled);
    EXPECT_EQ(input.removes, 0);

    messages.answers = {MsgAnswer::Ok};
    click("menuRightMenuClose");
    EXPECT_TRUE(view.quitCalled);
    EXPECT_EQ(input.removes, 1);
    EXPECT_EQ(stored("totalClick"), "77") << "an orderly exit loses nothing";
    EXPECT_EQ(ReadSetting(store, MirrorKey, "totalClick"), "77");
}

TEST_F(MainPresenterTest, WindowStateAndTrayCommands) {
    MainPresenter& f = load();
    f.onCloseBox();
    EXPECT_FALSE(view.visible) << "the close box only hides";
    f.trayButtonDown(2);
    EXPECT_FALSE(view.visible);
    f.trayButtonDown(1);
    EXPECT_TRUE(view.visible);
    view.minimized = true;
    f.trayButtonDown(1);
    EXPECT_TRUE(view.minimized) << "a minimised visible window stays minimised";
    click("menuRightMenuShowMainWindow");
    EXPECT_TRUE(view.minimized);
    click("menuRightAutoShutdown");
    EXPECT_EQ(view.selectedTab, main_controls::MainTab::Shutdown);

    f.form().checkedByUser(f.form().slot(ControlId{"Check2MinToSystray"}), true);
    click("Check2MinToSystray");
    EXPECT_EQ(stored("MinToSystray"), "1");
    EXPECT_TRUE(view.visible) << "takes effect at the next start only";
}

// The shutdown page answers through the window's one command table, and its countdown
// runs on the window's timer.
TEST_F(MainPresenterTest, ShutdownPageCommandsAndCountdownGoThroughTheWindow) {
    MainPresenter& f = load();
    f.form().textEditedByUser(f.form().slot(ControlId{"Text1"}), "1");
    f.form().checkedByUser(f.form().slot(ControlId{"Check1"}), true);
    click("Check1");
    click("Command1");
    EXPECT_TRUE(view.countdownTimer);
    f.onCountdownTick();
    EXPECT_NE(control("Label23").text.find("0:00:59"), std::string::npos)
        << control("Label23").text;
    click("Command2");
    EXPECT_FALSE(view.countdownTimer);
    EXPECT_THROW(commands->add(ControlId{"Command1"}, [] {}), std::logic_error)
        << "a control has one command";
}

TEST_F(MainPresenterTest, LinksOpenTheSite) {
    load();
    click("StatusBar1.Panel5");
    EXPECT_FALSE(commands->has(ControlId{"StatusBar1.Panel1"})) << "the date panel takes no clicks";
    click("menuHelp1");
    click("menuLiuYan");
    click("menuRightMenuMyWeb");
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{
                  "https://www.pathtally.net", "https://www.pathtally.net/pt/",
                  "https://www.pathtally.net/pt/liuyanList.asp", "https://www.pathtally.net"}));
}

TEST_F(MainPresenterTest, UnreadableInputDevicesShowTheFixAndMarkTheFiguresNotMeasured) {
    for (auto key : {MainKey, MirrorKey}) WriteSetting(store, key, "Allmove", "3773585");
    SwitchableInputAccess access;
    access.readable = false;
    access.positionKnown = false;
    MainPresenter& f = load({}, &access);
    f.onSamplingTick();
    const Control& notice = control("InputAccessNotice");
    EXPECT_TRUE(notice.visible);
    for (const char* part : {"TAG+=\"uaccess\"", "sudo usermod -aG input $USER", "重新登录",
                             "任何程序都能读取键盘输入", "只统计次数", "/usr/lib/udev/rules.d/",
                             "/etc/udev/rules.d/", "sudo udevadm trigger"})
        EXPECT_NE(notice.text.find(part), std::string::npos) << part;
    // Today's figures are not shown as zero measured; the stored total still stands.
    EXPECT_EQ(control("Label2").text, "未测量");
    EXPECT_EQ(control("StatusBar1.Panel2").text, "未测量");
    EXPECT_EQ(control("StatusBar1.Panel3").text, "未测量");
    EXPECT_EQ(control("Label27").text, "未测量");
    EXPECT_EQ(control("Label31").text, "-");
    EXPECT_EQ(control("Label40").text, "-");
    EXPECT_EQ(control("Label73").text, "今天:未测量");
    EXPECT_EQ(control("Label4").text, " 1.000km ");
    EXPECT_EQ(control("Label6").text, "本桌面不提供");
    // Use time goes on.
    for (int i = 0; i < 3; ++i) f.onSecondTick();
    EXPECT_EQ(model().todayUseTime(), 3);

    // A device becomes readable (a udev rule applied while running): figures come back.
    access.readable = true;
    f.onSecondTick();
    EXPECT_FALSE(control("InputAccessNotice").visible);
    EXPECT_EQ(control("Label2").text, " 0.000m ");
    EXPECT_EQ(control("Label27").text, "0");
    EXPECT_EQ(control("Label73").text, "Today:");  // as before the marking
    input.keys(65);
    EXPECT_EQ(control("Label73").text, "今天:1");
    EXPECT_EQ(control("Label6").text, "本桌面不提供");  // travel never needed the position
}

// The second's save writes the bare click count into the counts panel; what the window is
// left with after the second is the clicks and the keys, as between seconds, so the panel
// neither shows the bare count for a while nor is repainted for it.
TEST_F(MainPresenterTest, TheCountsPanelKeepsClicksAndKeysAcrossTheSecond) {
    MainPresenter& f = load();
    for (int i = 0; i < 3; ++i) model().countClick(MouseButton::Left);
    for (int i = 0; i < 5; ++i) model().countKey();
    f.onSamplingTick();
    EXPECT_EQ(control("StatusBar1.Panel3").text, "3/5");
    for (int second = 0; second < 10; ++second) f.onSecondTick();  // the tenth saves
    EXPECT_EQ(control("StatusBar1.Panel3").text, "3/5");
    EXPECT_EQ(control("StatusBar1.Panel4").text, "0:00:10");
}

// The tray icon names the program and today's figures, every second, in the window's
// language; what cannot be measured says so there too.
TEST_F(MainPresenterTest, TrayTooltipShowsTodaysFigures) {
    MainPresenter& f = load({1, 0, 1});
    EXPECT_EQ(control("cSysTray1").toolTip, "PathtallyV1.0.1");
    cursor.push(CursorReading{1000, 0, 11111.0, 1});  // 2.944 m
    for (int i = 0; i < 12; ++i) model().countClick(MouseButton::Left);
    for (int i = 0; i < 30; ++i) model().countKey();
    f.onSecondTick();
    EXPECT_EQ(control("cSysTray1").toolTip,
              "PathtallyV1.0.1\n今天：移动 2.944m，点击 12 次，击键 30 次，用时 0:00:01");

    system.locale = 1028;
    SwitchableInputAccess access;
    access.readable = false;
    MainPresenter& b5 = load({1, 0, 1}, &access);
    b5.onSecondTick();
    EXPECT_EQ(control("cSysTray1").toolTip,
              "PathtallyV1.0.1\n今天：移動 未測量，點擊 未測量，擊鍵 未測量，用時 0:00:01");
}

// The uptime is the system's: it names Windows only on Windows.
TEST_F(MainPresenterTest, UptimeCaptionNamesTheSystem) {
    load();
    EXPECT_EQ(control("Label13").text, "系统已运行时间：");
    system.locale = 1028;
    load();
    EXPECT_EQ(control("Label13").text, "系統已運行時間：");
    system.windows = true;
    load();
    EXPECT_EQ(control("Label13").text, "Windows已運行時間：");
    system.locale = 2052;
    load();
    EXPECT_EQ(control("Label13").text, "Windows已运行时间：");
}

TEST_F(MainPresenterTest, NoticeAndMarksInTraditional) {
    system.locale = 1028;
    SwitchableInputAccess access;
    access.readable = false;
    MainPresenter& f = load({}, &access);
    f.onSamplingTick();
    EXPECT_NE(control("InputAccessNotice").text.find("重新登入"), std::string::npos);
    EXPECT_EQ(control("Label2").text, "未測量");
    EXPECT_EQ(control("Label73").text, "今天:未測量");
    EXPECT_EQ(control("Label6").text, "( 0, 0)");  // the position is known here
}

}  // namespace
}  // namespace pt
