// Every page through the site logic with the SQLite storage and a set clock: routes, both
// scripts, the update page's title, the ranking submission and the board's rules.

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>

#include "core/online/UpdateCheck.h"
#include "logic/SiteApp.h"
#include "logic/SiteContent.h"
#include "server/HmacFormSigner.h"
#include "storage/SqliteSiteStorage.h"
#include "support/TempDir.h"

namespace pt::site {
namespace {

class SitePages : public testing::Test {
protected:
    SiteResponse get(const std::string& path, std::map<std::string, std::string> query = {},
                     const std::string& acceptLanguage = {}) {
        SiteRequest r;
        r.path = path;
        r.query = std::move(query);
        r.acceptLanguage = acceptLanguage;
        r.clientAddress = "192.0.2.1";
        r.cookies = cookies;
        return app->handle(r);
    }
    SiteResponse post(const std::string& path, std::map<std::string, std::string> form,
                      const std::string& address = "192.0.2.1") {
        SiteRequest r;
        r.method = "POST";
        r.path = path;
        r.form = std::move(form);
        r.clientAddress = address;
        r.cookies = cookies;
        return app->handle(r);
    }
    SiteResponse submit(const std::string& code, const std::string& address = "192.0.2.1") {
        return post("/pt/paiming.asp", {{"code", code}}, address);
    }
    static std::string Header(const SiteResponse& r, const std::string& name) {
        for (const auto& [n, v] : r.headers)
            if (n == name) return v;
        return {};
    }
    // Opens the board as a browser would: keeps the visitor cookie, returns the form token.
    std::string boardToken() {
        const SiteResponse page = get("/pt/liuyanList.asp");
        const std::string cookie = Header(page, "Set-Cookie");
        cookies["pt_form"] = cookie.substr(8, cookie.find(';') - 8);
        std::smatch m;
        std::regex_search(page.body, m, std::regex("name=\"token\" value=\"([^\"]+)\""));
        return m[1];
    }
    static std::string Code(std::uint32_t id, std::int64_t points) {
        return std::to_string(id * 121ull + 159) + "-" + std::to_string(points * 151 + 189);
    }

