// pathtally-site: the product website. See --help.

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logic/SiteApp.h"
#include "server/HmacFormSigner.h"
#include "server/HttpFrontend.h"
#include "server/ReleaseFiles.h"
#include "storage/PostgresSiteStorage.h"
#include "storage/SqliteSiteStorage.h"

namespace {

constexpr const char* Usage = R"(Usage: pathtally-site [options]
Serves the Pathtally website: front page, help, home strip, news, downloads, update page,
ranking and message board.

  --listen HOST:PORT     address to listen on (default 127.0.0.1:8000; port 0 picks one)
  --database FILE|URL    SQLite database file, or a PostgreSQL database shared by several
                         instances (postgresql://user@host/dbname?...), created or moved
                         forward on start (default pathtally-site.db in the working folder)
  --database-connections N  PostgreSQL connections per instance at most (default 8)
  --site-root URL        the address the pages link to (default: paths from the root)
  --release-version V    the version announced and offered for download (default the
                         site's own, )" PATHTALLY_SITE_RELEASE R"(); at most 7 characters
  --downloads DIR        folder with the release's files (pathtally_<version>_amd64.deb,
                         pathtally*.exe), listed with size and SHA-256 and served
  --threads N            connections served at once (default 64)
  --submissions-per-hour N               ranking codes per address and hour (default 30)
  --installation-submissions-per-hour N  ranking codes per installation and hour (default 10)
  --posts-per-hour N                     board messages per address and hour (default 6)
  --port-file FILE       write the port listened on to FILE once serving
  --access-log           a line for every request (default: writes and errors only)
  --trusted-proxy ADDR   a proxy in front (repeatable): its X-Forwarded-For names the
                         visitor whose address the bounds count
  --help                 this text
Each option can also come from the environment, the flag winning: PATHTALLY_SITE_LISTEN,
PATHTALLY_SITE_DATABASE, PATHTALLY_SITE_ROOT, PATHTALLY_SITE_RELEASE_VERSION,
PATHTALLY_SITE_DOWNLOADS, PATHTALLY_SITE_THREADS, PATHTALLY_SITE_TRUSTED_PROXY,
PATHTALLY_SITE_DATABASE_CONNECTIONS.
GET /healthz answers 200 while the database answers, 503 otherwise.
Logs go to standard output; SIGTERM or SIGINT stops it after requests in flight.
)";

// Options from the environment that the command line does not give: a flag wins.
std::vector<std::string> EnvironmentOptions(const std::vector<std::string>& commandLine) {
    static constexpr std::pair<const char*, const char*> Names[] = {
        {"PATHTALLY_SITE_LISTEN", "--listen"},
        {"PATHTALLY_SITE_DATABASE", "--database"},
        {"PATHTALLY_SITE_ROOT", "--site-root"},
        {"PATHTALLY_SITE_RELEASE_VERSION", "--release-version"},
        {"PATHTALLY_SITE_DOWNLOADS", "--downloads"},
        {"PATHTALLY_SITE_THREADS", "--threads"},
        {"PATHTALLY_SITE_TRUSTED_PROXY", "--trusted-proxy"},
        {"PATHTALLY_SITE_DATABASE_CONNECTIONS", "--database-connections"}};
    std::vector<std::string> options;
    for (const auto& [variable, flag] : Names)
        if (const char* value = std::getenv(variable);
            value && *value &&
            std::find(commandLine.begin(), commandLine.end(), flag) == commandLine.end()) {
            options.push_back(flag);
            options.push_back(value);
        }
    return options;
}

std::optional<int> Count(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 1000000) return std::nullopt;
    return static_cast<int>(value);
}

