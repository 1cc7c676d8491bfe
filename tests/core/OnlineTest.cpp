#include <gtest/gtest.h>

#include "core/online/AutoUpdatePresenter.h"
#include "core/online/InstallationId.h"
#include "core/online/RankingCode.h"
#include "core/online/RankingPresenter.h"
#include "core/online/Site.h"
#include "core/online/SiteBrowserPresenter.h"
#include "core/online/SitePages.h"
#include "core/online/UnaskedUpdateCheck.h"
#include "core/online/UpdateCheck.h"
#include "core/online/UpdatePresenter.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace pt {
namespace {

using test::FakeBrowser;
using test::FakeMessageBox;
using Outcome = AutoUpdatePresenter::Outcome;
using Mode = AutoUpdatePresenter::Mode;

// 19 characters (one of them Chinese) before the version, which then starts at character 20.
std::string UpdateTitle(const std::string& version) {
    return "Pathtally 软件最新版本号为：" + version;
}

TEST(RankingCode, EncodesInstallationAndPoints) {
    EXPECT_EQ(RankingCode(5, DynamicValue::Int16(10)), "764-1699");
    EXPECT_EQ(RankingCode(0, DynamicValue::Double(1)), "159-340");
    // Plain decimal, no grouping or exponent, even for large numbers.
    EXPECT_EQ(RankingCode(MaxInstallationId, DynamicValue::Double(123456789)),
              "259845521446-18641975328");
    EXPECT_EQ(RankingCode(5, DynamicValue::Double(1e300)), "764-151000000000000189");
    EXPECT_EQ(RankingCode(5, DynamicValue::Text("12")), "764-2001");
}

TEST(RankingCode, ZeroOrEmptyPointsAreRefusedWithTheMessage) {
    for (const DynamicValue& points : {DynamicValue(), DynamicValue::Int16(0),
                                       DynamicValue::Double(0), DynamicValue::Text("")}) {
        FakeMessageBox box;
        EXPECT_FALSE(RankingAllowed(points, box));
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text,
                  "您的积分还是0分，当您积分大于0时再来查排名吧（1小时后可以来查）");
        EXPECT_EQ(box.shown[0].title, "Pathtally");
        EXPECT_EQ(box.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(box.shown[0].icon, MsgIcon::None);
    }
    FakeMessageBox box;
    EXPECT_TRUE(RankingAllowed(DynamicValue::Double(1), box));
    EXPECT_TRUE(box.shown.empty());
}

TEST(RankingCode, RankingPresenterNavigatesAndShowsTheCodeOnce) {
    FakeBrowser browser;
    RankingPresenter form(browser, "http://site/pt/paiming.asp");
    EXPECT_EQ(form.form().get(ControlId{"FormPaiMing"}).text, "查看您的排名");
    EXPECT_EQ(form.form().get(ControlId{"Command1"}).text, "关闭(&C)");
    form.load(5, DynamicValue::Int16(10));
    EXPECT_EQ(browser.navigations, std::vector<std::string>{"http://site/pt/paiming.asp"});
    EXPECT_EQ(form.form().get(ControlId{"Text1"}).text, "764-1699");
    EXPECT_FALSE(form.closeRequested());
    form.close();
    EXPECT_TRUE(form.closeRequested());
}

TEST(InstallationId, CreatedOnceAndKept) {
    test::MemorySettingsStore store;
    int created = 0;
    auto source = [&] {
        ++created;
        return 4000000000u;  // beyond the range: folded into it
    };
    const std::uint32_t id = InstallationId(store, source);
    EXPECT_GE(id, 1u);
    EXPECT_LE(id, MaxInstallationId);
    EXPECT_EQ(ReadSetting(store, MainKey, "installationid"), std::to_string(id));
    EXPECT_EQ(InstallationId(store, source), id);
    EXPECT_EQ(created, 1);
}

TEST(InstallationId, DamagedValueIsReplaced) {
    for (const char* stored : {"abc", "-5", " 12", "12x", "99999999999", "2147483648", ""}) {
        test::MemorySettingsStore store;
        WriteSetting(store, MainKey, "InstallationId", stored);
        EXPECT_EQ(InstallationId(store, [] { return 41u; }), 42u) << stored;
        EXPECT_EQ(ReadSetting(store, MainKey, "InstallationId"), "42");
    }
    test::MemorySettingsStore store;
    WriteSetting(store, MainKey, "InstallationId", "0");
    EXPECT_EQ(InstallationId(store, [] { return 41u; }), 0u);  // a stored 0 is valid
}

TEST(UpdateCheck, VersionIsTakenFromCharactersTwentyOn) {
    EXPECT_EQ(LatestVersionFromTitle(UpdateTitle("V1.2.10 released")), "V1.2.10");
    EXPECT_EQ(LatestVersionFromTitle(UpdateTitle("V2.0")), "V2.0");
    EXPECT_EQ(LatestVersionFromTitle("Pathtally"), "");
    EXPECT_EQ(LatestVersionFromTitle(""), "");
    // A broken UTF-8 sequence counts byte by byte and never reads past the end.
    EXPECT_EQ(LatestVersionFromTitle(std::string(19, 'a') + "\xE4\xB8"), "\xE4\xB8");
}

TEST(UpdateCheck, DecisionTable) {
    EXPECT_EQ(UpdateVerdictFromTitle(UpdateTitle("V1.0.2"), "V1.0.1"), UpdateVerdict::Newer);
    EXPECT_EQ(UpdateVerdictFromTitle(UpdateTitle("V1.0.1"), "V1.0.1"), UpdateVerdict::Current);
    EXPECT_EQ(UpdateVerdictFromTitle(UpdateTitle("V1.0.0"), "V1.0.1"), UpdateVerdict::Current);
    // Version numbers, not text: "V1.0.10" is newer than "V1.0.9".
    EXPECT_EQ(UpdateVerdictFromTitle(UpdateTitle("V1.0.10"), "V1.0.9"), UpdateVerdict::Newer);
    EXPECT_EQ(UpdateVerdictFromTitle(UpdateTitle("V1.0.9"), "V1.0.10"), UpdateVerdict::Current);
    // Recognised but shorter than 20 characters: empty version, never newer.
    EXPECT_EQ(UpdateVerdictFromTitle("Pathtally V9.9.9", "V1.0.1"), UpdateVerdict::Current);
    // Not the update page: the product name is missing or differently cased.
    EXPECT_EQ(UpdateVerdictFromTitle("", "V1.0.1"), std::nullopt);
    EXPECT_EQ(UpdateVerdictFromTitle("127.0.0.1", "V1.0.1"), std::nullopt);
    EXPECT_EQ(UpdateVerdictFromTitle("pathtally 软件最新版本号为：V9.9.9", "V1.0.1"), std::nullopt);
    EXPECT_EQ(UpdateVerdictFromTitle("最新 Pathtally 版本号为：V9.9.9", "V1.0.1"),
              UpdateVerdict::Current);  // the name anywhere; here the version is off place
}

TEST(UpdateCheck, VersionsCompareNumberByNumber) {
    EXPECT_TRUE(IsNewerVersion("V1.0.10", "V1.0.9"));
    EXPECT_FALSE(IsNewerVersion("V1.0.9", "V1.0.10"));
    EXPECT_TRUE(IsNewerVersion("V2.0", "V1.9.99"));
    EXPECT_TRUE(IsNewerVersion("V1.0.1.1", "V1.0.1"));  // a missing number counts as 0
    EXPECT_FALSE(IsNewerVersion("V1.0", "V1.0.0"));
    EXPECT_FALSE(IsNewerVersion("V1.0.01", "V1.0.1"));  // leading zeros change nothing
    EXPECT_TRUE(IsNewerVersion("v1.1.0", "V1.0.1"));
    EXPECT_TRUE(IsNewerVersion("V1.0.2)", "V1.0.1"));  // what follows the numbers is ignored
    EXPECT_FALSE(IsNewerVersion("9.9.9", "V1.0.1"));   // no version text: off place
    // Nothing to compare: never newer, so no false alarm from a changed page.
    EXPECT_FALSE(IsNewerVersion("", "V1.0.1"));
    EXPECT_FALSE(IsNewerVersion("Vx.9.9", "V1.0.1"));
    EXPECT_FALSE(IsNewerVersion("V99999999999999999999999", "V99999999999999999999999"));
    EXPECT_TRUE(IsNewerVersion("V99999999999999999999999", "V1"));
}

struct AutoUpdateRun {
    FakeBrowser browser;
    AutoUpdatePresenter form;
    explicit AutoUpdateRun(Mode mode = Mode::Asked, Language lang = Language::Simplified)
        : form(browser, lang, "V1.0.1", "http://site/pt/pt_update.asp", mode) {
        form.load();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) form.onTick();
    }
    const Control& c(std::string_view name) { return form.form().get(ControlId{name}); }
};