    test::TempDir dir;
    SqliteSiteStorage storage{dir / "site.db"};
    HmacFormSigner signer{storage.siteSecret()};
    std::int64_t now = 1'765'000'000;
    std::map<std::string, std::string> cookies;
    SiteConfig config{"", {"V1.0.1", {}}, {}};
    std::unique_ptr<SiteApp> app =
        std::make_unique<SiteApp>(storage, signer, config, [this] { return now; });
};

TEST_F(SitePages, EveryPathTheProgramOpensAnswers) {
    for (const char* path : {"/", "/pt/", "/pt/h1/", "/pt/news/", "/pt/soft/", "/pt/pt_update.asp",
                             "/pt/paiming.asp", "/pt/liuyanList.asp", "/PT/PaiMing.asp"}) {
        const SiteResponse r = get(path);
        EXPECT_EQ(r.status, 200) << path;
        EXPECT_EQ(r.contentType, "text/html; charset=utf-8") << path;
        EXPECT_EQ(r.body.find("<script"), std::string::npos) << path;
        EXPECT_EQ(r.body.find(" style="), std::string::npos) << path << ": inline style";
        EXPECT_NE(r.body.find("href=\"/site.css\""), std::string::npos) << path;
    }
    EXPECT_EQ(get("/site.css").contentType, "text/css; charset=utf-8");
    const SiteResponse health = get("/healthz");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok: database at schema 1\n");
    EXPECT_EQ(get("/nothing").status, 404);
    EXPECT_EQ(get("/pt/soft/../../etc/passwd").status, 404);
    EXPECT_EQ(post("/pt/news/", {}).status, 405);
    // The front page links every page.
    const std::string front = get("/").body;
    for (const char* path :
         {"/pt/soft/", "/pt/news/", "/pt/paiming.asp", "/pt/liuyanList.asp", "/pt/\""})
        EXPECT_NE(front.find(std::string("href=\"") + path), std::string::npos) << path;
}

TEST_F(SitePages, BothScripts) {
    EXPECT_NE(get("/pt/paiming.asp").body.find("lang=\"zh-Hans\""), std::string::npos);
    const std::string traditional = get("/pt/liuyanList.asp", {}, "zh-TW").body;
    EXPECT_NE(traditional.find("lang=\"zh-Hant\""), std::string::npos);
    EXPECT_NE(traditional.find("發表留言"), std::string::npos);
    EXPECT_EQ(traditional.find("发表留言"), std::string::npos);
    const std::string switched = get("/", {{"lang", "tc"}}).body;
    EXPECT_NE(switched.find("下載"), std::string::npos);
    EXPECT_NE(switched.find("href=\"/pt/soft/?lang=tc\""), std::string::npos)
        << "links keep a script chosen on the page";
    EXPECT_NE(get("/pt/h1/", {}, "zh-HK").body.find("小貼士"), std::string::npos);
}

TEST_F(SitePages, UpdatePageTitleHoldsTheVersionWhereTheProgramReadsIt) {
    for (const char* lang : {"", "zh-TW"}) {
        const std::string body = get("/pt/pt_update.asp", {}, lang).body;
        const auto open = body.find("<title>") + 7;
        const std::string title = body.substr(open, body.find("</title>") - open);
        EXPECT_NE(title.find("Pathtally"), std::string::npos);
        EXPECT_EQ(LatestVersionFromTitle(title), "V1.0.1") << title;
        EXPECT_EQ(UpdateVerdictFromTitle(title, "V1.0.0"), UpdateVerdict::Newer);
        EXPECT_EQ(UpdateVerdictFromTitle(title, "V1.0.1"), UpdateVerdict::Current);
        EXPECT_EQ(UpdateVerdictFromTitle(title, "V1.0.2"), UpdateVerdict::Current);
    }
}

TEST_F(SitePages, NewsAndHelpComeFromTheRepository) {
    const std::string news = get("/pt/news/").body;
    EXPECT_NE(news.find(std::string(content::NewsHtml)), std::string::npos);
    EXPECT_NE(std::string(content::NewsHtml).find("<h2>1.0.0</h2>"), std::string::npos);
    const std::string help(content::HelpHtml);
    EXPECT_NE(help.find("<h2>How Pathtally behaves on Linux</h2>"), std::string::npos);
    EXPECT_EQ(help.find("<h2>Layout</h2>"), std::string::npos) << "developer sections stay out";
}

TEST_F(SitePages, DownloadPageListsTheReleaseFiles) {
    EXPECT_NE(get("/pt/soft/").body.find("make package"), std::string::npos) << "none published";
    config.release.files = {{"pathtally_1.0.1_amd64.deb", 1234, std::string(64, 'a'), "/x.deb"}};
    app = std::make_unique<SiteApp>(storage, signer, config, [this] { return now; });
    const std::string page = get("/pt/soft/").body;
    EXPECT_NE(page.find("1234"), std::string::npos);
    EXPECT_NE(page.find(std::string(64, 'a')), std::string::npos);
    EXPECT_NE(page.find("sudo apt install ./pathtally_1.0.1_amd64.deb"), std::string::npos);
    const SiteResponse file = get("/pt/soft/pathtally_1.0.1_amd64.deb");
    EXPECT_EQ(file.filePath, "/x.deb");
    EXPECT_EQ(get("/pt/soft/other.deb").status, 404);
}

TEST_F(SitePages, RankingRecordsADecodedCodeAndShowsTheOwnRank) {
    for (std::uint32_t id = 1; id <= 45; ++id) storage.recordPoints(100 + id, 1000 + id, 1);
    const SiteResponse r = submit("764-1699");  // installation 5 at 10 points: last, 46th
    EXPECT_EQ(r.status, 200);
    EXPECT_NE(r.body.find("已记录：安装 #5"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find("排名第 46 名，共 46 个安装"), std::string::npos);
    EXPECT_NE(r.body.find("<tr class=\"mine\"><td>46</td><td>10</td><td>2</td><td>#5</td>"),
              std::string::npos)
        << "the submitter among those near, the level from the core's rule";
    EXPECT_NE(r.body.find("<td>41</td><td>1005</td>"), std::string::npos) << "five ahead";
    EXPECT_EQ(r.body.find("<td>40</td><td>1006</td>"), std::string::npos);
    EXPECT_NE(r.body.find("href=\"/pt/paiming.asp?page=3\">第 3 页</a>"), std::string::npos);
    EXPECT_NE(r.body.find("第 1 / 3 页"), std::string::npos) << "and the top of the ranking";
    // Paging: 20 a page, out-of-range pages show the last, malformed ones are refused.
    const std::string second = get("/pt/paiming.asp", {{"page", "2"}}).body;
    EXPECT_NE(second.find("<td>21</td>"), std::string::npos);
    EXPECT_EQ(second.find("<td>20</td><td>"), std::string::npos);
    EXPECT_NE(get("/pt/paiming.asp", {{"page", "99"}}).body.find("<td>46</td>"), std::string::npos);
    for (const char* bad : {"0", "-1", "x", "", "01", "99999999"})
        EXPECT_EQ(get("/pt/paiming.asp", {{"page", bad}}).status, 400) << bad;
}

TEST_F(SitePages, RankingRefusesCodesWithAClearMessage) {
    const struct {
        const char* code;
        const char* message;
    } cases[] = {{"", "请输入验证码"},
                 {"764_1699", "验证码格式不对"},
                 {"765-1699", "此验证码无法解码"},
                 {"764-189", "您的积分还是0分"},
                 {"764-99999999999999999999", "超出范围"}};
    for (const auto& c : cases) {
        const SiteResponse r = submit(c.code);
        EXPECT_EQ(r.status, 400) << c.code;
        EXPECT_NE(r.body.find(c.message), std::string::npos) << c.code;
    }
    EXPECT_EQ(storage.rankedCount(), 0);
    SiteRequest traditional;
    traditional.method = "POST";
    traditional.path = "/pt/paiming.asp";
    traditional.acceptLanguage = "zh-TW";
    traditional.form = {{"code", "765-1699"}};
    EXPECT_NE(app->handle(traditional).body.find("此驗證碼無法解碼"), std::string::npos);
}

TEST_F(SitePages, RankingBoundsSubmissionsPerAddressAndInstallation) {
    const int perInstallation = config.limits.submissionsPerInstallationPerHour;
    for (int i = 0; i < perInstallation; ++i)
        EXPECT_EQ(submit(Code(9, 10 + i), "198.51.100." + std::to_string(i)).status, 200);
    const SiteResponse limited = submit(Code(9, 99), "198.51.100.200");
    EXPECT_EQ(limited.status, 429);
    EXPECT_NE(limited.body.find("这个安装提交太频繁"), std::string::npos);
    EXPECT_EQ(storage.installation(9)->points, 10 + perInstallation - 1) << "not recorded";

    const int perAddress = config.limits.submissionsPerAddressPerHour;
    for (int i = 0; i < perAddress; ++i) EXPECT_EQ(submit(Code(100 + i, 5)).status, 200) << i;
    const SiteResponse busy = submit(Code(999, 5));
    EXPECT_EQ(busy.status, 429);
    EXPECT_NE(busy.body.find("每个地址每小时最多提交 30 次"), std::string::npos);
    EXPECT_FALSE(storage.installation(999).has_value());
    now += 3600;  // the next hour
    EXPECT_EQ(submit(Code(999, 5)).status, 200);
    // The page says the bounds.
    EXPECT_NE(get("/pt/paiming.asp").body.find("每个安装每小时最多 10 次"), std::string::npos);
}

TEST_F(SitePages, LeaderboardFollowsSubmissionsAtOnce) {
    storage.recordPoints(1, 50, 1);
    EXPECT_NE(get("/pt/paiming.asp").body.find("<td>1</td><td>50</td>"), std::string::npos);
    EXPECT_EQ(submit(Code(2, 80)).status, 200);
    EXPECT_NE(get("/pt/paiming.asp").body.find("<td>1</td><td>80</td>"), std::string::npos)
        << "the page read before the submission is not shown again";
    EXPECT_NE(get("/pt/h1/").body.find("1. 80分"), std::string::npos) << "home strip's top";
}

TEST_F(SitePages, BoardPostsEscapedWithAValidToken) {
    const std::string token = boardToken();
    const SiteResponse posted = post(
        "/pt/liuyanList.asp",
        {{"token", token}, {"name", "<b>甲</b>"}, {"text", "<script>x()</script>\r\nok & \"q\""}});
    EXPECT_EQ(posted.status, 303);
    EXPECT_EQ(Header(posted, "Location"), "/pt/liuyanList.asp");
    const std::string page = get("/pt/liuyanList.asp").body;
    EXPECT_NE(page.find("&lt;b&gt;甲&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;x()&lt;/script&gt;\nok &amp; &quot;q&quot;"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(storage.messageCount(), 1);
}

TEST_F(SitePages, BoardRefusesMissingForgedOrOldTokens) {
    const std::string token = boardToken();
    const std::map<std::string, std::string> message = {{"name", "a"}, {"text", "b"}};
    auto with = [&](const std::string& t) {
        auto form = message;
        form["token"] = t;
        return post("/pt/liuyanList.asp", form);
    };
    EXPECT_EQ(post("/pt/liuyanList.asp", message).status, 403);
    EXPECT_EQ(with(token + "0").status, 403);
    EXPECT_EQ(with(std::to_string(now) + "." + std::string(64, '0')).status, 403);
    const auto keep = cookies;
    cookies["pt_form"] = std::string(32, 'f');  // another visitor's cookie: the token is not theirs
    EXPECT_EQ(with(token).status, 403);
    cookies.clear();
    EXPECT_EQ(with(token).status, 403) << "a cross-site post carries no SameSite=Strict cookie";
    cookies = keep;
    now += 3 * 3600;
    const SiteResponse old = with(token);
    EXPECT_EQ(old.status, 403);
    EXPECT_NE(old.body.find("表单已过期"), std::string::npos);
    EXPECT_NE(old.body.find("value=\"a\""), std::string::npos) << "what was typed is kept";
    EXPECT_EQ(storage.messageCount(), 0);
    now -= 3 * 3600;
    EXPECT_EQ(with(token).status, 303);
}

TEST_F(SitePages, BoardBoundsLengthsAndRate) {
    const std::string token = boardToken();
    auto postMessage = [&](const std::string& name, const std::string& text,
                           const std::string& address = "192.0.2.1") {
        return post("/pt/liuyanList.asp", {{"token", token}, {"name", name}, {"text", text}},
                    address);
    };
    EXPECT_EQ(postMessage("", "text").status, 400);
    EXPECT_EQ(postMessage(" \t", "text").status, 400);
    EXPECT_EQ(postMessage(std::string(33, 'n'), "text").status, 400);
    EXPECT_EQ(postMessage("名", "").status, 400);
    EXPECT_EQ(postMessage("名", std::string(1001, 't')).status, 400);
    EXPECT_EQ(postMessage("名", "\xff\xfe").status, 400);
    EXPECT_EQ(storage.messageCount(), 0);
    // 32 and 1000 characters of three bytes each are within the bounds.
    std::string name, text;
    for (int i = 0; i < 32; ++i) name += "名";
    for (int i = 0; i < 1000; ++i) text += "字";
    EXPECT_EQ(postMessage(name, text).status, 303);
    for (int i = 1; i < config.limits.postsPerAddressPerHour; ++i)
        EXPECT_EQ(postMessage("a", "b").status, 303);
    const SiteResponse limited = postMessage("a", "b");
    EXPECT_EQ(limited.status, 429);
    EXPECT_NE(limited.body.find("留言太频繁"), std::string::npos);
    EXPECT_EQ(postMessage("a", "b", "192.0.2.99").status, 303) << "per address";
    EXPECT_EQ(storage.messageCount(), config.limits.postsPerAddressPerHour + 1);
}

TEST_F(SitePages, BoardPaging) {
    for (int i = 0; i < 45; ++i) storage.postMessage("n" + std::to_string(i), "t", i);
    const std::string first = get("/pt/liuyanList.asp").body;
    EXPECT_NE(first.find("<h2>n44 "), std::string::npos);
    EXPECT_EQ(first.find("<h2>n24 "), std::string::npos);
    EXPECT_NE(first.find("第 1 / 3 页"), std::string::npos);
    const std::string last = get("/pt/liuyanList.asp", {{"page", "3"}}).body;
    EXPECT_NE(last.find("<h2>n0 "), std::string::npos);
    EXPECT_EQ(last.find("rel=\"next\""), std::string::npos);
}

// A storage that cannot answer: every page says so in the visitor's script, with 503.
class BrokenStorage : public SqliteSiteStorage {
public:
    using SqliteSiteStorage::SqliteSiteStorage;
    StorageError::Kind kind = StorageError::Kind::Full;
    SubmissionOutcome submitPoints(std::uint32_t, std::int64_t, std::int64_t,
                                   const std::vector<RateLimit>&) override {
        throw StorageError(kind, "disk full");
    }
    std::vector<RankedInstallation> leaderboard(std::int64_t, int) override {
        throw StorageError(StorageError::Kind::Unavailable, "gone");
    }
    int schemaVersion() override { throw StorageError(StorageError::Kind::Unavailable, "gone"); }
};

// A storage whose leaderboard reads can be held at a gate, or made to fail, and counted.
class GatedStorage : public SqliteSiteStorage {
public:
    using SqliteSiteStorage::SqliteSiteStorage;
    std::vector<RankedInstallation> leaderboard(std::int64_t offset, int limit) override {
        std::unique_lock lock(m_mutex);
        ++reads;
        if (failNext) {
            failNext = false;
            throw StorageError(StorageError::Kind::Unavailable, "gone");
        }
        if (held) {
            ++waiting;
            m_changed.notify_all();
            // Bounded: a second reader held here fails the test instead of hanging it.
            m_changed.wait_for(lock, std::chrono::seconds(3), [this] { return !held; });
        }
        lock.unlock();
        return SqliteSiteStorage::leaderboard(offset, limit);
    }
    void hold() {
        std::lock_guard lock(m_mutex);
        held = true;
    }
    void release() {
        std::lock_guard lock(m_mutex);
        held = false;
        m_changed.notify_all();
    }
    bool waitForAReader() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return waiting > 0; });
    }
    int reads = 0, waiting = 0;
    bool failNext = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool held = false;
};

TEST(SiteLeaderboardCopies, OneVisitorReadsAStalePageAgainWhileTheOthersSeeTheCopy) {
    test::TempDir dir;
    GatedStorage storage(dir / "site.db");
    HmacFormSigner signer(storage.siteSecret());
    std::atomic<std::int64_t> now{1'765'000'000};
    SiteApp app(storage, signer, {}, [&] { return now.load(); });
    SiteRequest page;
    page.path = "/pt/paiming.asp";
    storage.recordPoints(1, 50, 1);
    ASSERT_NE(app.handle(page).body.find("<td>1</td><td>50</td>"), std::string::npos);
    EXPECT_EQ(app.handle(page).status, 200);
    EXPECT_EQ(storage.reads, 1) << "within the second the page is read once";

    storage.recordPoints(2, 80, 2);  // through another process on the same database
    ++now;
    storage.hold();
    std::string first;
    std::thread reader([&] { first = app.handle(page).body; });
    ASSERT_TRUE(storage.waitForAReader());
    const std::string meanwhile = app.handle(page).body;
    EXPECT_NE(meanwhile.find("<td>1</td><td>50</td>"), std::string::npos)
        << "a visitor during the read is shown the copy, not queued behind it";
    EXPECT_EQ(storage.reads, 2);
    storage.release();
    reader.join();
    EXPECT_NE(first.find("<td>1</td><td>80</td>"), std::string::npos);
    EXPECT_NE(app.handle(page).body.find("<td>1</td><td>80</td>"), std::string::npos);
    EXPECT_EQ(storage.reads, 2);

    // A read that fails leaves no page stuck as being read.
    ++now;
    storage.failNext = true;
    EXPECT_EQ(app.handle(page).status, 503);
    EXPECT_EQ(app.handle(page).status, 200);
    EXPECT_EQ(storage.reads, 4);
}

TEST(SitePagesStorageFaults, AnsweredWith503AndAClearText) {
    test::TempDir dir;
    BrokenStorage storage(dir / "site.db");
    HmacFormSigner signer(storage.siteSecret());
    SiteApp app(storage, signer, {}, [] { return std::int64_t{1'765'000'000}; });
    SiteRequest r;
    r.method = "POST";
    r.path = "/pt/paiming.asp";
    r.form = {{"code", "764-1699"}};
    SiteResponse answer = app.handle(r);
    EXPECT_EQ(answer.status, 503);
    EXPECT_NE(answer.body.find("网站的存储空间已满"), std::string::npos);
    storage.kind = StorageError::Kind::ReadOnly;
    r.acceptLanguage = "zh-TW";
    EXPECT_NE(app.handle(r).body.find("網站的資料庫現在只能讀取"), std::string::npos);
    SiteRequest page;
    page.path = "/pt/h1/";
    EXPECT_EQ(app.handle(page).status, 503);
    page.path = "/pt/news/";
    EXPECT_EQ(app.handle(page).status, 200) << "pages without storage still answer";
    page.path = "/healthz";
    EXPECT_EQ(app.handle(page).status, 503);
}

}  // namespace
}  // namespace pt::site
