#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "logic/SiteApp.h"

namespace Poco {
class ThreadPool;
namespace Net {
class HTTPServer;
}
}  // namespace Poco

namespace pt::site {

struct FrontendOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 8000;  // 0: any free port
    int threads = 64;           // connections served at once (each keep-alive one holds one)
    int queued = 256;           // accepted connections waiting for a thread
    std::size_t maxBodyBytes = 16 * 1024;
    std::chrono::seconds readTimeout{10};
    std::chrono::seconds keepAliveTimeout{5};
    bool accessLog = false;
    // Peers whose X-Forwarded-For is believed (a TLS-terminating proxy in front): a request
    // from one counts against the address the proxy last added, not the proxy's.
    std::vector<std::string>
        trustedProxies;  // a line per request on standard output (else writes and errors)
};

// The site over HTTP/1.1 with Poco's server: a pool of threads, keep-alive with a timeout,
// Poco's own bounds on the request line (16 KiB) and headers (100 fields of up to 8 KiB)
// and ours on bodies. A malformed request is answered 400 and the connection closed; no
// request can end the process. Every response carries the security headers.
class HttpFrontend {
public:
    HttpFrontend(SiteApp& app, FrontendOptions options);
    ~HttpFrontend();
    HttpFrontend(const HttpFrontend&) = delete;
    HttpFrontend& operator=(const HttpFrontend&) = delete;

    std::uint16_t port() const;
    // Stops taking connections, lets requests in flight finish (up to `grace`), then ends
    // the rest.
    void stop(std::chrono::milliseconds grace);

private:
    std::unique_ptr<Poco::ThreadPool> m_pool;
    std::unique_ptr<Poco::Net::HTTPServer> m_server;
};

}  // namespace pt::site
