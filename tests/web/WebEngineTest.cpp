// The windows of the product website with the real web engine, against a local site.

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include "LocalSite.h"
#include "core/online/InstallationId.h"
#include "core/online/RankingCode.h"
#include "core/texts/OnlineTexts.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/OnlineWindows.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/Skin.h"
#include "ui/UpdateWindow.h"
#include "ui/WebView.h"

namespace pt {
namespace {

using Outcome = AutoUpdatePresenter::Outcome;

// The version text sits at characters 20 to 26 of the update page's title.
QString UpdateTitle(const QString& version) {
    return QStringLiteral("Pathtally 软件最新版本号为：") + version;
}

QString LabelText(QWidget* window, const char* name) {
    auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

class OnlinePages : public testing::Test {
protected:
    OnlinePages() { WriteSetting(store, MainKey, "SiteRoot", site.root().toStdString()); }
    OnlineWindows& windows() {
        if (!m_windows)
            m_windows = std::make_unique<OnlineWindows>(store, box, Language::Simplified, "V1.0.1",
                                                        [this] { return points; });
        return *m_windows;
    }
    // Runs an automatic check to its end; returns its outcome and whether the window was
    // ever seen before the verdict.
    Outcome runCheck(AutoUpdateWindow* window, bool* seenWhileChecking = nullptr) {
        QPointer<AutoUpdateWindow> w(window);
        Outcome outcome = Outcome::Pending;
        QObject::connect(w, &AutoUpdateWindow::finished, [&](Outcome o) { outcome = o; });
        bool seen = false;
        (void)QTest::qWaitFor(
            [&] {
                if (w && w->isVisible() && outcome == Outcome::Pending) seen = true;
                return outcome != Outcome::Pending;
            },
            25000);
        if (seenWhileChecking) *seenWhileChecking = seen;
        return outcome;
    }

    test::LocalSite site;
    test::MemorySettingsStore store;
    test::FakeMessageBox box;
    DynamicValue points = DynamicValue::Int16(10);

private:
    std::unique_ptr<OnlineWindows> m_windows;
};

TEST_F(OnlinePages, AskedCheckFindsANewerVersion) {
    site.setPage("/pt/pt_update.asp", UpdateTitle("V9.9.9"));
    windows().checkForUpdates();
    QPointer<AutoUpdateWindow> w = windows().autoUpdateWindow();
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->isVisible());  // hidden while the page loads
    bool seen = false;
    EXPECT_EQ(runCheck(w, &seen), Outcome::Newer);
    ASSERT_TRUE(w);
    EXPECT_TRUE(seen);  // shown from the 30th tick, before the title is read
    EXPECT_GE(w->presenter().progressCount(), 31);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(LabelText(w, "Label1"), QStringLiteral("已检测到有更新版本，请下载升级"));
    EXPECT_TRUE(w->webView()->isVisible());
    // The page read for the check is shown as it was read: not fetched a second time.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QString::fromStdString(w->webView()->title()) == UpdateTitle("V9.9.9"); },
        20000));
    EXPECT_EQ(site.requests(), QStringList{"/pt/pt_update.asp"});
    // Asking again raises the open window; nothing is reloaded.
    windows().checkForUpdates();
    EXPECT_EQ(windows().autoUpdateWindow(), w.data());
    EXPECT_EQ(site.count("/pt/pt_update.asp"), 1);
}

TEST_F(OnlinePages, AskedCheckFindsTheRunningVersionCurrent) {
    site.setPage("/pt/pt_update.asp", UpdateTitle("V1.0.1"));
    windows().checkForUpdates();
    QPointer<AutoUpdateWindow> w = windows().autoUpdateWindow();
    EXPECT_EQ(runCheck(w), Outcome::Current);
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(LabelText(w, "Label1"), QStringLiteral("您正在使用的已经是最新版本，无需升级"));
    QTest::qWait(600);  // the timer is off: the verdict stays
    EXPECT_EQ(LabelText(w, "Label1"), QStringLiteral("您正在使用的已经是最新版本，无需升级"));
}

