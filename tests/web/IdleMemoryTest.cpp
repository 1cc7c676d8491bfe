// A run that never shows a page never maps the web engine and stays small.

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "LocalSite.h"
#include "ui/WebView.h"

namespace pt {
namespace {

bool EngineMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return false;
    return maps.readAll().contains("libQt6WebEngineCore");
}

// Resident set in kilobytes.
long ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

TEST(IdleMemory, HiddenPagesNeverLoadTheEngine) {
    test::LocalSite site;
    site.setPage("/pt/h1/", "Home strip");
    site.setPage("/pt/news/", "News");
    // A main window started hidden: the home strip and the news tab are sent their pages.
    QWidget window;
    auto* home = new WebView(&window);
    auto* news = new WebView(&window);
    home->navigate(site.root().toStdString() + "/pt/h1/");
    news->navigate(site.root().toStdString() + "/pt/news/");
    QTest::qWait(1500);
    const long idleKb = ResidentKb();
    RecordProperty("resident_kb_hidden", static_cast<int>(idleKb));
    std::printf("resident set, hidden: %ld kB\n", idleKb);
    EXPECT_FALSE(EngineMapped());
    EXPECT_FALSE(WebView::engineLoaded());
    EXPECT_TRUE(site.requests().isEmpty());
    EXPECT_GT(idleKb, 0);
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory is no measure
    EXPECT_LT(idleKb, 40 * 1024);
#endif

    // Shown: the engine comes in and the page is requested.
    news->hide();
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return home->title() == "Home strip"; }, 20000));
    EXPECT_TRUE(EngineMapped());
    EXPECT_TRUE(WebView::engineLoaded());
    EXPECT_EQ(site.requests(), QStringList{"/pt/h1/"});  // the hidden news tab waits
    std::printf("resident set, home strip shown: %ld kB\n", ResidentKb());
}

}  // namespace
}  // namespace pt