TEST(AutoUpdatePresenter, LoadsHiddenAndSpinsWithoutReadingTheTitleEarly) {
    AutoUpdateRun run;
    EXPECT_EQ(run.browser.navigations, std::vector<std::string>{"http://site/pt/pt_update.asp"});
    EXPECT_FALSE(run.c("WebBrowser1").visible);
    EXPECT_EQ(run.c("FormAutoUpdate").text, "自动检查更新...");
    EXPECT_TRUE(run.form.timerRunning());
    run.browser.setTitle(UpdateTitle("V1.0.2"));  // the page arrives early
    const char* spinner[] = {"正在连线检查中...\\", "正在连线检查中...|", "正在连线检查中.../",
                             "正在连线检查中...-"};
    for (int tick = 1; tick <= 30; ++tick) {
        run.form.onTick();
        EXPECT_EQ(run.c("Label1").text, spinner[tick % 4]) << tick;
        EXPECT_EQ(run.c("FormAutoUpdate").visible, tick >= 30) << tick;
        EXPECT_EQ(run.form.outcome(), Outcome::Pending) << tick;
    }
    run.ticks(1);  // tick 31 reads the title
    EXPECT_EQ(run.form.outcome(), Outcome::Newer);
    EXPECT_EQ(run.c("Label1").text, "已检测到有更新版本，请下载升级");
    EXPECT_TRUE(run.c("WebBrowser1").visible);
    EXPECT_TRUE(run.c("FormAutoUpdate").visible);
    EXPECT_FALSE(run.form.timerRunning());
    EXPECT_FALSE(run.form.closeRequested());
    run.ticks(5);  // a stopped timer changes nothing
    EXPECT_EQ(run.form.progressCount(), 31);
    EXPECT_EQ(run.c("Label1").text, "已检测到有更新版本，请下载升级");
}