TEST_F(OnlinePages, UnreachableSiteClosesTheAskedCheck) {
    site.stop();
    windows().checkForUpdates();
    QPointer<AutoUpdateWindow> w = windows().autoUpdateWindow();
    bool seen = false;
    EXPECT_EQ(runCheck(w, &seen), Outcome::NotReachable);
    EXPECT_TRUE(seen);
    (void)QTest::qWaitFor([&] { return w.isNull(); }, 2000);
    EXPECT_TRUE(w.isNull());  // closed and deleted
    EXPECT_EQ(windows().autoUpdateWindow(), nullptr);
}

TEST_F(OnlinePages, UnaskedCheckStaysUnseenWhenNothingIsNew) {
    site.setPage("/pt/pt_update.asp", UpdateTitle("V1.0.1"));
    windows().mainWindowShown();
    QPointer<AutoUpdateWindow> w = windows().autoUpdateWindow();
    ASSERT_TRUE(w);
    bool seen = true;
    EXPECT_EQ(runCheck(w, &seen), Outcome::Current);
    EXPECT_FALSE(seen);
    (void)QTest::qWaitFor([&] { return w.isNull(); }, 2000);
    EXPECT_TRUE(w.isNull());
    windows().mainWindowShown();  // once per run
    EXPECT_EQ(windows().autoUpdateWindow(), nullptr);
    EXPECT_EQ(site.requests(), QStringList{"/pt/pt_update.asp"});
}

TEST_F(OnlinePages, UnaskedCheckIsOffWithUpdateCk0) {
    WriteSetting(store, MainKey, "UpdateCK", "0");
    windows().mainWindowShown();
    EXPECT_EQ(windows().autoUpdateWindow(), nullptr);
    QTest::qWait(500);
    EXPECT_TRUE(site.requests().isEmpty());
}

TEST_F(OnlinePages, UpdateWindowShowsTheDownloadPageOnce) {
    site.setPage("/pt/soft/", "Pathtally downloads");
    windows().showUpdate();
    QPointer<UpdateWindow> w = windows().updateWindow();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Pathtally 更新升级..."));
    EXPECT_EQ(LabelText(w, "Label1"),
              QStringLiteral("您当前的版本是：V1.0.1  (请自行决定是否升级)"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.count("/pt/soft/") == 1; }, 15000));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return w->webView()->title() == "Pathtally downloads"; }, 5000));
    windows().showUpdate();
    EXPECT_EQ(windows().updateWindow(), w.data());
    QTest::qWait(300);
    EXPECT_EQ(site.count("/pt/soft/"), 1);
}

TEST_F(OnlinePages, RankingCodeIsComputedOncePerOpening) {
    site.setPage("/pt/paiming.asp", "Ranking");
    windows().requestRanking();
    QPointer<RankingWindow> w = windows().rankingWindow();
    ASSERT_TRUE(w);
    const std::uint32_t id = InstallationId(store, [] { return 0u; });  // the stored one
    auto* code = w->findChild<QLineEdit*>("Text1");
    EXPECT_EQ(code->text().toStdString(), RankingCode(id, DynamicValue::Int16(10)));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("查看您的排名"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.count("/pt/paiming.asp") == 1; }, 15000));

    points = DynamicValue::Int16(20);
    windows().requestRanking();  // raised, not recomputed or reloaded
    EXPECT_EQ(windows().rankingWindow(), w.data());
    EXPECT_EQ(code->text().toStdString(), RankingCode(id, DynamicValue::Int16(10)));
    QTest::qWait(300);
    EXPECT_EQ(site.count("/pt/paiming.asp"), 1);

    w->findChild<QPushButton*>("Command1")->click();
    (void)QTest::qWaitFor([&] { return w.isNull(); }, 2000);
    ASSERT_TRUE(w.isNull());
    windows().requestRanking();  // a new window with a new code
    ASSERT_TRUE(windows().rankingWindow());
    EXPECT_EQ(windows().rankingWindow()->findChild<QLineEdit*>("Text1")->text().toStdString(),
              RankingCode(id, DynamicValue::Int16(20)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return site.count("/pt/paiming.asp") == 2; }, 15000));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(OnlinePages, ZeroPointsOpenNoRankingWindow) {
    points = DynamicValue();
    windows().requestRanking();
    EXPECT_EQ(windows().rankingWindow(), nullptr);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, ranking_texts::ZeroPoints.designed());
    QTest::qWait(300);
    EXPECT_TRUE(site.requests().isEmpty());
}

