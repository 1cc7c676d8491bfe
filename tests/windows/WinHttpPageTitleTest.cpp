// The update check's page title over WinHTTP under Wine, against a local scripted site.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "core/online/UpdateCheck.h"
#include "platform/windows/Win32.h"
#include "platform/windows/WinHttpPageTitle.h"
#include "windows/ScriptedSite.h"

namespace pt {
namespace {

using namespace std::chrono_literals;

// Fetches a page's title; empty optional when the fetch did not end within `limit`.
std::optional<std::string> TitleOf(const std::string& url, WinHttpPageTitle::Limits limits = {},
                                   std::chrono::seconds limit = 20s) {
    WinHttpPageTitle reader(limits);
    std::string handed;
    reader.onTitleChanged([&](const std::string& t) { handed = t; });
    reader.navigate(url);
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!reader.done()) {
        if (std::chrono::steady_clock::now() > end) return std::nullopt;
        std::this_thread::sleep_for(10ms);
    }
    reader.poll();
    EXPECT_EQ(handed, reader.title());
    return reader.title();
}

const std::string TitleBefore = "Pathtally 软件最新版本号为：";

TEST(WinHttpPageTitle, VersionsCharsetsAndPagesWithoutATitle) {
    ScriptedSite site;
    ASSERT_TRUE(site.up()) << "the scripted site did not start";
    EXPECT_EQ(TitleOf(site.url("/pt/pt_update.asp")), TitleBefore + "V9.0.0");
    EXPECT_EQ(UpdateVerdictFromTitle(*TitleOf(site.url("/current")), "V1.0.1"),
              UpdateVerdict::Current);
    // Declared in a meta tag only, and in the Content-Type header.
    EXPECT_EQ(TitleOf(site.url("/gbk")), TitleBefore + "V1.0.10");
    EXPECT_EQ(TitleOf(site.url("/big5")), "Pathtally 軟體最新版本號為：V1.0.10");
    EXPECT_EQ(TitleOf(site.url("/no-title")), "");
    EXPECT_EQ(TitleOf(site.url("/missing")), "");  // an error status is no page
    EXPECT_EQ(TitleOf("ftp://127.0.0.1/"), "");
    // 10 MB: read up to the limit, which holds the title.
    EXPECT_EQ(TitleOf(site.url("/big")), TitleBefore + "V2.0.0");
}

TEST(WinHttpPageTitle, ASiteThatNeverAnswersIsGivenUpInBoundedTime) {
    ScriptedSite site;
    ASSERT_TRUE(site.up());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(TitleOf(site.url("/silent"), {1500, 512 * 1024}, 15s), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    // Abandoning a fetch that waits on the network ends at once.
    const auto abandon = std::chrono::steady_clock::now();
    {
        WinHttpPageTitle reader;
        reader.navigate(site.url("/silent"));
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - abandon, 5s);
}

}  // namespace
}  // namespace pt