TEST(AutoUpdatePresenter, TitleBetweenTicks31And60StopsAtTheFirstTickThatSeesIt) {
    AutoUpdateRun run;
    run.ticks(44);
    run.browser.setTitle("Loading...");  // not the update page yet
    run.ticks(1);
    EXPECT_EQ(run.form.outcome(), Outcome::Pending);
    run.browser.setTitle(UpdateTitle("V1.0.1"));
    run.ticks(1);
    EXPECT_EQ(run.form.progressCount(), 46);
    EXPECT_EQ(run.form.outcome(), Outcome::Current);
    EXPECT_EQ(run.c("Label1").text, "您正在使用的已经是最新版本，无需升级");
    EXPECT_FALSE(run.form.closeRequested());
    EXPECT_FALSE(run.form.timerRunning());
}

TEST(AutoUpdatePresenter, UnreachableAfterTick60ClosesWithTheMessage) {
    AutoUpdateRun run;
    run.browser.setTitle("127.0.0.1");  // the engine's error page
    run.ticks(60);
    EXPECT_EQ(run.form.outcome(), Outcome::Pending);
    EXPECT_FALSE(run.form.closeRequested());
    EXPECT_TRUE(run.c("FormAutoUpdate").visible);
    run.ticks(1);
    EXPECT_EQ(run.form.outcome(), Outcome::NotReachable);
    EXPECT_EQ(run.c("Label1").text, "您的网络无法连通,无法在线升级");
    EXPECT_TRUE(run.form.closeRequested());
    EXPECT_FALSE(run.form.timerRunning());
}

TEST(AutoUpdatePresenter, TitleAtTick61StillWins) {
    AutoUpdateRun run;
    run.ticks(60);
    run.browser.setTitle(UpdateTitle("V1.2.10"));
    run.ticks(1);
    EXPECT_EQ(run.form.outcome(), Outcome::Newer);
    EXPECT_FALSE(run.form.closeRequested());
}