TEST_F(OnlinePages, SiteBrowserTitleFollowsThePage) {
    site.setPage("/", "Pathtally home");
    windows().showSiteBrowser();
    QPointer<SiteBrowserWindow> w = windows().siteBrowserWindow();
    ASSERT_TRUE(w);
    EXPECT_TRUE(IsSkinned(w));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->windowTitle() == "Pathtally home"; }, 15000));
    EXPECT_EQ(site.requests(), QStringList{"/"});
}

TEST_F(OnlinePages, HiddenViewLoadsOnlyWhenShown) {
    site.setPage("/pt/h1/", "Home strip");
    for (const auto surface : {WebView::PageSurface::Shared, WebView::PageSurface::Own}) {
        SCOPED_TRACE(surface == WebView::PageSurface::Own ? "own surface" : "shared surface");
        const int before = site.count("/pt/h1/");
        QWidget window;
        auto* view = new WebView(&window, surface);
        QSignalSpy titles(view, &WebView::titleChanged);
        std::string seenTitle;
        view->onTitleChanged([&](const std::string& t) { seenTitle = t; });
        view->navigate(site.root().toStdString() + "/pt/h1/");
        QTest::qWait(1000);
        EXPECT_FALSE(view->pageCreated());
        EXPECT_EQ(site.count("/pt/h1/"), before);
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return seenTitle == "Home strip"; }, 15000));
        EXPECT_EQ(view->title(), "Home strip");
        EXPECT_FALSE(titles.isEmpty());
        EXPECT_EQ(site.count("/pt/h1/"), before + 1);
    }
}

// A page of its own surface joins a window that is already on the screen: the window is
// not re-created (same native window, still a raster surface), and the page, in a native
// window of its own, fills the view.
TEST_F(OnlinePages, OwnSurfacePageJoinsAShownWindowWithoutRecreatingIt) {
    site.setPage("/pt/h1/", "Home strip");
    QWidget window;
    window.resize(660, 200);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("figures"), &window));
    auto* view = new WebView(&window, WebView::PageSurface::Own);
    view->setFixedHeight(80);
    layout->addWidget(view);
    view->navigate(site.root().toStdString() + "/pt/h1/");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const WId shown = window.winId();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == "Home strip"; }, 15000));
    QTest::qWait(300);
    EXPECT_EQ(window.winId(), shown) << "the window was re-created";
    EXPECT_EQ(window.windowHandle()->surfaceType(), QSurface::RasterSurface);
    ASSERT_TRUE(view->pageCreated());
    const QList<QWidget*> children = view->findChildren<QWidget*>();
    ASSERT_FALSE(children.isEmpty());
    EXPECT_EQ(children.first()->geometry(), view->rect());
    const QWindow* page = children.first()->windowHandle()
                              ? children.first()->windowHandle()->findChild<QWindow*>()
                              : nullptr;
    ASSERT_TRUE(page) << "the page has a native window of its own";
    EXPECT_EQ(page->geometry(), QRect(QPoint(0, 0), view->size()));
    EXPECT_NE(page->surfaceType(), QSurface::RasterSurface);
}

// Keys the page leaves unused go on to the widgets around it, as from a page in a widget:
// Ctrl+Tab in a tab page goes to the next tab.
TEST_F(OnlinePages, OwnSurfacePageHandsUnusedKeysToItsWindow) {
    site.setPage("/pt/news/", "News");
    QTabWidget tabs;
    tabs.resize(660, 300);
    auto* view = new WebView(&tabs, WebView::PageSurface::Own);
    tabs.addTab(view, QStringLiteral("news"));
    tabs.addTab(new QWidget(&tabs), QStringLiteral("other"));
    view->navigate(site.root().toStdString() + "/pt/news/");
    tabs.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == "News"; }, 15000));
    QWidget* container = view->findChild<QWidget*>();
    ASSERT_TRUE(container && container->windowHandle());
    QWindow* page = container->windowHandle()->findChild<QWindow*>();
    ASSERT_TRUE(page);
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::keyClick(page, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tabs.currentIndex() == 1; }, 5000));
}

