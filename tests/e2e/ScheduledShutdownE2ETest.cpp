// The program under its own X server with a mocked logind on a private bus: a clock rule
// armed in the store fires on the first one-second tick, the totals are saved before the
// request, and the program ends only when logind accepts it.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/SettingsStore.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "support/TempDir.h"

namespace pt {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[512];
        while (fgets(buf, sizeof buf, pipe)) out += buf;
        pclose(pipe);
    }
    return out;
}

// A child process with extra environment, its output in a file; killed when dropped.
class Child {
public:
    Child(std::vector<std::string> argv, const std::vector<std::string>& env, const fs::path& log,
          const fs::path& dir = fs::current_path()) {
        m_pid = fork();
        if (m_pid == 0) {
            if (chdir(dir.c_str()) != 0) _exit(126);
            if (!freopen(log.c_str(), "w", stdout) || !freopen(log.c_str(), "a", stderr))
                _exit(126);
            for (const std::string& e : env) putenv(strdup(e.c_str()));
            std::vector<char*> args;
            for (std::string& a : argv) args.push_back(a.data());
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
    }
    ~Child() {
        if (running()) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool running() {
        if (m_done) return false;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_done = true;
            m_status = status;
        }
        return !m_done;
    }
    // Waits up to `limit` for the end; true when it ended.
    bool waitEnd(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(50ms);
        return !running();
    }
    int status() const { return m_status; }
    void terminate() {
        if (running()) kill(m_pid, SIGTERM);
    }

private:
    pid_t m_pid = -1;
    bool m_done = false;
    int m_status = 0;
};

class ScheduledShutdown : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pathtally-shutdown-e2e.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        const fs::path busFile = m_root / "bus";
        m_bus = std::make_unique<Child>(
            std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address=1"},
            std::vector<std::string>{}, busFile);
        for (int i = 0; i < 100 && m_address.empty(); ++i) {
            std::this_thread::sleep_for(50ms);
            std::ifstream in(busFile);
            std::getline(in, m_address);
        }
        ASSERT_FALSE(m_address.empty()) << "no private dbus-daemon";
        m_env = {"DBUS_SYSTEM_BUS_ADDRESS=" + m_address, "DBUS_SESSION_BUS_ADDRESS=" + m_address};
        m_logind = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock", "--template", "logind"},
            m_env, m_root / "logind.log");
        bool up = false;
        for (int i = 0; i < 150 && !up; ++i) {
            std::this_thread::sleep_for(100ms);
            up = Shell(bus("introspect --system -d org.freedesktop.login1 -o "
                           "/org/freedesktop/login1"))
                     .find("PowerOff") != std::string::npos;
        }
        ASSERT_TRUE(up) << "logind mock did not start";
        fs::create_directories(m_root / "work");
        std::ofstream(m_root / "locale.conf") << "LANG=zh_CN.UTF-8\n";
    }
    void TearDown() override {
        m_program.reset();
        m_logind.reset();
        m_bus.reset();
        if (HasFailure())
            std::fprintf(stderr, "%s\n", test::ReadAll(m_root / "program.log").c_str());
        fs::remove_all(m_root);
    }

    // A gdbus command line on the private bus.
    std::string bus(const std::string& args) const {
        return "DBUS_SYSTEM_BUS_ADDRESS='" + m_address + "' gdbus " + args + " 2>&1";
    }
    std::string logindCalls() const {
        return Shell(
            bus("call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 -m "
                "org.freedesktop.DBus.Mock.GetCalls"));
    }
    fs::path store() const { return m_root / "config" / "pathtally" / "settings.db"; }

    // Arms the every-day rule 7 for the current minute, as a previous run would have stored
    // it, and starts the program with `extra` added to its environment.
    void startWithRuleForThisMinute(const std::vector<std::string>& extra = {}) {
        std::time_t now = std::time(nullptr);
        std::tm tm = *std::localtime(&now);
        if (tm.tm_sec > 50) {  // keep the minute from turning before the first tick
            std::this_thread::sleep_for(std::chrono::seconds(61 - tm.tm_sec));
            now = std::time(nullptr);
            tm = *std::localtime(&now);
        }
        {
            SqliteSettingsStore settings(store());
            WriteSetting(settings, MainKey, "check7", "1");
            WriteSetting(settings, MainKey, "Text14", std::to_string(tm.tm_hour));
            WriteSetting(settings, MainKey, "Text15", std::to_string(tm.tm_min));
        }
        std::vector<std::string> env = m_env;
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "DISPLAY"})
            if (const char* value = std::getenv(name))
                env.push_back(std::string(name) + "=" + value);
        env.push_back("XDG_CONFIG_HOME=" + (m_root / "config").string());
        env.push_back("PATHTALLY_LOCALE_CONF=" + (m_root / "locale.conf").string());
        env.push_back("QT_QPA_PLATFORM=xcb");
        env.insert(env.end(), extra.begin(), extra.end());
        m_program = std::make_unique<Child>(
            std::vector<std::string>{std::string(PT_BINARY_DIR) + "/pathtally"}, env,
            m_root / "program.log", m_root / "work");
    }

    std::string stored(const std::string& name) {
        SqliteSettingsStore settings(store());
        return ReadSetting(settings, MainKey, name);
    }

    // True when a visible window's title contains `title` within `limit`.
    bool windowShown(const std::string& title, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (Shell("xdotool search --onlyvisible --name . getwindowname %@").find(title) !=
                std::string::npos)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    // True when the stored use time grows by `seconds` within `limit`: the one-second tick
    // runs and saves.
    bool keepsSaving(double seconds, std::chrono::milliseconds limit) {
        const double from = std::atof(stored("AllUseTime").c_str());
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (std::atof(stored("AllUseTime").c_str()) >= from + seconds) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    fs::path m_root;
    std::string m_address;
    std::vector<std::string> m_env;
    std::unique_ptr<Child> m_bus, m_logind, m_program;
};

TEST_F(ScheduledShutdown, AcceptedPowerOffSavesAndEndsTheProgram) {
    startWithRuleForThisMinute();
    ASSERT_TRUE(m_program->waitEnd(20s)) << "the rule did not end the program";
    EXPECT_TRUE(WIFEXITED(m_program->status()));
    EXPECT_EQ(WEXITSTATUS(m_program->status()), 0);
    EXPECT_NE(logindCalls().find("'PowerOff', [<true>]"), std::string::npos) << logindCalls();
    // Less than ten seconds ran, so only the save before the request can have stored the
    // use time.
    EXPECT_FALSE(stored("AllUseTime").empty());
    EXPECT_EQ(stored("check7"), "1");  // still armed for tomorrow
}

TEST_F(ScheduledShutdown, RefusedPowerOffIsShownAndTheProgramKeepsRunning) {
    Shell(
        bus("call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 -m "
            "org.freedesktop.DBus.Mock.AddMethod org.freedesktop.login1.Manager PowerOff b '' "
            "\"raise dbus.exceptions.DBusException('Not authorized', "
            "name='org.freedesktop.DBus.Error.AccessDenied')\""));
    startWithRuleForThisMinute();
    bool asked = false;
    for (int i = 0; i < 200 && !asked; ++i) {
        std::this_thread::sleep_for(100ms);
        asked = logindCalls().find("PowerOff") != std::string::npos;
    }
    ASSERT_TRUE(asked) << logindCalls();
    std::string windows;
    for (int i = 0; i < 50 && windows.find("错误提示") == std::string::npos; ++i) {
        std::this_thread::sleep_for(100ms);
        windows = Shell("xdotool search --onlyvisible --name . getwindowname %@");
    }
    EXPECT_NE(windows.find("错误提示"), std::string::npos) << windows;
    EXPECT_FALSE(m_program->waitEnd(3s)) << "the program ended although logind refused";
    EXPECT_FALSE(stored("AllUseTime").empty());  // saved before the request all the same
    // Asked once: the rest of the minute does not repeat the request.
    const std::string calls = logindCalls();
    EXPECT_EQ(calls.find("PowerOff"), calls.rfind("PowerOff")) << calls;
    m_program->terminate();
    EXPECT_TRUE(m_program->waitEnd(10s));
}

// The refusal box opened by a scheduled shutdown leaves the one-second tick running: use
// time goes on and is saved while the box waits for the user.
TEST_F(ScheduledShutdown, RefusalBoxLeavesTheTicksAndSavesRunning) {
    Shell(
        bus("call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 -m "
            "org.freedesktop.DBus.Mock.AddMethod org.freedesktop.login1.Manager PowerOff b '' "
            "\"raise dbus.exceptions.DBusException('Not authorized', "
            "name='org.freedesktop.DBus.Error.AccessDenied')\""));
    startWithRuleForThisMinute({"PATHTALLY_TEST_SECOND_MS=50"});
    ASSERT_TRUE(windowShown("错误提示", 30s));
    EXPECT_TRUE(keepsSaving(20, 30s)) << "the tick stopped while the box was open";
    EXPECT_TRUE(windowShown("错误提示", 1s));  // still open, unanswered
    m_program->terminate();
    EXPECT_TRUE(m_program->waitEnd(10s));
}

// A logind that takes the request and never answers: the ticks and saves go on, and a
// request to stop is served at once, not after the bus gives up.
TEST_F(ScheduledShutdown, UnansweredPowerOffHoldsNothingUp) {
    const fs::path asked = m_root / "asked";
    Shell(
        bus("call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 -m "
            "org.freedesktop.DBus.Mock.AddMethod org.freedesktop.login1.Manager PowerOff b '' "
            "\"open('" +
            asked.string() + "', 'w').close()\nimport time\ntime.sleep(300)\""));
    startWithRuleForThisMinute({"PATHTALLY_TEST_SECOND_MS=50"});
    for (int i = 0; i < 300 && !fs::exists(asked); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(fs::exists(asked)) << "logind was not asked";
    EXPECT_TRUE(keepsSaving(20, 30s)) << "the tick stopped while logind kept the request";
    m_program->terminate();
    EXPECT_TRUE(m_program->waitEnd(10s)) << "SIGTERM waited for logind";
    EXPECT_TRUE(WIFEXITED(m_program->status()));
}

// A system bus that accepts the connection and never speaks: the request is given up
// after a short bound and told as a refusal; the ticks run meanwhile.
TEST_F(ScheduledShutdown, SilentSystemBusIsGivenUp) {
    const fs::path socketPath = m_root / "silent-bus";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::snprintf(where.sun_path, sizeof where.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    startWithRuleForThisMinute({"PATHTALLY_TEST_SECOND_MS=50",
                                "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + socketPath.string()});
    EXPECT_TRUE(keepsSaving(20, 30s)) << "the tick stopped while the bus kept silent";
    EXPECT_TRUE(windowShown("错误提示", 30s));
    m_program->terminate();
    EXPECT_TRUE(m_program->waitEnd(10s));
    ::close(listener);
}

}  // namespace
}  // namespace pt