TEST(AutoUpdatePresenter, TextsFollowTheLanguage) {
    AutoUpdateRun b5(Mode::Asked, Language::Traditional);
    EXPECT_EQ(b5.c("FormAutoUpdate").text, "Pathtally 更新升級...");
    b5.ticks(1);
    EXPECT_EQ(b5.c("Label1").text, "正在連線檢查中...|");
    b5.ticks(60);
    EXPECT_EQ(b5.c("Label1").text, "您的網路無法連通,無法線上升級");
    // "En" keeps the Simplified title but takes the Traditional texts.
    AutoUpdateRun en(Mode::Asked, Language::English);
    EXPECT_EQ(en.c("FormAutoUpdate").text, "自动检查更新...");
    en.browser.setTitle(UpdateTitle("V1.0.0"));
    en.ticks(31);
    EXPECT_EQ(en.c("Label1").text, "您正在使用的已經是最新版本，無需升級");
}

TEST(AutoUpdatePresenter, UnaskedCheckShowsOnlyANewerVersion) {
    AutoUpdateRun unreachable(Mode::Unasked);
    unreachable.ticks(61);
    EXPECT_EQ(unreachable.form.outcome(), Outcome::NotReachable);
    EXPECT_TRUE(unreachable.form.closeRequested());
    EXPECT_FALSE(unreachable.c("FormAutoUpdate").visible);

    AutoUpdateRun current(Mode::Unasked);
    current.browser.setTitle(UpdateTitle("V1.0.1"));
    current.ticks(31);
    EXPECT_EQ(current.form.outcome(), Outcome::Current);
    EXPECT_TRUE(current.form.closeRequested());
    EXPECT_FALSE(current.c("FormAutoUpdate").visible);

    AutoUpdateRun newer(Mode::Unasked);
    newer.browser.setTitle(UpdateTitle("V1.1.0"));
    newer.ticks(30);
    EXPECT_FALSE(newer.c("FormAutoUpdate").visible);
    newer.ticks(1);
    EXPECT_EQ(newer.form.outcome(), Outcome::Newer);
    EXPECT_TRUE(newer.c("FormAutoUpdate").visible);
    EXPECT_FALSE(newer.form.closeRequested());
}

// The check nobody asked for: at the first showing of the main window in a run, never again,
// not over a check already under way, not when the stored switch is "0".
TEST(UnaskedUpdateCheck, RunsOncePerRunAtTheFirstShowing) {
    test::MemorySettingsStore store;
    UnaskedUpdateCheck check(store);
    EXPECT_TRUE(check.dueOnWindowShown(false));
    EXPECT_FALSE(check.dueOnWindowShown(false));
    EXPECT_FALSE(check.dueOnWindowShown(false));

    UnaskedUpdateCheck busy(store);
    EXPECT_FALSE(busy.dueOnWindowShown(true));
    EXPECT_FALSE(busy.dueOnWindowShown(false)) << "the first showing decides for the run";

    for (const char* stored : {"0", " 0 "}) {
        WriteSetting(store, MainKey, "UpdateCK", stored);
        UnaskedUpdateCheck off(store);
        EXPECT_FALSE(off.dueOnWindowShown(false)) << stored;
    }
    WriteSetting(store, MainKey, "UpdateCK", "1");
    UnaskedUpdateCheck on(store);
    EXPECT_TRUE(on.dueOnWindowShown(false));
}

TEST(UpdatePresenter, ShowsTheDownloadPageAndTheRunningVersion) {
    struct Case {
        Language lang;
        const char* title;
        const char* label;
    };
    for (const Case& c : {Case{Language::Simplified, "Pathtally 更新升级...",
                               "您当前的版本是：V1.0.1  (请自行决定是否升级)"},
                          Case{Language::Traditional, "Pathtally 更新升級...",
                               "您當前的版本是：V1.0.1  (請自行決定是否升級)"},
                          Case{Language::English, "Pathtally 更新升级...",
                               "您當前的版本是：V1.0.1  (請自行決定是否升級)"}}) {
        FakeBrowser browser;
        UpdatePresenter form(browser, c.lang, "V1.0.1", "http://site/pt/soft/");
        form.load();
        EXPECT_EQ(browser.navigations, std::vector<std::string>{"http://site/pt/soft/"});
        EXPECT_EQ(form.form().get(ControlId{"FormUpdate"}).text, c.title);
        EXPECT_EQ(form.form().get(ControlId{"Label1"}).text, c.label);
        EXPECT_TRUE(form.form().get(ControlId{"WebBrowser1"}).visible);
        EXPECT_FALSE(form.form().get(ControlId{"Timer1"}).enabled);
    }
}

