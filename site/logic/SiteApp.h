#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "logic/SiteStorage.h"
#include "logic/SiteTypes.h"

namespace pt::site {

struct PageContext;

struct SiteConfig {
    std::string siteRoot;  // what links begin with; empty: paths from the host's root
    ReleaseInfo release;
    SiteLimits limits;
};

// The whole site behind the HTTP frontend: every page, the ranking, the board. Stateless
// between requests (all that is kept lives in the storage), safe to call from many threads.
class SiteApp {
public:
    using Clock = std::function<std::int64_t()>;  // seconds since 1970
    SiteApp(SiteStorage& storage, FormSigner& signer, SiteConfig config, Clock clock);

    SiteResponse handle(const SiteRequest& request);

private:
    SiteResponse front(const PageContext& c);
    SiteResponse help(const PageContext& c);
    SiteResponse homeStrip(const PageContext& c);
    SiteResponse news(const PageContext& c);
    SiteResponse download(const PageContext& c);
    SiteResponse downloadFile(const PageContext& c, const std::string& name);
    SiteResponse updatePage(const PageContext& c);
    SiteResponse ranking(const PageContext& c, const SiteRequest& request);
    SiteResponse board(const PageContext& c, const SiteRequest& request);
    SiteResponse notFound(const PageContext& c);
    SiteResponse health();
    // `submitted`: the entry just recorded, shown among its neighbours and marked.
    SiteResponse rankingPage(const PageContext& c, std::int64_t page, int status,
                             const std::string& notice,
                             const RankedInstallation* submitted = nullptr);
    SiteResponse boardPage(const PageContext& c, const SiteRequest& request, std::int64_t page,
                           int status, const std::string& error, const std::string& name,
                           const std::string& text);
    std::string formToken(const std::string& visitorKey, std::int64_t issuedAt);
    bool validToken(const std::string& visitorKey, const std::string& token);

    // A page of the leaderboard as read last, kept for a second: the page most asked for
    // costs no query while nothing changes. When the second is over, one request reads the
    // page again while the others are shown the copy it replaces, so the visitors of one
    // moment never queue for the database together. A submission here drops every copy at
    // once; one through another process on the same database shows within the second.
    struct LeaderboardRead {
        std::vector<RankedInstallation> rows;
        std::int64_t count = 0;
        std::int64_t readAt = 0;
    };
    LeaderboardRead leaderboardPage(std::int64_t page);
    void dropLeaderboardCopies();

    struct KeptLeaderboardPage {
        LeaderboardRead read;
        bool beingRead = false;
    };
    std::mutex m_cacheMutex;
    std::map<std::int64_t, KeptLeaderboardPage> m_leaderboardCache;
    // Counts the drops: a read begun before one is not kept after it.
    std::uint64_t m_cacheGeneration = 0;

    SiteStorage& m_storage;
    FormSigner& m_signer;
    SiteConfig m_config;
    Clock m_clock;
};

// The script a visitor reads: "lang=tc" or "lang=sc" in the query, else the first Chinese
// entry of Accept-Language by preference (zh-TW, zh-HK, zh-MO, zh-Hant: Traditional),
// else Simplified.
Script ChooseScript(const SiteRequest& request);

}  // namespace pt::site
