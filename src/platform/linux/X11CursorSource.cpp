#include "platform/linux/X11CursorSource.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "core/stats/Chord.h"
#include "platform/linux/XConnectionLoss.h"

// X headers last: their macros clash with common names.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace pt {
namespace {

using Nanos = std::int64_t;

Nanos Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Nanos>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

timespec ToTimespec(Nanos ns) {
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

// Selects raw pointer motion of the master devices on the sampler's own connection, or
// clears the selection.
void SelectRawMotion(Display* display, Window root, bool on) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) XISetMask(bits, XI_RawMotion);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    XISelectEvents(display, root, &mask, 1);
}

// Reads and drops every queued event; true when raw motion was among them.
bool DrainMotion(Display* display, int xiOpcode) {
    bool motion = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == GenericEvent && event.xcookie.extension == xiOpcode &&
            event.xcookie.evtype == XI_RawMotion)
            motion = true;
    }
    return motion;
}

}  // namespace

X11CursorSource::X11CursorSource() : X11CursorSource(Options{}) {}

X11CursorSource::X11CursorSource(Options options) : m_options(std::move(options)) {
    XInitThreads();  // the sampler's connection lives on another thread
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { run(); });
    m_started.wait(false, std::memory_order_acquire);  // until the display has been tried
}

X11CursorSource::~X11CursorSource() {
    stop();
    if (m_wakeFd >= 0) close(m_wakeFd);
}

void X11CursorSource::stop() {
    m_stop.store(true, std::memory_order_release);
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(m_wakeFd, &one, sizeof one);
    }
    if (m_thread.joinable()) m_thread.join();
}

std::chrono::nanoseconds X11CursorSource::samplerCpuTime() const {
    clockid_t clock{};
    timespec ts{};
    if (!running() ||
        pthread_getcpuclockid(const_cast<std::thread&>(m_thread).native_handle(), &clock) != 0 ||
        clock_gettime(clock, &ts) != 0)
        return std::chrono::nanoseconds{0};
    return std::chrono::seconds{ts.tv_sec} + std::chrono::nanoseconds{ts.tv_nsec};
}

void X11CursorSource::run() {
    Display* display =
        XOpenDisplay(m_options.displayName.empty() ? nullptr : m_options.displayName.c_str());
    if (!display) {
        m_started.store(true, std::memory_order_release);
        m_started.notify_all();
        return;
    }
    std::atomic<bool> lost{false};
    WatchConnectionLoss(display, &lost);
    const Window root = DefaultRootWindow(display);
    int xiOpcode = -1, event = 0, error = 0;
    int major = 2, minor = 2;
    const bool rawMotion = XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error) &&
                           XIQueryVersion(display, &major, &minor) == Success && major >= 2;
    m_running.store(true, std::memory_order_release);
    m_started.store(true, std::memory_order_release);
    m_started.notify_all();

    const Nanos period = std::chrono::nanoseconds(m_options.period).count();
    const Nanos idlePeriod = std::chrono::nanoseconds(m_options.idlePeriod).count();
    int x0 = 0, y0 = 0;  // the first read measures from the screen's top-left corner
    int unchanged = 0;
    bool resting = false;
    Nanos rateStart = Now();
    std::uint64_t rateReads = 0;

    // One read; true when the pointer moved. A failed read adds nothing.
    auto sample = [&]() -> bool {
        Window rootReturn = 0, child = 0;
        int x = 0, y = 0, winX = 0, winY = 0;
        unsigned mask = 0;
        if (!XQueryPointer(display, root, &rootReturn, &child, &x, &y, &winX, &winY, &mask)) {
            m_failedReads.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        const double d = ChordLength(x0, y0, x, y);
        x0 = x;
        y0 = y;
        m_handOver.record(x, y, d);
        m_samplesTaken.fetch_add(1, std::memory_order_relaxed);
        ++rateReads;
        if (const Nanos elapsed = Now() - rateStart; elapsed >= 1'000'000'000) {
            m_rate.store(static_cast<double>(rateReads) * 1e9 / static_cast<double>(elapsed),
                         std::memory_order_relaxed);
            rateStart += elapsed;
            rateReads = 0;
        }
        return d != 0;
    };

    // Back off: raw motion is selected first, so motion between the last read and the
    // selection is caught by the read right after it.
    auto rest = [&] {
        if (rawMotion) {
            SelectRawMotion(display, root, true);
            XSync(display, False);
            DrainMotion(display, xiOpcode);
        }
        resting = true;
        m_resting.store(true, std::memory_order_relaxed);
    };
    auto wake = [&] {
        if (rawMotion) {
            SelectRawMotion(display, root, false);
            XFlush(display);
        }
        resting = false;
        m_resting.store(false, std::memory_order_relaxed);
        unchanged = 0;
    };

    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    Nanos deadline = Now();
    // A lost server ends the sampling; take() then stays empty.
    while (!m_stop.load(std::memory_order_acquire) && !lost.load(std::memory_order_acquire)) {
        if (!resting) {
            deadline += period;
            const Nanos now = Now();
            if (deadline < now - period) {  // fell behind: missed reads are not made up
                m_missed.fetch_add(static_cast<std::uint64_t>((now - deadline) / period),
                                   std::memory_order_relaxed);
                deadline = now;
            }
            const timespec until = ToTimespec(deadline);
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
            }
            if (m_stop.load(std::memory_order_acquire)) break;
            unchanged = sample() ? 0 : unchanged + 1;
            if (unchanged >= m_options.restingReads) {
                rest();
                if (sample()) wake();
            }
        } else {
            bool motion = rawMotion && DrainMotion(display, xiOpcode);
            if (!motion) {
                const timespec timeout = ToTimespec(idlePeriod);
                if (ppoll(fds, 2, &timeout, nullptr) > 0 && (fds[0].revents & POLLIN))
                    motion = rawMotion && DrainMotion(display, xiOpcode);
            }
            if (m_stop.load(std::memory_order_acquire)) break;
            if (sample() || motion) {
                wake();
                deadline = Now();
            }
        }
    }
    m_running.store(false, std::memory_order_release);
    XCloseDisplay(display);
    ForgetConnectionLoss(display);
}

}  // namespace pt
