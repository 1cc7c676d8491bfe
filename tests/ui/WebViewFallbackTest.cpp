// Views of the online pages without the web-engine module, on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>

#include "core/form/FormModel.h"
#include "support/QtTestApp.h"
#include "ui/FormBinder.h"
#include "ui/RankingWindow.h"
#include "ui/WebView.h"

namespace pt {
namespace {

class WebViewFallback : public testing::Test {
protected:
    void SetUp() override {
        test::QtTestApp();
        // No module anywhere: neither next to the test binary nor installed.
        qputenv("PATHTALLY_WEB_MODULE", "/nonexistent/pathtally_web.so");
    }
};

TEST_F(WebViewFallback, ShowsThatThePageCannotBeShown) {
    WebView view;
    view.setUnavailableText(QStringLiteral("无法显示"));
    view.navigate("http://127.0.0.1:9/pt/h1/");
    EXPECT_FALSE(view.unavailable());  // hidden: nothing tried yet
    view.show();
    QApplication::processEvents();
    EXPECT_TRUE(view.unavailable());
    EXPECT_FALSE(view.pageCreated());
    EXPECT_FALSE(WebView::engineLoaded());
    EXPECT_EQ(view.title(), "");
    EXPECT_EQ(view.requestedUrl(), QStringLiteral("http://127.0.0.1:9/pt/h1/"));
    auto labels = view.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("无法显示"));
    view.navigate("http://127.0.0.1:9/pt/news/");  // later requests change nothing
    QApplication::processEvents();
    EXPECT_EQ(view.findChildren<QLabel*>().size(), 1);
}

TEST_F(WebViewFallback, RankingWindowStillShowsItsCode) {
    auto* window =
        new RankingWindow("http://127.0.0.1:9/pt/paiming.asp", 5, DynamicValue::Int16(10));
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->findChild<QLineEdit*>("Text1")->text(), QStringLiteral("764-1699"));
    EXPECT_EQ(window->findChild<QLabel*>("Label1")->text(),
              QStringLiteral("请将以下验证码复制到输入框中"));
    EXPECT_TRUE(window->webView()->unavailable());
    delete window;
}

TEST_F(WebViewFallback, BinderLeavesTabPagesToTheirTabControl) {
    QTabWidget tabs;
    tabs.addTab(new QWidget, QStringLiteral("0"));
    auto* page = new WebView;
    page->setObjectName(QStringLiteral("WebBrowser2"));
    tabs.addTab(page, QStringLiteral("1"));
    tabs.setCurrentIndex(0);
    FormModel model;
    model.setVisible(ControlId{"WebBrowser2"}, true);
    FormBinder binder(model, &tabs);
    binder.bindChildren();
    tabs.show();
    binder.syncAll();
    QApplication::processEvents();
    EXPECT_FALSE(page->isVisible());  // not painted over the current page
    tabs.setCurrentIndex(1);
    EXPECT_TRUE(page->isVisible());
}

}  // namespace
}  // namespace pt
