// The whole program on a real X server: start-up to a shown window, resident memory
// (hidden in the tray, shown, shown with the home strip loaded from a local site), the
// cost of one click and one key in the running program, and the X server's share of the
// CPU while the pointer moves. Prints "RESULT<TAB>figure<TAB>value<TAB>unit<TAB>budget<TAB>
// verdict" lines for bench/run_all.sh.
//   usage: bench_program_footprint [--start-up] [path of the pathtally executable]
// --start-up measures the start-up alone.
// The X server's pid comes from PT_XVFB_PID (run_all.sh sets it).

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "RecordListener.h"
#include "core/ports/SettingsStore.h"
#include "platform/linux/SqliteSettingsStore.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;
constexpr double kPi = 3.14159265358979323846;

void Result(const std::string& figure, double value, const char* unit, const char* budget = "",
            int verdict = -1) {
    std::printf("RESULT\t%s\t%.4g\t%s\t%s\t%s\n", figure.c_str(), value, unit, budget,
                verdict < 0 ? "-"
                : verdict   ? "ok"
                            : "MISSED");
    std::fflush(stdout);
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// CPU time of every thread of a process, in seconds (scheduler nanoseconds, not ticks).
double CpuSeconds(pid_t pid) {
    double total = 0;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::istringstream in(ReadAll(task.path() / "schedstat"));
        double ns = 0;
        in >> ns;
        total += ns;
    }
    return total * 1e-9;
}

// Resident set of a process in MiB (VmRSS, kB / 1024).
double ResidentMb(pid_t pid) {
    std::istringstream in(ReadAll("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}

// The processes started by `pid`, and theirs (the web engine's helpers).
std::vector<pid_t> Descendants(pid_t pid) {
    std::map<pid_t, pid_t> parent;
    for (const auto& e : fs::directory_iterator("/proc")) {
        const std::string name = e.path().filename();
        if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0]))) continue;
        const std::string stat = ReadAll(e.path() / "stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 2));
        char state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        parent[std::stoi(name)] = ppid;
    }
    std::vector<pid_t> out;
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [child, p] : parent)
            if ((p == pid || std::count(out.begin(), out.end(), p)) &&
                !std::count(out.begin(), out.end(), child)) {
                out.push_back(child);
                grew = true;
            }
    }
    return out;
}

// A home for runs of the program (the folders it uses, the settings given), removed with
// the object.
class Home {
public:
    explicit Home(const std::map<std::string, std::string>& settings) {
        char pattern[] = "/tmp/pathtally-footprint.XXXXXX";
        m_root = mkdtemp(pattern);
        for (const char* sub : {"home", "config", "data", "cache", "run", "work"})
            fs::create_directories(m_root / sub);
        fs::permissions(m_root / "run", fs::perms::owner_all, fs::perm_options::replace);
        pt::SqliteSettingsStore store(m_root / "config" / "pathtally" / "settings.db");
        pt::SettingsBatch batch(store);
        for (const auto& [name, value] : settings)
            pt::WriteSetting(store, pt::MainKey, name, value);
    }
    ~Home() {
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(m_root, ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_root, ec);
    }
    const fs::path& root() const { return m_root; }

private:
    fs::path m_root;
};

// One run of the program, in a home of its own or in one shared by several runs in turn.
class Program {
public:
    Program(const std::string& path, const std::map<std::string, std::string>& settings)
        : m_ownHome(std::make_unique<Home>(settings)), m_root(m_ownHome->root()) {
        start(path);
    }
    Program(const std::string& path, const Home& home) : m_root(home.root()) { start(path); }
    ~Program() { stop(); }
    pid_t pid() const { return m_pid; }
    Steady::time_point started() const { return m_started; }
    // SIGTERM: the program saves and ends.
    void stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = 0;
                return;
            }
            std::this_thread::sleep_for(50ms);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    std::string saved(const char* name) {
        pt::SqliteSettingsStore store(m_root / "config" / "pathtally" / "settings.db");
        return pt::ReadSetting(store, pt::MainKey, name);
    }

