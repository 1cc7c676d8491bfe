// The site over real HTTP on loopback: security headers on every answer, bounded and
// malformed requests, keep-alive, and the program's command line.

#include <gtest/gtest.h>

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Net/StreamSocket.h>
#include <Poco/StreamCopier.h>

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "SiteProcess.h"
#include "logic/SiteApp.h"
#include "server/HmacFormSigner.h"
#include "server/HttpFrontend.h"
#include "server/ReleaseFiles.h"
#include "storage/SqliteSiteStorage.h"
#include "support/TempDir.h"

namespace pt::site {
namespace {

using Poco::Net::HTTPRequest;
using Poco::Net::HTTPResponse;

class SiteOverHttp : public testing::Test {
protected:
    struct Answer {
        int status = 0;
        std::string body;
        HTTPResponse response;
    };
    Answer request(const std::string& method, const std::string& uri, const std::string& body = {},
                   const std::string& type = "application/x-www-form-urlencoded") {
        Poco::Net::HTTPClientSession session("127.0.0.1", server->port());
        HTTPRequest req(method, uri, HTTPRequest::HTTP_1_1);
        if (!body.empty()) {
            req.setContentType(type);
            req.setContentLength(static_cast<std::streamsize>(body.size()));
        }
        session.sendRequest(req) << body;
        Answer a;
        std::istream& in = session.receiveResponse(a.response);
        Poco::StreamCopier::copyToString(in, a.body);
        a.status = a.response.getStatus();
        return a;
    }
    // Bytes as they are written, the answer's status line and headers as they come.
    std::string raw(const std::string& bytes) {
        Poco::Net::StreamSocket socket(Poco::Net::SocketAddress("127.0.0.1", server->port()));
        socket.setReceiveTimeout(Poco::Timespan(10, 0));
        socket.sendBytes(bytes.data(), static_cast<int>(bytes.size()));
        std::string answer;
        char buffer[4096];
        try {
            int n;
            while ((n = socket.receiveBytes(buffer, sizeof buffer)) > 0) {
                answer.append(buffer, static_cast<std::size_t>(n));
                if (answer.find("\r\n\r\n") != std::string::npos) break;
            }
        } catch (const Poco::Exception&) {
            // reset by the server after its answer
        }
        return answer.substr(0, answer.find("\r\n"));
    }
    void expectSecurityHeaders(const HTTPResponse& r, const std::string& what) {
        EXPECT_NE(r.get("Content-Security-Policy", "").find("default-src 'none'"),
                  std::string::npos)
            << what;
        EXPECT_EQ(r.get("X-Content-Type-Options", ""), "nosniff") << what;
    }

