#pragma once

// A private PostgreSQL 15 cluster for the tests of one binary: made with initdb in a
// temporary folder, listening only on a Unix socket there (no TCP port), run as an
// unprivileged user (nobody, when the tests run as root), stopped and removed at exit.
// Each test takes a fresh database of its own from it.

#include <pwd.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace pt::test {

class PostgresCluster {
public:
    // The binary's cluster, started on first use; null when there is none, with the reason
    // in Unavailable().
    static PostgresCluster* Shared() {
        PostgresCluster& c = Instance();
        return c.m_running ? &c : nullptr;
    }
    static std::string Unavailable() { return Instance().m_problem; }

    ~PostgresCluster() {
        if (m_running) ctl({"stop", "-m", "immediate"});
        std::error_code ec;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ec);
    }

    // A new, empty database; its address for the site.
    std::string createDatabase() {
        const std::string name = "t" + std::to_string(getpid()) + "_" + std::to_string(++m_made);
        run({m_bin + "/psql", "-q", "-h", m_dir.string(), "-U", "postgres", "-d", "postgres", "-c",
             "CREATE DATABASE " + name});
        return address(name);
    }
    std::string address(const std::string& database) const {
        return "postgresql:///" + database + "?host=" + m_dir.string() + "&user=postgres";
    }
    // Runs SQL in `database` through psql; returns its unaligned output.
    std::string sql(const std::string& database, const std::string& statement) const {
        const std::string out = (m_dir / "psql.out").string();
        run({"/bin/sh", "-c",
             m_bin + "/psql -qAt -h '" + m_dir.string() + "' -U postgres -d " + database +
                 " -c \"" + statement + "\" > " + out + " 2>&1"});
        std::FILE* f = std::fopen(out.c_str(), "r");
        std::string text;
        char buffer[4096];
        for (std::size_t n; f && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        if (f) std::fclose(f);
        while (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
    static std::string DatabaseOf(const std::string& address) {
        const auto start = address.find(":///") + 4;
        return address.substr(start, address.find('?') - start);
    }
    // The server stopped (fast: sessions are cut) and started again.
    bool stop() { return ctl({"stop", "-m", "fast"}); }
    bool start() {
        return ctl({"start", "-l", (m_dir / "server.log").string(), "-o",
                    "-k " + m_dir.string() + " -c listen_addresses= -F -c max_connections=200"});
    }

private:
    static PostgresCluster& Instance() {
        static PostgresCluster cluster;
        return cluster;
    }
    PostgresCluster() {
        m_bin = "/usr/lib/postgresql/15/bin";
        if (!std::filesystem::exists(m_bin + "/initdb")) {
            m_problem = "PostgreSQL 15 is not installed (scripts/deps.sh --test installs it)";
            return;
        }
        char pattern[] = "/tmp/pt-pg.XXXXXX";
        if (!mkdtemp(pattern)) {
            m_problem = "no temporary folder";
            return;
        }
        m_dir = pattern;
        // The server refuses to run as root: the folder belongs to nobody, who runs it.
        if (getuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || chown(pattern, nobody->pw_uid, nobody->pw_gid) != 0) {
                m_problem = "cannot hand the cluster's folder to the user nobody";
                return;
            }
            m_asUser = "nobody";
        }
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all |
                                                std::filesystem::perms::group_exec |
                                                std::filesystem::perms::others_exec);
        if (!run(asUser({m_bin + "/initdb", "-D", (m_dir / "data").string(), "-A", "trust", "-U",
                         "postgres", "--no-sync", "-E", "UTF8", "--locale=C"}),
                 (m_dir / "initdb.log").string())) {
            m_problem = "initdb failed (see " + (m_dir / "initdb.log").string() + ")";
            return;
        }
        m_running = start();
        if (!m_running) m_problem = "the cluster did not start";
    }
    std::vector<std::string> asUser(std::vector<std::string> args) const {
        if (m_asUser.empty()) return args;
        args.insert(args.begin(), {"/usr/sbin/runuser", "-u", m_asUser, "--"});
        return args;
    }
    bool ctl(std::vector<std::string> args) {
        args.insert(args.begin(), {m_bin + "/pg_ctl", "-D", (m_dir / "data").string(), "-w"});
        return run(asUser(args), (m_dir / "pg_ctl.log").string());
    }
    static bool run(std::vector<std::string> args, const std::string& log = "/dev/null") {
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen(log.c_str(), "a", stdout);
            std::freopen(log.c_str(), "a", stderr);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    std::string m_bin;
    std::filesystem::path m_dir;
    std::string m_asUser;
    std::string m_problem;
    bool m_running = false;
    std::atomic<int> m_made{0};
};

}  // namespace pt::test