private:
    void start(const std::string& path) {
        m_started = Steady::now();
        m_pid = fork();
        if (m_pid == 0) {
            setenv("HOME", (m_root / "home").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
            setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
            setenv("XDG_CACHE_HOME", (m_root / "cache").c_str(), 1);
            setenv("XDG_RUNTIME_DIR", (m_root / "run").c_str(), 1);
            if (chdir((m_root / "work").c_str()) != 0) _exit(126);
            if (!freopen("/dev/null", "w", stdout) ||
                !freopen((m_root / "log").c_str(), "w", stderr))
                _exit(126);
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    std::unique_ptr<Home> m_ownHome;
    fs::path m_root;
    pid_t m_pid = -1;
    Steady::time_point m_started;
};

// Windows come and go while the program starts (the toolkit re-creates one before mapping
// it): a window gone between listing and asking is no failure of the benchmark.
int IgnoreGoneWindows(Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow && error->error_code != BadDrawable)
        std::fprintf(stderr, "X error %d (request %d)\n", error->error_code, error->request_code);
    return 0;
}

// A viewable top-level window of the process.
bool WindowShown(Display* d, pid_t pid) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", True);
    if (pidAtom == None) return false;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return false;
    bool shown = false;
    for (unsigned i = 0; i < count && !shown; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) == Success &&
            data && items == 1)
            shown = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
        if (data) XFree(data);
    }
    if (children) XFree(children);
    return shown;
}