    test::TempDir dir;
    SqliteSiteStorage storage{dir / "site.db"};
    HmacFormSigner signer{storage.siteSecret()};
    SiteApp app{storage, signer, {}, [] { return std::int64_t{1'765'000'000}; }};
    std::unique_ptr<HttpFrontend> server = [this] {
        FrontendOptions options;
        options.port = 0;
        options.threads = 8;
        options.readTimeout = std::chrono::seconds(3);
        return std::make_unique<HttpFrontend>(app, options);
    }();
};

TEST_F(SiteOverHttp, EveryAnswerCarriesTheSecurityHeaders) {
    const Answer page = request("GET", "/pt/paiming.asp");
    EXPECT_EQ(page.status, 200);
    expectSecurityHeaders(page.response, "page");
    EXPECT_NE(page.body.find("排行榜"), std::string::npos);
    expectSecurityHeaders(request("GET", "/missing").response, "404");
    expectSecurityHeaders(request("GET", "/pt/paiming.asp?page=%zz").response, "400");
    expectSecurityHeaders(request("POST", "/pt/paiming.asp", std::string(20000, 'x')).response,
                          "413");
    expectSecurityHeaders(request("GET", "/site.css").response, "stylesheet");
}

TEST_F(SiteOverHttp, ASubmissionOverHttpIsRecorded) {
    const Answer a = request("POST", "/pt/paiming.asp", "code=764-1699");
    EXPECT_EQ(a.status, 200);
    EXPECT_NE(a.body.find("已记录：安装 #5"), std::string::npos);
    EXPECT_EQ(storage.installation(5)->points, 10);
    EXPECT_EQ(request("POST", "/pt/paiming.asp", "code=764%2D1699+").status, 200)
        << "form encoding decoded";
}

TEST_F(SiteOverHttp, BoundedAndMalformedRequestsAreRefused) {
    EXPECT_EQ(request("GET", "/pt/paiming.asp?page=%zz").status, 400);
    EXPECT_EQ(request("POST", "/pt/paiming.asp", "code=%zz").status, 400);
    EXPECT_EQ(request("POST", "/pt/paiming.asp", "code=764-1699", "text/plain").status, 415);
    EXPECT_EQ(request("POST", "/pt/liuyanList.asp", "text=" + std::string(17000, 'a')).status, 413);
    EXPECT_EQ(raw("GARBAGE\r\n\r\n").substr(9, 3), "400");
    EXPECT_EQ(raw("GET /pt/ HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(9000, 'a') + "\r\n\r\n")
                  .substr(9, 3),
              "400");
    std::string many = "GET /pt/ HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 150; ++i) many += "X-" + std::to_string(i) + ": v\r\n";
    EXPECT_EQ(raw(many + "\r\n").substr(9, 3), "400");
    // A chunked body without a length is bounded as it arrives.
    std::string chunked =
        "POST /pt/liuyanList.asp HTTP/1.1\r\nHost: x\r\nContent-Type: "
        "application/x-www-form-urlencoded\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 20; ++i) chunked += "400\r\n" + std::string(1024, 'a') + "\r\n";
    EXPECT_EQ(raw(chunked + "0\r\n\r\n").substr(9, 3), "413");
    EXPECT_EQ(raw("GET /pt/%00/../../x HTTP/1.1\r\nHost: x\r\n\r\n").substr(9, 3), "404");
    // After all that the server still answers.
    EXPECT_EQ(request("GET", "/").status, 200);
}

TEST_F(SiteOverHttp, BoundsCountTheVisitorBehindATrustedProxy) {
    FrontendOptions options;
    options.port = 0;
    options.trustedProxies = {"127.0.0.1"};
    HttpFrontend proxied(app, options);
    auto submit = [&](HttpFrontend& server, const std::string& forwardedFor) {
        Poco::Net::HTTPClientSession session("127.0.0.1", server.port());
        HTTPRequest req(HTTPRequest::HTTP_POST, "/pt/paiming.asp", HTTPRequest::HTTP_1_1);
        const std::string body = "code=764-1699";
        req.setContentType("application/x-www-form-urlencoded");
        req.setContentLength(static_cast<std::streamsize>(body.size()));
        if (!forwardedFor.empty()) req.set("X-Forwarded-For", forwardedFor);
        session.sendRequest(req) << body;
        HTTPResponse r;
        std::string page;
        Poco::StreamCopier::copyToString(session.receiveResponse(r), page);
        return r.getStatus();
    };
    // 30 from one visitor behind the proxy use that visitor's bound only; the client's own
    // entries before the proxy's are not believed.
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(submit(proxied, "10.9.9.9, 198.51.100.7"), i < 10 ? 200 : 429) << i;
    EXPECT_TRUE(storage.takeRateSlot("rank-address:198.51.100.7", 1'765'000'000, 3600, 1) == false);
    EXPECT_TRUE(storage.takeRateSlot("rank-address:127.0.0.1", 1'765'000'000, 3600, 1));
    // Without trust the header is ignored.
    EXPECT_EQ(submit(*server, "198.51.100.8"), 429) << "the installation's bound, from 127.0.0.1";
    EXPECT_TRUE(storage.takeRateSlot("rank-address:198.51.100.8", 1'765'000'000, 3600, 1));
}

TEST_F(SiteOverHttp, HeadAndKeepAlive) {
    const Answer head = request("HEAD", "/pt/news/");
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.body.empty());
    EXPECT_GT(head.response.getContentLength64(), 1000);
    Poco::Net::HTTPClientSession session("127.0.0.1", server->port());
    session.setKeepAlive(true);
    for (int i = 0; i < 3; ++i) {
        HTTPRequest req(HTTPRequest::HTTP_GET, "/pt/h1/", HTTPRequest::HTTP_1_1);
        req.setKeepAlive(true);
        session.sendRequest(req);
        HTTPResponse r;
        std::string body;
        Poco::StreamCopier::copyToString(session.receiveResponse(r), body);
        EXPECT_EQ(r.getStatus(), 200);
        EXPECT_TRUE(r.getKeepAlive());
    }
}

TEST(SiteReleaseFiles, SizeAndSha256OfTheVersionsFiles) {
    test::TempDir dir;
    std::ofstream(dir / "pathtally_1.0.1_amd64.deb") << "abc";
    std::ofstream(dir / "pathtally_1.0.0_amd64.deb") << "old";
    std::ofstream(dir / "pathtally.exe") << "";
    std::ofstream(dir / "notes.txt") << "x";
    const ReleaseInfo release = FindRelease("V1.0.1", dir.path());
    ASSERT_EQ(release.files.size(), 2u);
    EXPECT_EQ(release.files[0].name, "pathtally.exe");
    EXPECT_EQ(release.files[0].sha256,
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(release.files[1].name, "pathtally_1.0.1_amd64.deb");
    EXPECT_EQ(release.files[1].size, 3u);
    EXPECT_EQ(release.files[1].sha256,
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(FindRelease("V1.0.1", dir / "missing").files.empty());
}

int ExitCode(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SiteProgram, CommandLine) {
    const std::string site = std::string(PT_BINARY_DIR) + "/pathtally-site";
    test::TempDir dir;
    EXPECT_EQ(ExitCode(site + " --help"), 0);
    EXPECT_EQ(ExitCode(site + " --bogus 1"), 2);
    EXPECT_EQ(ExitCode(site + " --listen nowhere"), 2);
    EXPECT_EQ(ExitCode(site + " --release-version V10.10.10"), 2)
        << "longer than the program reads";
    EXPECT_EQ(ExitCode(site + " --site-root javascript:x"), 2);
    std::ofstream(dir / "other.db") << std::string(2048, 'z');
    EXPECT_EQ(ExitCode(site + " --listen 127.0.0.1:0 --database " + (dir / "other.db").string()), 1)
        << "a file that is not a database";
    // The environment configures it too; a flag wins over it.
    EXPECT_EQ(ExitCode("PATHTALLY_SITE_LISTEN=nowhere " + site), 2);
    EXPECT_EQ(ExitCode("PATHTALLY_SITE_RELEASE_VERSION=V10.10.10 " + site), 2);
    EXPECT_EQ(ExitCode("PATHTALLY_SITE_LISTEN=nowhere PATHTALLY_SITE_DATABASE=" +
                       (dir / "other.db").string() + " " + site + " --listen 127.0.0.1:0"),
              1)
        << "past the listen address, refused at the database";
}

// SIGTERM under load: requests in flight finish, and every submission answered 200 is in
// the database afterwards.
TEST(SiteProgram, StopsOnSigtermWithoutLosingAnAnsweredSubmission) {
    test::TempDir dir;
    test::SiteProcess site(dir.path(), {"--submissions-per-hour", "1000000",
                                        "--installation-submissions-per-hour", "1000000"});
    ASSERT_GT(site.port(), 0) << site.log();
    std::mutex mutex;
    std::vector<std::uint32_t> answered;
    std::atomic<bool> done{false};
    std::vector<std::thread> clients;
    for (std::uint32_t t = 0; t < 4; ++t)
        clients.emplace_back([&, t] {
            for (std::uint32_t i = 0; !done; ++i) {
                const std::uint32_t id = t * 1000000 + i;
                const std::string body = "code=" + std::to_string(id * 121ull + 159) + "-" +
                                         std::to_string(7 * 151 + 189);
                try {
                    Poco::Net::HTTPClientSession session("127.0.0.1", site.port());
                    HTTPRequest req(HTTPRequest::HTTP_POST, "/pt/paiming.asp",
                                    HTTPRequest::HTTP_1_1);
                    req.setContentType("application/x-www-form-urlencoded");
                    req.setContentLength(static_cast<std::streamsize>(body.size()));
                    session.sendRequest(req) << body;
                    HTTPResponse r;
                    std::string page;
                    Poco::StreamCopier::copyToString(session.receiveResponse(r), page);
                    if (r.getStatus() == 200 && page.find("已记录") != std::string::npos) {
                        std::lock_guard lock(mutex);
                        answered.push_back(id);
                    }
                } catch (const Poco::Exception&) {
                    if (done) return;  // refused or cut once the server stops
                }
            }
        });
    EXPECT_TRUE(test::WaitUntil([&] {
        std::lock_guard lock(mutex);
        return answered.size() >= 40;
    }));
    site.stop();  // SIGTERM, then waits for the process to end
    done = true;
    for (auto& c : clients) c.join();
    EXPECT_NE(site.log().find("finishing requests in flight"), std::string::npos) << site.log();
    EXPECT_NE(site.log().find("pathtally-site: stopped"), std::string::npos) << site.log();
    SqliteSiteStorage storage(site.database());
    std::size_t missing = 0;
    for (std::uint32_t id : answered) missing += !storage.installation(id).has_value();
    EXPECT_EQ(missing, 0u) << "of " << answered.size() << " answered";
    EXPECT_GE(storage.rankedCount(), static_cast<std::int64_t>(answered.size()));
}

}  // namespace
}  // namespace pt::site