// A page at hand is shown in the charset it declares; history and reload work as in a
// browser.
TEST_F(OnlinePages, OwnSurfacePageShowsContentGoesBackAndReloads) {
    site.setPage("/second", "Second page");
    QWidget window;
    window.resize(660, 80);
    auto* view = new WebView(&window, WebView::PageSurface::Own);
    view->resize(660, 80);
    QStringEncoder gbk("GBK");
    ASSERT_TRUE(gbk.isValid());
    const QByteArray page =
        "<html><head><meta http-equiv='Content-Type' content='text/html; "
        "charset=gbk'><title>" +
        QByteArray(gbk.encode(QStringLiteral("软件最新版本号"))) +
        "</title></head><body></body></html>";
    view->showContent(page, QStringLiteral("text/html"), site.root() + QStringLiteral("/first"));
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == "软件最新版本号"; }, 15000))
        << view->title();
    EXPECT_TRUE(site.requests().isEmpty()) << "the page at hand is not fetched";
    view->navigate(site.root().toStdString() + "/second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == "Second page"; }, 15000));
    view->back();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->title() == "软件最新版本号"; }, 15000));
    view->forward();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->title() == "Second page"; }, 15000));
    const int before = site.count("/second");
    view->reload();
    EXPECT_TRUE(QTest::qWaitFor([&] { return site.count("/second") > before; }, 15000));
}

// A site that cannot be reached shows a small local page in the window's language (its
// heading is the page's title), sized for the home strip, and nothing is retried.
TEST_F(OnlinePages, UnreachableSiteShowsALocalPageInTheWindowsLanguage) {
    struct Case {
        Language lang;
        const char* heading;
        const char* script;  // for the screenshot's name
        WebView::PageSurface surface;
    };
    for (const auto& [lang, heading, script, surface] :
         {Case{Language::Simplified, "无法打开此网页", "GB", WebView::PageSurface::Shared},
          Case{Language::Traditional, "無法開啟此網頁", "B5", WebView::PageSurface::Shared},
          Case{Language::Simplified, "无法打开此网页", "GB-own", WebView::PageSurface::Own}}) {
        SCOPED_TRACE(script);
        QWidget window;
        window.resize(660, 80);
        auto* view = new WebView(&window, surface);
        view->resize(660, 80);
        SetUnreachableTexts(*view, lang);
        std::vector<std::string> titles;
        view->onTitleChanged([&](const std::string& t) { titles.push_back(t); });
        view->navigate("http://127.0.0.1:9/pt/h1/");  // nothing listens on the discard port
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == heading; }, 20000))
            << view->title();
        QTest::qWait(500);
        EXPECT_EQ(view->title(), heading) << "it stays: no retry replaces it";
        if (surface == WebView::PageSurface::Own) continue;  // not in the window's own image
        QDir().mkpath(QStringLiteral(PT_BINARY_DIR "/screenshots"));
        window.grab().save(QStringLiteral(PT_BINARY_DIR "/screenshots/unreachable-%1.png")
                               .arg(QLatin1String(script)));
    }
}

// The site window goes back, forward and reloads with the keys browsers use.
TEST_F(OnlinePages, SiteBrowserGoesBackForwardAndReloads) {
    site.setPage("/", "Pathtally home");
    site.setPage("/second", "Second page");
    windows().showSiteBrowser();
    QPointer<SiteBrowserWindow> w = windows().siteBrowserWindow();
    ASSERT_TRUE(w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->windowTitle() == "Pathtally home"; }, 15000));
    w->webView()->navigate(site.root().toStdString() + "/second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->windowTitle() == "Second page"; }, 15000));
    w->activateWindow();
    QTest::keyClick(w, Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->windowTitle() == "Pathtally home"; }, 15000));
    QTest::keyClick(w, Qt::Key_Right, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->windowTitle() == "Second page"; }, 15000));
    const int before = site.count("/second");
    QTest::keyClick(w, Qt::Key_F5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return site.count("/second") > before; }, 15000));
}

}  // namespace
}  // namespace pt