bool WaitForWindow(Display* d, pid_t pid, std::chrono::seconds limit = 60s) {
    const auto end = Steady::now() + limit;
    while (Steady::now() < end) {
        if (WindowShown(d, pid)) return true;
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

// The pointer around a circle of radius 200 px, one turn a second, a position every ms.
void Circle(Display* d, double seconds) {
    const int cx = DisplayWidth(d, DefaultScreen(d)) / 2;
    const int cy = DisplayHeight(d, DefaultScreen(d)) / 2;
    const auto start = Steady::now();
    auto next = start;
    for (;;) {
        const double t = std::chrono::duration<double>(Steady::now() - start).count();
        if (t > seconds) break;
        XTestFakeMotionEvent(d, -1, cx + static_cast<int>(std::lround(200 * std::cos(2 * kPi * t))),
                             cy + static_cast<int>(std::lround(200 * std::sin(2 * kPi * t))),
                             CurrentTime);
        XFlush(d);
        next += 1ms;
        std::this_thread::sleep_until(next);
    }
    XSync(d, False);
}

// A local site with the home strip and news pages; the port it listens on.
class LocalSite {
public:
    LocalSite() {
        char pattern[] = "/tmp/pathtally-site.XXXXXX";
        m_root = mkdtemp(pattern);
        for (const char* page : {"pt/h1", "pt/news"}) {
            fs::create_directories(m_root / page);
            std::ofstream(m_root / page / "index.html")
                << "<html><head><meta charset='utf-8'><title>Pathtally</title></head><body>"
                   "<p>Pathtally news and tips</p></body></html>";
        }
        // A port of our own, freed just before the server takes it.
        int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        close(s);
        m_pid = fork();
        if (m_pid == 0) {
            if (chdir(m_root.c_str()) != 0) _exit(126);
            if (!freopen("/dev/null", "w", stdout) ||
                !freopen((m_root / "log").c_str(), "w", stderr))
                _exit(126);
            const std::string port = std::to_string(m_port);
            execlp("python3", "python3", "-m", "http.server", "--bind", "127.0.0.1", port.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(700ms);
    }
    ~LocalSite() {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    bool served(const std::string& path) const { return requests(path) > 0; }
    // How many times the path has been requested so far.
    int requests(const std::string& path) const {
        const std::string log = ReadAll(m_root / "log"), request = "GET " + path + " ";
        int n = 0;
        for (auto at = log.find(request); at != std::string::npos; at = log.find(request, at + 1))
            ++n;
        return n;
    }

private:
    fs::path m_root;
    int m_port = 0;
    pid_t m_pid = -1;
};

// A tray host, when one is installed: without it a start "hidden in the tray" shows the
// window (there would be no way back to it).
class TrayHost {
public:
    explicit TrayHost(Display* d) {
        m_pid = fork();
        if (m_pid == 0) {
            if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
                _exit(126);
            execlp("trayer", "trayer", "--edge", "bottom", "--widthtype", "request",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        const Atom selection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
        for (int i = 0; i < 300 && !m_ready; ++i) {
            m_ready = XGetSelectionOwner(d, selection) != None;
            if (!m_ready) std::this_thread::sleep_for(10ms);
        }
    }
    ~TrayHost() {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    bool ready() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};

// A figure of the program beside the listener's, and their ratio.
void Beside(const std::string& figure, double program, double listener, const char* unit,
            const char* budget, int verdict) {
    Result(figure, program, unit, budget, verdict);
    Result("  RECORD listener, same path", listener, unit);
    if (listener > 0) Result("  program / listener", program / listener, "");
}

const std::map<std::string, std::string> NoPages = {{"SiteRoot", "http://127.0.0.1:9"},
                                                    {"ClosePtHome", "1"},
                                                    {"ClosePtNews", "1"},
                                                    {"UpdateCK", "0"}};

// From the fork that execs `run` to the X server mapping a top-level window of that process
// (the MapNotify on the root window, read as it arrives: no polling): the wall time and the
// processor time the process spent until then, in ms. Wall time negative when no window came
// within a minute.
struct MapTime {
    double wall = -1;
    double cpu = 0;
};
MapTime MillisecondsToMap(Display* d, const Program& run) {
    const Window root = DefaultRootWindow(d);
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    auto ownWindow = [&](Window w) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        bool own = false;
        if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &after, &data) == Success &&
            data && items == 1)
            own = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == run.pid();
        if (data) XFree(data);
        return own;
    };
    const auto end = run.started() + 60s;
    MapTime time;
    while (time.wall < 0 && Steady::now() < end) {
        while (time.wall < 0 && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && e.xmap.event == root && !e.xmap.override_redirect &&
                ownWindow(e.xmap.window)) {
                time.wall = std::chrono::duration<double, std::milli>(Steady::now() - run.started())
                                .count();
                time.cpu = CpuSeconds(run.pid()) * 1000;
            }
        }
        if (time.wall >= 0) break;
        pollfd fd{ConnectionNumber(d), POLLIN, 0};
        poll(&fd, 1, 100);
    }
    return time;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Start-up to a mapped main window, the program beside the floor Qt itself sets (an empty
// QMainWindow, bench/baseline/empty_main_window.cpp), started in turns on the same X server.
// Wall time and, as the machine may be busy, the processor time spent until the window
// was mapped. `what` names the program's settings in the figures. With a site, also the
// time from the start until the program asked it for the home strip (the page follows
// the window).
void StartUp(Display* d, const std::string& program, const std::string& baseline,
             const std::map<std::string, std::string>& settings, const std::string& what, int runs,
             const LocalSite* site = nullptr) {
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, True);  // nothing older than the first run
    std::vector<double> programMs, baselineMs, programCpu, baselineCpu, stripMs;
    bool failed = false;
    // Each in one home for all its runs, as at every login: the first run (not counted)
    // also warms the file cache and makes what a first start makes once.
    const Home programHome(settings), baselineHome({});
    for (int i = 0; i <= runs && !failed; ++i) {
        for (const std::string* path : {&baseline, &program}) {
            if (path->empty()) continue;
            Program run(*path, path == &program ? programHome : baselineHome);
            const int requestsBefore = site ? site->requests("/pt/h1/") : 0;
            const MapTime time = MillisecondsToMap(d, run);
            double stripAfter = -1;
            if (site && path == &program && time.wall >= 0) {
                for (int wait = 0; wait < 6000; ++wait) {
                    if (site->requests("/pt/h1/") > requestsBefore) {
                        stripAfter =
                            std::chrono::duration<double, std::milli>(Steady::now() - run.started())
                                .count();
                        break;
                    }
                    std::this_thread::sleep_for(5ms);
                }
            }
            run.stop();
            XSync(d, True);
            if (time.wall < 0) {
                std::printf("start-up: %s showed no window\n", path->c_str());
                failed = true;
                break;
            }
            if (i == 0) continue;
            (path == &program ? programMs : baselineMs).push_back(time.wall);
            (path == &program ? programCpu : baselineCpu).push_back(time.cpu);
            if (stripAfter >= 0) stripMs.push_back(stripAfter);
        }
    }
    XSelectInput(d, root, NoEventMask);
    XSync(d, True);
    if (failed) return;
    auto list = [&](const char* who, const char* kind, const std::vector<double>& ms) {
        std::printf("start-up runs, %s, %s, %s (ms):", who, what.c_str(), kind);
        for (double v : ms) std::printf(" %.0f", v);
        std::printf("\n");
    };
    list("program", "wall", programMs);
    list("program", "processor", programCpu);
    const double median = Median(programMs), medianCpu = Median(programCpu);
    Result("start-up to mapped window, " + what + " (median of " + std::to_string(runs) + ")",
           median, "ms", "< 300", median < 300);
    Result("  processor time until mapped", medianCpu, "ms");
    if (site) {
        list("program", "home strip requested", stripMs);
        if (stripMs.size() == programMs.size())
            Result("  home strip requested from the site", Median(stripMs), "ms");
        else
            std::printf("the home strip was not requested in every run\n");
    }
    if (baselineMs.empty()) {
        std::printf("no empty_main_window beside this benchmark: no baseline\n");
        return;
    }
    list("empty QMainWindow", "wall", baselineMs);
    list("empty QMainWindow", "processor", baselineCpu);
    const double floor = Median(baselineMs), floorCpu = Median(baselineCpu);
    Result("  empty QMainWindow, same server", floor, "ms");
    Result("  program / empty QMainWindow", median / floor, "");
    Result("  empty QMainWindow, processor time", floorCpu, "ms");
    Result("  program / empty QMainWindow, processor time", medianCpu / floorCpu, "");
}

void Memory(Display* d, const std::string& program) {
    {
        TrayHost tray(d);
        auto settings = NoPages;
        settings["MinToSystray"] = "1";
        Program run(program, settings);
        std::this_thread::sleep_for(6s);
        const bool hidden = !WindowShown(d, run.pid());
        if (!tray.ready())
            std::printf("no tray host (trayer): the hidden start shows the window\n");
        const double rss = ResidentMb(run.pid());
        Result(hidden ? "resident memory, started hidden in the tray"
                      : "resident memory, started 'hidden' (no tray: shown)",
               rss, "MiB", "< 40", hidden ? rss < 40 : -1);
        // Hidden, resting and then moving, measured with the scheduler's nanoseconds
        // beside a bare RECORD listener: the program and the X server serving it.
        bench::ListenerProcess listener;
        std::this_thread::sleep_for(1s);
        Result("  RECORD listener's resident memory", ResidentMb(listener.pid()), "MiB");
        const char* server = std::getenv("PT_XVFB_PID");
        auto measure = [&](const char* what, const char* budget, double limit, auto during) {
            const double p0 = CpuSeconds(run.pid()), l0 = CpuSeconds(listener.pid());
            const double x0 = server ? CpuSeconds(std::atoi(server)) : 0;
            const auto t0 = Steady::now();
            during();
            const double wall = std::chrono::duration<double>(Steady::now() - t0).count();
            const double cpu = (CpuSeconds(run.pid()) - p0) / wall * 100;
            Beside(std::string(hidden ? "program CPU (all threads), hidden, "
                                      : "program CPU (all threads), 'hidden' (shown), ") +
                       what,
                   cpu, (CpuSeconds(listener.pid()) - l0) / wall * 100, "% of a core", budget,
                   hidden ? cpu < limit : -1);
            if (server)
                Result(std::string("X server CPU, program hidden, ") + what,
                       (CpuSeconds(std::atoi(server)) - x0) / wall * 100, "% of a core");
        };
        measure("resting", "< 0.2", 0.2, [] { std::this_thread::sleep_for(10s); });
        measure("pointer moving (circle)", "< 0.5", 0.5, [&] { Circle(d, 10); });
    }
    {
        Program run(program, NoPages);
        WaitForWindow(d, run.pid());
        std::this_thread::sleep_for(4s);
        const double rss = ResidentMb(run.pid());
        Result("resident memory, shown, pages off", rss, "MiB", "< 64", rss < 64);
    }
    {
        LocalSite site;
        Program run(program, {{"SiteRoot", site.address()}, {"UpdateCK", "0"}});
        WaitForWindow(d, run.pid());
        for (int i = 0; i < 300 && !site.served("/pt/h1/"); ++i) std::this_thread::sleep_for(100ms);
        if (!site.served("/pt/h1/")) std::printf("the home strip was never requested\n");
        std::this_thread::sleep_for(6s);  // rendered and settled
        double helpers = 0;
        for (pid_t p : Descendants(run.pid())) helpers += ResidentMb(p);
        Result("resident memory, shown, home strip loaded", ResidentMb(run.pid()), "MiB");
        Result("  + web engine helper processes", helpers, "MiB");
    }
}

// The X server's CPU while the pointer goes round, with and without the program.
void XServerShare(Display* d, const std::string& program) {
    const char* env = std::getenv("PT_XVFB_PID");
    if (!env) {
        std::printf("PT_XVFB_PID unset: the X server's share is not measured\n");
        return;
    }
    const pid_t server = std::atoi(env);
    auto measure = [&](auto during) {
        const double c0 = CpuSeconds(server);
        const auto t0 = Steady::now();
        during();
        return (CpuSeconds(server) - c0) /
               std::chrono::duration<double>(Steady::now() - t0).count() * 100;
    };
    const double alone = measure([&] { Circle(d, 5); });
    double withProgram = 0, resting = 0;
    {
        Program run(program, NoPages);
        WaitForWindow(d, run.pid());
        std::this_thread::sleep_for(3s);
        resting = measure([] { std::this_thread::sleep_for(5s); });
        withProgram = measure([&] { Circle(d, 5); });
    }
    Result("X server CPU, pointer moving, no program", alone, "% of a core");
    Result("X server CPU, pointer moving, window shown", withProgram, "% of a core");
    Result("  the program's share of the X server, moving", withProgram - alone, "% of a core");
    Result("X server CPU, pointer resting, window shown", resting, "% of a core");
}

// CPU time the running program spends on one click and one key, above its resting rate:
// hidden in the tray, a burst at 1 kHz (the counting alone); shown, at a typing pace of
// 20 a second (each one also redraws the figures it changed).
void EventCost(Display* d, const std::string& program, bool hidden) {
    const int events = hidden ? 3000 : 200;
    const auto gap = hidden ? 1ms : 50ms;
    std::unique_ptr<TrayHost> tray;
    auto settings = NoPages;
    if (hidden) {
        tray = std::make_unique<TrayHost>(d);
        settings["MinToSystray"] = "1";
    }
    Program run(program, settings);
    if (hidden) {
        std::this_thread::sleep_for(4s);
        if (!tray->ready() || WindowShown(d, run.pid())) {
            std::printf("no tray host: the per-event cost while hidden is not measured\n");
            return;
        }
    } else {
        WaitForWindow(d, run.pid());
    }
    XTestFakeMotionEvent(d, -1, 1200, 1000, CurrentTime);  // over the desktop, off the window
    XSync(d, False);
    std::this_thread::sleep_for(3s);
    auto cpuOver = [&](auto during) {
        const double c0 = CpuSeconds(run.pid());
        const auto t0 = Steady::now();
        during();
        std::this_thread::sleep_for(500ms);  // the last events handled
        return std::make_pair(CpuSeconds(run.pid()) - c0,
                              std::chrono::duration<double>(Steady::now() - t0).count());
    };
    const auto [restCpu, restWall] = cpuOver([] { std::this_thread::sleep_for(4s); });
    const double restRate = restCpu / restWall;
    auto send = [&](auto one) {
        return cpuOver([&] {
            auto next = Steady::now();
            for (int i = 0; i < events; ++i) {
                one();
                XFlush(d);
                next += gap;
                std::this_thread::sleep_until(next);
            }
            XSync(d, False);
        });
    };
    const auto [clickCpu, clickWall] = send([&] {
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
    });
    const KeyCode a = XKeysymToKeycode(d, XK_a);
    const auto [keyCpu, keyWall] = send([&] {
        XTestFakeKeyEvent(d, a, True, CurrentTime);
        XTestFakeKeyEvent(d, a, False, CurrentTime);
    });
    run.stop();
    const std::string how = hidden ? "hidden, 1,000/s" : "shown, 20/s";
    Result("program: CPU per click (" + how + ")", (clickCpu - restRate * clickWall) / events * 1e6,
           "us");
    Result("program: CPU per key (" + how + ")", (keyCpu - restRate * keyWall) / events * 1e6,
           "us");
    const std::string sent = std::to_string(events);
    Result("program: clicks counted of " + sent + " sent (" + how + ")",
           std::atof(run.saved("totalClick").c_str()), "", ("= " + sent).c_str(),
           run.saved("totalClick") == sent);
    Result("program: keys counted of " + sent + " sent (" + how + ")",
           std::atof(run.saved("KeyDownAll").c_str()), "", ("= " + sent).c_str(),
           run.saved("KeyDownAll") == sent);
}

}  // namespace

int main(int argc, char** argv) {
    const bool startUpOnly = argc > 1 && std::string(argv[1]) == "--start-up";
    if (startUpOnly) --argc, ++argv;
    std::string program = argc > 1 ? argv[1] : "";
    if (program.empty()) {
        const fs::path here = fs::read_symlink("/proc/self/exe").parent_path();
        for (const fs::path& p : {here / "pathtally", here.parent_path() / "pathtally"})
            if (fs::exists(p)) program = fs::canonical(p);
    }
    Display* d = XOpenDisplay(nullptr);
    if (program.empty() || !d) {
        std::fprintf(stderr, "needs the pathtally executable and an X server\n");
        return 2;
    }
    XSetErrorHandler(IgnoreGoneWindows);
    // The floor: built beside this benchmark.
    std::string baseline;
    if (const fs::path empty =
            fs::read_symlink("/proc/self/exe").parent_path() / "empty_main_window";
        fs::exists(empty))
        baseline = empty;
    StartUp(d, program, baseline, NoPages, "pages off", 9);
    {
        // As installed: the home strip shown from the start (here from a local site).
        LocalSite site;
        StartUp(d, program, baseline, {{"SiteRoot", site.address()}, {"UpdateCK", "0"}},
                "home strip on", 5, &site);
    }
    if (startUpOnly) {
        XCloseDisplay(d);
        return 0;
    }
    EventCost(d, program, true);
    EventCost(d, program, false);
    XServerShare(d, program);
    Memory(d, program);
    XCloseDisplay(d);
    return 0;
}
