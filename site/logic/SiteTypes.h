#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pt::site {

// The two scripts every page is written in.
enum class Script { Simplified, Traditional };

// A request as the site logic sees it: decoded path, query and form fields (the first of
// repeated names), the few headers it reads, the peer's address.
struct SiteRequest {
    std::string method = "GET";
    std::string path = "/";
    std::map<std::string, std::string> query;
    std::map<std::string, std::string> form;
    std::string contentType;
    std::string acceptLanguage;
    std::map<std::string, std::string> cookies;
    std::string clientAddress;
};

struct SiteResponse {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string filePath;  // when set, the body is this file's content (a download)
};

// A file of the release on the download page.
struct ReleaseFile {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
    std::string path;    // where the server reads it
};

// The release the site announces: the version text as the program writes its own ("V1.0.1")
// and the files published for it.
struct ReleaseInfo {
    std::string version;
    std::vector<ReleaseFile> files;
};

// Bounds on what one address or installation may do; the pages say them.
struct SiteLimits {
    int submissionsPerAddressPerHour = 30;
    int submissionsPerInstallationPerHour = 10;
    int postsPerAddressPerHour = 6;
    std::size_t nameCharacters = 32;
    std::size_t messageCharacters = 1000;
};

// Signs form tokens with the site's shared key and makes random visitor keys.
class FormSigner {
public:
    virtual ~FormSigner() = default;
    virtual std::string sign(std::string_view text) = 0;  // lower-case hex
    virtual std::string randomKey() = 0;                  // 32 lower-case hex digits
};

// The headers every response carries: no script runs, nothing is loaded from elsewhere,
// no type guessing, no referrer sent on.
std::vector<std::pair<std::string, std::string>> SecurityHeaders();

}  // namespace pt::site