bool IsVersionText(const std::string& v) {
    if (v.size() < 2 || v.size() > 7 || v[0] != 'V') return false;
    return v.find_first_not_of("0123456789.", 1) == std::string::npos;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "pathtally-site: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pt::site;
    FrontendOptions frontend;
    SiteConfig config;
    PostgresOptions postgres;
    std::string database = "pathtally-site.db", downloads, version = PATHTALLY_SITE_RELEASE,
                portFile;
    const std::vector<std::string> commandLine(argv + 1, argv + argc);
    std::vector<std::string> options = EnvironmentOptions(commandLine);
    options.insert(options.end(), commandLine.begin(), commandLine.end());
    const int count = static_cast<int>(options.size());
    for (int i = 0; i < count; ++i) {
        const std::string arg = options[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (arg == "--access-log") {
            frontend.accessLog = true;
            continue;
        }
        if (i + 1 >= count)
            return Fail("unknown option or missing value: " + arg + " (see --help)");
        const char* value = options[++i].c_str();
        if (arg == "--listen") {
            const std::string v = value;
            const auto colon = v.rfind(':');
            const auto port = colon == std::string::npos ? std::nullopt : Count(value + colon + 1);
            if (!port || *port > 65535) return Fail("--listen takes HOST:PORT, not " + v);
            frontend.host = v.substr(0, colon);
            if (frontend.host.size() > 2 && frontend.host.front() == '[')
                frontend.host = frontend.host.substr(1, frontend.host.size() - 2);
            frontend.port = static_cast<std::uint16_t>(*port);
        } else if (arg == "--database") {
            database = value;
        } else if (arg == "--site-root") {
            config.siteRoot = value;
            if (!config.siteRoot.starts_with("http://") && !config.siteRoot.starts_with("https://"))
                return Fail("--site-root takes an http or https address");
        } else if (arg == "--release-version") {
            version = value;
            if (!IsVersionText(version))
                return Fail(
                    "--release-version takes V and numbers with dots, at most 7 "
                    "characters (the program reads 7), not " +
                    version);
        } else if (arg == "--downloads") {
            downloads = value;
        } else if (arg == "--trusted-proxy") {
            frontend.trustedProxies.push_back(value);
        } else if (arg == "--port-file") {
            portFile = value;
        } else {
            const auto n = Count(value);
            if (!n) return Fail(arg + " takes a whole number, not " + value);
            if (arg == "--threads")
                frontend.threads = *n;
            else if (arg == "--database-connections")
                postgres.connections = std::max(1, *n);
            else if (arg == "--submissions-per-hour")
                config.limits.submissionsPerAddressPerHour = *n;
            else if (arg == "--installation-submissions-per-hour")
                config.limits.submissionsPerInstallationPerHour = *n;
            else if (arg == "--posts-per-hour")
                config.limits.postsPerAddressPerHour = *n;
            else
                return Fail("unknown option " + arg + " (see --help)");
        }
    }

    // SIGTERM and SIGINT are waited for below; every thread started later inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        std::unique_ptr<SiteStorage> opened;
        bool readOnly = false;
        if (IsPostgresAddress(database)) {
            opened = std::make_unique<PostgresSiteStorage>(database, postgres);
        } else {
            auto sqlite = std::make_unique<SqliteSiteStorage>(database);
            readOnly = sqlite->readOnly();
            opened = std::move(sqlite);
        }
        SiteStorage& storage = *opened;
        HmacFormSigner signer(storage.siteSecret());
        config.release = FindRelease(version, downloads);
        SiteApp app(storage, signer, config,
                    [] { return static_cast<std::int64_t>(std::time(nullptr)); });
        HttpFrontend server(app, frontend);
        if (!portFile.empty()) {
            const std::string tmp = portFile + ".tmp";
            std::ofstream(tmp) << server.port() << "\n";
            std::rename(tmp.c_str(), portFile.c_str());
        }
        std::printf(
            "pathtally-site: serving http://%s:%u/ (database %s, schema %d%s, release %s, "
            "%zu download file(s))\n",
            frontend.host.c_str(), server.port(), RedactedAddress(database).c_str(),
            storage.schemaVersion(), readOnly ? ", read-only: submissions and posts refused" : "",
            version.c_str(), config.release.files.size());
        std::fflush(stdout);
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        std::printf("pathtally-site: %s, finishing requests in flight\n", strsignal(signalNumber));
        std::fflush(stdout);
        server.stop(std::chrono::seconds(10));
    } catch (const StorageError& e) {
        std::fprintf(stderr, "pathtally-site: database %s: %s\n", RedactedAddress(database).c_str(),
                     e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pathtally-site: %s\n", e.what());
        return 1;
    }
    std::printf("pathtally-site: stopped\n");
    return 0;
}
