// The automatic update check reads the update page over HTTP, without the web engine.
// Its own process: the engine must not be mapped by anything before the checks look.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "core/online/UpdateCheck.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/HttpPageTitle.h"
#include "ui/WebView.h"

namespace pt {
namespace {

bool EngineMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = maps.readAll();
    return text.contains("libQt6WebEngineCore") || text.contains("pathtally_web.so");
}

QByteArray Page(const QByteArray& title, const QByteArray& head = {}) {
    return "<!DOCTYPE html><html><head>" + head + "<title>" + title +
           "</title></head><body>update</body></html>";
}

// An HTTP server that answers each path with a prepared response, or never answers.
class ScriptedSite : public QObject {
public:
    ScriptedSite() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->peek(16384).contains("\r\n\r\n")) return;
                    const QByteArray head = socket->readAll();
                    const QByteArray path = head.left(head.indexOf("\r\n")).split(' ').value(1);
                    if (!m_responses.contains(path)) return;  // silent: never answers
                    socket->write(m_responses[path]);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    std::string url(const char* path) const {
        return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + path;
    }
    void serve(const QByteArray& path, const QByteArray& body, const QByteArray& contentType,
               const QByteArray& status = "200 OK") {
        m_responses[path] =
            "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
            "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\n\r\n" + body;
    }

private:
    QTcpServer m_server;
    QMap<QByteArray, QByteArray> m_responses;
};

class UpdateCheckOverHttp : public testing::Test {
protected:
    // Fetches a page's title; false when the fetch did not end in time.
    bool fetch(const char* path, HttpPageTitle::Limits limits = {}) {
        reader = std::make_unique<HttpPageTitle>(limits);
        reader->navigate(site.url(path));
        return QTest::qWaitFor([&] { return reader->done(); }, 15000);
    }
    std::optional<UpdateVerdict> verdict() const {
        return UpdateVerdictFromTitle(reader->title(), "V1.0.9");
    }
    void TearDown() override { EXPECT_FALSE(EngineMapped()) << "the check loaded the engine"; }

    ScriptedSite site;
    std::unique_ptr<HttpPageTitle> reader;
};

// 19 characters before the version, which then starts at character 20.
const QByteArray TitleBefore = "Pathtally 软件最新版本号为：";

// Rates and delays: a loaded machine can upset them, so they run alone (the "load" label).
class UpdateCheckOverHttpTiming : public UpdateCheckOverHttp {};

TEST_F(UpdateCheckOverHttp, OlderEqualAndNewerVersions) {
    const struct {
        const char* version;
        UpdateVerdict verdict;
    } cases[] = {{"V1.0.8", UpdateVerdict::Current},
                 {"V1.0.9", UpdateVerdict::Current},
                 {"V1.0.10", UpdateVerdict::Newer},
                 {"V2.0.0", UpdateVerdict::Newer}};
    for (const auto& c : cases) {
        site.serve("/pt/pt_update.asp", Page(TitleBefore + c.version), "text/html; charset=utf-8");
        ASSERT_TRUE(fetch("/pt/pt_update.asp")) << c.version;
        EXPECT_EQ(reader->title(), (TitleBefore + c.version).toStdString());
        EXPECT_EQ(verdict(), c.verdict) << c.version;
        EXPECT_FALSE(reader->wholePage().isEmpty());  // kept for showing without a new fetch
    }
}

TEST_F(UpdateCheckOverHttp, EntitiesAndTheCharsetOfAMetaTag) {
    // GBK bytes of "Pathtally 软件最新版本号为：V1.0.10", declared only in the page.
    const QByteArray gbk =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
        "<title>Pathtally \xc8\xed\xbc\xfe\xd7\xee\xd0\xc2\xb0\xe6\xb1\xbe\xba\xc5\xce\xaa\xa3\xba"
        "V1.0.10</title></head></html>";
    site.serve("/gbk", gbk, "text/html");
    ASSERT_TRUE(fetch("/gbk"));
    EXPECT_EQ(reader->title(), (TitleBefore + "V1.0.10").toStdString());
    EXPECT_EQ(verdict(), UpdateVerdict::Newer);

    site.serve("/entities", Page("Pathtally &#36719;&#20214;&#x6700;新版本号为：V1.0.10&nbsp;"),
               "text/html; charset=utf-8");
    ASSERT_TRUE(fetch("/entities"));
    EXPECT_EQ(reader->title(), (TitleBefore + "V1.0.10\xC2\xA0").toStdString());
    EXPECT_EQ(verdict(), UpdateVerdict::Newer);
}

TEST_F(UpdateCheckOverHttp, NoTitleOrAnErrorStatusReadsAsUnreachable) {
    site.serve("/untitled", "<html><body>Pathtally V9.9.9</body></html>", "text/html");
    ASSERT_TRUE(fetch("/untitled"));
    EXPECT_EQ(reader->title(), "");
    EXPECT_EQ(verdict(), std::nullopt);

    // An error page that names the product is still no update page.
    site.serve("/missing", Page(TitleBefore + "V9.9.9"), "text/html", "404 Not Found");
    ASSERT_TRUE(fetch("/missing"));
    EXPECT_EQ(reader->title(), "");
    EXPECT_EQ(verdict(), std::nullopt);
    EXPECT_TRUE(reader->wholePage().isEmpty());
}

TEST_F(UpdateCheckOverHttp, AHugePageIsReadOnlyUpToTheLimit) {
    QByteArray huge = Page(TitleBefore + "V1.0.10");
    huge += QByteArray(10 * 1024 * 1024, 'x');
    site.serve("/huge", huge, "text/html; charset=utf-8");
    ASSERT_TRUE(fetch("/huge"));
    EXPECT_EQ(verdict(), UpdateVerdict::Newer);
    EXPECT_TRUE(reader->wholePage().isEmpty());  // cut: shown from the address if ever

    // A title beyond the limit is not found.
    QByteArray late(10 * 1024 * 1024, ' ');
    late += Page(TitleBefore + "V1.0.10");
    site.serve("/late", late, "text/html; charset=utf-8");
    ASSERT_TRUE(fetch("/late"));
    EXPECT_EQ(reader->title(), "");
}

TEST_F(UpdateCheckOverHttpTiming, AServerThatNeverAnswersIsGivenUpInBoundedTime) {
    QElapsedTimer timer;
    timer.start();
    HttpPageTitle::Limits limits;
    limits.timeoutMs = 1000;
    ASSERT_TRUE(fetch("/silent", limits));
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(reader->title(), "");
}

TEST_F(UpdateCheckOverHttp, TheUnseenCheckWindowNeverLoadsTheEngine) {
    site.serve("/pt/pt_update.asp", Page(TitleBefore + "V1.0.9"), "text/html; charset=utf-8");
    QPointer<AutoUpdateWindow> window =
        new AutoUpdateWindow(Language::Simplified, "V1.0.9", site.url("/pt/pt_update.asp"),
                             AutoUpdatePresenter::Mode::Unasked);
    auto outcome = AutoUpdatePresenter::Outcome::Pending;
    QObject::connect(window, &AutoUpdateWindow::finished,
                     [&](AutoUpdatePresenter::Outcome o) { outcome = o; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 20000));  // closes unseen
    EXPECT_EQ(outcome, AutoUpdatePresenter::Outcome::Current);
    EXPECT_FALSE(WebView::engineLoaded());
}

}  // namespace
}  // namespace pt