TEST(SiteBrowserPresenter, TitleFollowsThePageOnTicksNotMultipleOfFive) {
    FakeBrowser browser;
    SiteBrowserPresenter form(browser, "http://site");
    form.load();
    EXPECT_EQ(browser.navigations, std::vector<std::string>{"http://site"});
    browser.setTitle("Home");
    form.onTick();
    EXPECT_EQ(form.form().get(ControlId{"FormWebBrowser"}).text, "Home");
    form.onTick();
    form.onTick();
    form.onTick();
    browser.setTitle("News");
    form.onTick();  // tick 5: not copied
    EXPECT_EQ(form.form().get(ControlId{"FormWebBrowser"}).text, "Home");
    form.onTick();
    EXPECT_EQ(form.form().get(ControlId{"FormWebBrowser"}).text, "News");
    // Open for hours: the counter wraps instead of overflowing.
    for (int i = 0; i < 40000; ++i) form.onTick();
    EXPECT_GE(form.webOpenTime(), 0);
}

TEST(SitePages, SwitchesCompareTheStoredTextExactly) {
    test::MemorySettingsStore store;
    WriteSetting(store, MainKey, "SiteRoot", "http://127.0.0.1:8080/");
    EXPECT_EQ(HomePageAddress(store), "http://127.0.0.1:8080/pt/h1/");
    EXPECT_EQ(NewsPageAddress(store), "http://127.0.0.1:8080/pt/news/");
    WriteSetting(store, MainKey, "ClosePtHome", "1");
    WriteSetting(store, MainKey, "closeptnews", "1");
    EXPECT_EQ(HomePageAddress(store), std::nullopt);
    EXPECT_EQ(NewsPageAddress(store), std::nullopt);
    for (const char* on : {" 1", "01", "0", "yes", "1 "}) {
        WriteSetting(store, MainKey, "ClosePtHome", on);
        EXPECT_TRUE(HomePageAddress(store).has_value()) << on;
    }
    EXPECT_TRUE(AutomaticUpdateCheckEnabled(store));
    WriteSetting(store, MainKey, "UpdateCK", "0");
    EXPECT_FALSE(AutomaticUpdateCheckEnabled(store));
    WriteSetting(store, MainKey, "UpdateCK", " 0\n");  // the switch is read trimmed
    EXPECT_FALSE(AutomaticUpdateCheckEnabled(store));
    WriteSetting(store, MainKey, "UpdateCK", "1");
    EXPECT_TRUE(AutomaticUpdateCheckEnabled(store));
}

TEST(SiteRoot, OnlyHttpAddressesWithAHostAreUsed) {
    test::MemorySettingsStore store;
    // Mirrors and local copies, with or without a port, path or trailing slash.
    for (auto [stored, used] : std::vector<std::pair<std::string, std::string>>{
             {"http://127.0.0.1:8000", "http://127.0.0.1:8000"},
             {"HTTPS://Mirror.example.org/", "HTTPS://Mirror.example.org"},
             {"https://example.org/pathtally-mirror/", "https://example.org/pathtally-mirror"},
             {"http://[::1]:8080", "http://[::1]:8080"},
             {"", std::string(DefaultSiteRoot)}}) {
        WriteSetting(store, MainKey, "SiteRoot", stored);
        EXPECT_EQ(SiteRoot(store), used) << stored;
    }
    // Anything the desktop opener could take for a file, a script or an option.
    for (const char* hostile :
         {"file:///etc/passwd", "javascript:alert(1)//", "--help", "-x http://example.org",
          "ftp://example.org", "http://", "http:///etc", "https://:80", "http://a b.org",
          "http://user@evil.example", "http://example.org/a?b=c", "http://example.org/#x",
          "http://example.org/a\b", "http://example.org:port", "http://example.org:123456",
          "http://-opt.example", "//example.org", "http://example.org/\n\r"}) {
        WriteSetting(store, MainKey, "SiteRoot", hostile);
        EXPECT_EQ(SiteRoot(store), DefaultSiteRoot) << hostile;
        EXPECT_EQ(HomePageAddress(store), std::string(DefaultSiteRoot) + "/pt/h1/") << hostile;
    }
    WriteSetting(store, MainKey, "SiteRoot", std::string("http://example.org/\x01"));
    EXPECT_EQ(SiteRoot(store), DefaultSiteRoot);
    WriteSetting(store, MainKey, "SiteRoot", std::string("http://exa\tmple.org"));
    EXPECT_EQ(SiteRoot(store), DefaultSiteRoot);
}

}  // namespace
}  // namespace pt
