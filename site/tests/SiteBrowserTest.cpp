// The site in a real browser: headless Chromium driven through chromedriver (WebDriver)
// submits a ranking code through the page's form, reads the leaderboard, posts on the
// board, switches the script, and takes screenshots of each page at the size the program
// shows it (build/<preset>/screenshots/site-*.png).

#include <gtest/gtest.h>

#include <Poco/Base64Decoder.h>
#include <Poco/JSON/Object.h>
#include <Poco/JSON/Parser.h>
#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Net/ServerSocket.h>
#include <Poco/StreamCopier.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SiteProcess.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

namespace pt::site {
namespace {

namespace fs = std::filesystem;
using Poco::JSON::Object;
using Json = Poco::Dynamic::Var;

// chromedriver on a free port, one browser session, the W3C WebDriver calls the test needs.
class Browser {
public:
    explicit Browser(const fs::path& dir) {
        {
            Poco::Net::ServerSocket probe(Poco::Net::SocketAddress("127.0.0.1", 0));
            m_port = probe.address().port();
        }
        m_driver = fork();
        if (m_driver == 0) {
            const std::string log = (dir / "chromedriver.log").string();
            freopen(log.c_str(), "a", stdout);
            freopen(log.c_str(), "a", stderr);
            const std::string port = "--port=" + std::to_string(m_port);
            execlp("chromedriver", "chromedriver", port.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const bool up = test::WaitUntil(
            [&] {
                try {
                    return call("GET", "/status")
                        .extract<Object::Ptr>()
                        ->getObject("value")
                        ->getValue<bool>("ready");
                } catch (const std::exception&) {
                    return false;
                }
            },
            std::chrono::seconds(20), std::chrono::milliseconds(100));
        if (!up) return;
        // Flags for a root container: no sandbox, no GPU, no network but the site's.
        Poco::JSON::Array args;
        for (const char* flag :
             {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--disable-dev-shm-usage", "--hide-scrollbars=false", "--window-size=1024,768"})
            args.add(flag);
        args.add("--user-data-dir=" + (dir / "chromium-profile").string());
        Object::Ptr chrome = new Object;
        chrome->set("binary", "/usr/bin/chromium");
        chrome->set("args", args);
        Object::Ptr always = new Object;
        always->set("browserName", "chrome");
        always->set("goog:chromeOptions", chrome);
        Object::Ptr caps = new Object;
        caps->set("alwaysMatch", always);
        Object::Ptr body = new Object;
        body->set("capabilities", caps);
        try {
            m_session = value(call("POST", "/session", body))
                            .extract<Object::Ptr>()
                            ->getValue<std::string>("sessionId");
        } catch (const std::exception& e) {
            m_error = e.what();
        }
    }
    ~Browser() {
        if (!m_session.empty()) {
            try {
                call("DELETE", "/session/" + m_session);
            } catch (...) {
            }
        }
        if (m_driver > 0) {
            kill(m_driver, SIGTERM);
            waitpid(m_driver, nullptr, 0);
        }
    }
    bool ready() const { return !m_session.empty(); }
    const std::string& error() const { return m_error; }

    void open(const std::string& url) { command("POST", "/url", Obj({{"url", url}})); }
    std::string title() { return command("GET", "/title").toString(); }
    // The element matching a CSS selector, waiting for it; empty when none appears.
    std::string find(const std::string& css,
                     std::chrono::milliseconds bound = std::chrono::seconds(15)) {
        std::string id;
        test::WaitUntil(
            [&] {
                try {
                    Object::Ptr e = command("POST", "/element",
                                            Obj({{"using", "css selector"}, {"value", css}}))
                                        .extract<Object::Ptr>();
                    // The reference's one member (its name is WebDriver's element key).
                    if (e->size() != 1) return false;
                    id = e->begin()->second.toString();
                    return !id.empty();
                } catch (const std::exception& e) {
                    m_error = e.what();
                    return false;
                }
            },
            bound, std::chrono::milliseconds(100));
        return id;
    }
    void type(const std::string& element, const std::string& text) {
        command("POST", "/element/" + element + "/value", Obj({{"text", text}}));
    }
    void clear(const std::string& element) {
        command("POST", "/element/" + element + "/clear", new Object);
    }
    void click(const std::string& element) {
        command("POST", "/element/" + element + "/click", new Object);
    }
    std::string text(const std::string& element) {
        return command("GET", "/element/" + element + "/text").toString();
    }
    // Runs a script in the page (WebDriver's, which the page's policy does not govern).
    Json script(const std::string& js) {
        Object::Ptr body = Obj({{"script", js}});
        body->set("args", Poco::JSON::Array());
        return command("POST", "/execute/sync", body);
    }
    void resize(int width, int height) {
        Object::Ptr rect = new Object;
        rect->set("width", width);
        rect->set("height", height);
        command("POST", "/window/rect", rect);
    }
    // The viewport as a PNG file.
    void screenshot(const fs::path& file) {
        std::istringstream encoded(command("GET", "/screenshot").toString());
        Poco::Base64Decoder decoder(encoded);
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        Poco::StreamCopier::copyStream(decoder, out);
    }
    // The page's viewport at exactly width x height (below the window sizes a browser
    // window allows: the home strip is 80 pixels high).
    void viewport(int width, int height) {
        Object::Ptr params = new Object;
        params->set("width", width);
        params->set("height", height);
        params->set("deviceScaleFactor", 1);
        params->set("mobile", false);
        Object::Ptr body = new Object;
        body->set("cmd", "Emulation.setDeviceMetricsOverride");
        body->set("params", params);
        command("POST", "/goog/cdp/execute", body);
    }

private:
    static Object::Ptr Obj(std::initializer_list<std::pair<const char*, std::string>> fields) {
        Object::Ptr o = new Object;
        for (const auto& [k, v] : fields) o->set(k, v);
        return o;
    }
    static Json value(const Json& answer) { return answer.extract<Object::Ptr>()->get("value"); }
    Json command(const std::string& method, const std::string& path, Object::Ptr body = nullptr) {
        return value(call(method, "/session/" + m_session + path, body));
    }
    Json call(const std::string& method, const std::string& path, Object::Ptr body = nullptr) {
        Poco::Net::HTTPClientSession session("127.0.0.1", m_port);
        session.setTimeout(Poco::Timespan(60, 0));
        Poco::Net::HTTPRequest request(method, path, Poco::Net::HTTPRequest::HTTP_1_1);
        std::string payload;
        if (body) {
            std::ostringstream out;
            body->stringify(out);
            payload = out.str();
            request.setContentType("application/json");
            request.setContentLength(static_cast<std::streamsize>(payload.size()));
        }
        session.sendRequest(request) << payload;
        Poco::Net::HTTPResponse response;
        std::string text;
        Poco::StreamCopier::copyToString(session.receiveResponse(response), text);
        Json parsed = Poco::JSON::Parser().parse(text);
        if (response.getStatus() >= 400)
            throw std::runtime_error(method + " " + path + ": " + text);
        return parsed;
    }

    pid_t m_driver = -1;
    int m_port = 0;
    std::string m_session;
    std::string m_error;
};

class SiteInBrowser : public testing::Test {
protected:
    void SetUp() override {
        if (!browser.ready())
            GTEST_SKIP() << "no headless Chromium through chromedriver: " << browser.error();
        ASSERT_GT(site.port(), 0) << site.log();
    }
    static fs::path Shots() { return fs::path(PT_BINARY_DIR) / "screenshots"; }

    test::TempDir dir;
    test::SiteProcess site{dir.path()};
    Browser browser{dir.path()};
};

TEST_F(SiteInBrowser, SubmitsARankingCodeAndReadsTheLeaderboard) {
    browser.viewport(800, 540);  // the ranking window's page
    browser.open(site.root() + "/pt/paiming.asp");
    EXPECT_EQ(browser.title(), "排行榜 - Pathtally");
    // The form's field has the focus on load: a paste goes straight in.
    EXPECT_EQ(browser.script("return document.activeElement.id").toString(), "code");
    browser.screenshot(Shots() / "site-ranking-empty.png");
    browser.type(browser.find("#code"), "764-1699");
    browser.click(browser.find("form.code button"));
    const std::string result = browser.find("#result");
    ASSERT_FALSE(result.empty());
    EXPECT_EQ(browser.text(result),
              "已记录：安装 #5，最高积分 10 分（2 级），排名第 1 名，共 1 个安装。");
    EXPECT_EQ(browser.text(browser.find("tr.mine")),
              "1 10 2 #5 " + browser.text(browser.find("tr.mine td:last-child")));
    browser.screenshot(Shots() / "site-ranking-submitted.png");

    // A code that does not decode: the message, nothing recorded.
    browser.type(browser.find("#code"), "765-1699");
    browser.click(browser.find("form.code button"));
    EXPECT_EQ(browser.text(browser.find("p.error")), "此验证码无法解码，请从程序中重新复制。");
    // A second installation with more points goes first.
    browser.open(site.root() + "/pt/paiming.asp");
    browser.type(browser.find("#code"), "885-4719");  // installation 6, 30 points
    browser.click(browser.find("form.code button"));
    browser.find("#result");
    EXPECT_EQ(browser.text(browser.find("table.ranking tr:nth-child(2) td:nth-child(4)")), "#6");
    EXPECT_EQ(browser.text(browser.find("table.ranking tr:nth-child(3) td:nth-child(4)")), "#5");
    // The stylesheet applied under the page's policy (nothing inline was needed).
    EXPECT_EQ(browser.script("return getComputedStyle(document.querySelector('form.code')).display")
                  .toString(),
              "flex");
}

TEST_F(SiteInBrowser, PostsOnTheBoardEscaped) {
    browser.open(site.root() + "/pt/liuyanList.asp");
    browser.type(browser.find("#name"), "<b>访客</b>");
    browser.type(browser.find("#text"), "<img src=x onerror=alert(1)> 你好");
    browser.click(browser.find("form.board button"));
    const std::string heading = browser.find("article.message h2");
    ASSERT_FALSE(heading.empty());
    EXPECT_TRUE(browser.text(heading).starts_with("<b>访客</b> 20")) << browser.text(heading);
    EXPECT_EQ(browser.text(browser.find("article.message p")), "<img src=x onerror=alert(1)> 你好");
    EXPECT_EQ(browser.script("return document.querySelectorAll('article img, article b').length")
                  .convert<int>(),
              0);
    EXPECT_NE(browser.script("return location.pathname").toString().find("liuyanList.asp"),
              std::string::npos);
    browser.screenshot(Shots() / "site-board.png");
}

TEST_F(SiteInBrowser, SwitchesToTraditionalOnThePage) {
    browser.open(site.root() + "/pt/liuyanList.asp");
    browser.click(browser.find("footer a[lang='zh-Hant']"));
    EXPECT_EQ(browser.text(browser.find("form.board button")), "發表留言");
    browser.click(browser.find("header a[href*='paiming']"));
    EXPECT_EQ(browser.text(browser.find("form.code button")), "提交排名");
    EXPECT_EQ(browser.script("return document.documentElement.lang").toString(), "zh-Hant")
        << "the choice follows the links";
}

TEST_F(SiteInBrowser, PagesAtTheSizesTheProgramShowsThem) {
    const struct {
        const char* path;
        const char* name;
        int width, height;
    } pages[] = {{"/pt/h1/", "home-strip", 660, 80},
                 {"/pt/news/", "news", 660, 430},
                 {"/pt/soft/", "download", 800, 540},
                 {"/pt/pt_update.asp", "update", 800, 540},
                 {"/", "front", 1024, 768},
                 {"/pt/", "help", 1024, 768},
                 {"/pt/liuyanList.asp", "board", 1024, 768}};
    for (const auto& p : pages) {
        browser.viewport(p.width, p.height);
        browser.open(site.root() + p.path);
        browser.find("body");
        browser.screenshot(Shots() / ("site-" + std::string(p.name) + ".png"));
    }
    // The home strip fits its 80 pixels without a scroll bar.
    browser.viewport(660, 80);
    browser.open(site.root() + "/pt/h1/");
    browser.find("body.strip");
    EXPECT_LE(browser.script("return document.documentElement.scrollHeight").convert<int>(), 80);
    EXPECT_LE(browser.script("return document.documentElement.scrollWidth").convert<int>(), 660);
    EXPECT_EQ(
        browser.script("return getComputedStyle(document.documentElement).overflow").toString(),
        "hidden");
    EXPECT_NE(browser.title().find("Pathtally"), std::string::npos);
}

}  // namespace
}  // namespace pt::site
