#include "platform/linux/X11MotionCursorSource.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "core/stats/Chord.h"
#include "platform/linux/XConnectionLoss.h"

// X headers last: their macros clash with common names.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XI2proto.h>
#include <X11/extensions/record.h>

namespace pt {
namespace {

// How long the events of a moving pointer gather before they are read (milliseconds).
constexpr int kBatchMs = 16;

std::int16_t Swap16(std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((u >> 8) | (u << 8)));
}

}  // namespace

// What the recording callback needs: the source, the input extension's opcode, and what
// came in the batch of replies being processed.
struct X11MotionCursorSource::Recorder {
    X11MotionCursorSource* source;
    int inputOpcode = -1;
    bool motion = false;
    bool warp = false;

    static void onData(XPointer closure, XRecordInterceptData* data) {
        auto* self = reinterpret_cast<Recorder*>(closure);
        const auto* bytes = reinterpret_cast<const unsigned char*>(data->data);
        if (data->category == XRecordFromServer && data->data_len * 4 >= sizeof(xEvent)) {
            const auto* event = reinterpret_cast<const xEvent*>(data->data);
            if ((event->u.u.type & 0x7f) == MotionNotify) {
                std::int16_t x = event->u.keyButtonPointer.rootX;
                std::int16_t y = event->u.keyButtonPointer.rootY;
                if (data->client_swapped) {
                    x = Swap16(x);
                    y = Swap16(y);
                }
                self->motion = true;
                self->source->m_motionEvents.fetch_add(1, std::memory_order_relaxed);
                self->source->add(x, y);
            }
        } else if (data->category == XRecordFromClient && data->data_len >= 1) {
            // A program asked for a warp (core or XInput 2): the position is read next.
            if (bytes[0] == X_WarpPointer ||
                (self->inputOpcode > 0 && bytes[0] == self->inputOpcode &&
                 bytes[1] == X_XIWarpPointer))
                self->warp = true;
        }
        XRecordFreeData(data);
    }
};

X11MotionCursorSource::X11MotionCursorSource() : X11MotionCursorSource(Options{}) {}

X11MotionCursorSource::X11MotionCursorSource(Options options) : m_options(std::move(options)) {
    XInitThreads();  // the recorder's connections live on another thread
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { run(); });
    m_started.wait(false, std::memory_order_acquire);  // until the recording has been tried
}

X11MotionCursorSource::~X11MotionCursorSource() {
    stop();
    if (m_wakeFd >= 0) close(m_wakeFd);
}

void X11MotionCursorSource::stop() {
    m_stop.store(true, std::memory_order_release);
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(m_wakeFd, &one, sizeof one);
    }
    if (m_thread.joinable()) m_thread.join();
}

// Recorder thread: one more position of the pointer.
void X11MotionCursorSource::add(int x, int y) {
    const double d = ChordLength(m_x0, m_y0, x, y);
    m_x0 = x;
    m_y0 = y;
    m_handOver.record(x, y, d);
}

void X11MotionCursorSource::run() {
    const char* name = m_options.displayName.empty() ? nullptr : m_options.displayName.c_str();
    auto started = [this](bool available) {
        m_available = available;
        m_running.store(available, std::memory_order_release);
        m_started.store(true, std::memory_order_release);
        m_started.notify_all();
    };
    // The control connection asks questions; the data connection only receives the
    // recorded events once the context is enabled on it.
    Display* control = XOpenDisplay(name);
    Display* data = control ? XOpenDisplay(name) : nullptr;
    int major = 0, minor = 0;
    if (!data || !XRecordQueryVersion(control, &major, &minor)) {
        if (data) XCloseDisplay(data);
        if (control) XCloseDisplay(control);
        started(false);
        return;
    }
    std::atomic<bool> lost{false};
    WatchConnectionLoss(control, &lost);
    WatchConnectionLoss(data, &lost);

    // Recorded: every motion event of a pointer device, and every request that warps the
    // pointer (which makes no device event), core or XInput 2.
    Recorder recorder{this};
    int event = 0, error = 0;
    if (!XQueryExtension(control, "XInputExtension", &recorder.inputOpcode, &event, &error))
        recorder.inputOpcode = -1;
    XRecordClientSpec clients = XRecordAllClients;
    XRecordRange* ranges[2] = {XRecordAllocRange(), XRecordAllocRange()};
    ranges[0]->device_events.first = MotionNotify;
    ranges[0]->device_events.last = MotionNotify;
    ranges[0]->core_requests.first = X_WarpPointer;
    ranges[0]->core_requests.last = X_WarpPointer;
    const int rangeCount = recorder.inputOpcode > 0 ? 2 : 1;
    if (rangeCount == 2) {
        ranges[1]->ext_requests.ext_major.first = static_cast<unsigned char>(recorder.inputOpcode);
        ranges[1]->ext_requests.ext_major.last = static_cast<unsigned char>(recorder.inputOpcode);
        ranges[1]->ext_requests.ext_minor.first = X_XIWarpPointer;
        ranges[1]->ext_requests.ext_minor.last = X_XIWarpPointer;
    }
    const XRecordContext context =
        XRecordCreateContext(control, 0, &clients, 1, ranges, rangeCount);
    XFree(ranges[0]);
    XFree(ranges[1]);
    XSync(control, False);
    const bool enabled =
        context != 0 && XRecordEnableContextAsync(data, context, Recorder::onData,
                                                  reinterpret_cast<XPointer>(&recorder));
    if (enabled) XFlush(data);
    started(enabled && !lost.load(std::memory_order_acquire));

    const Window root = DefaultRootWindow(control);
    // Where the pointer is now: the first position, and after a warp. A reading is
    // dropped when recorded motion came meanwhile (the events tell the true path).
    auto readPosition = [&](bool first) {
        Window rootReturn = 0, child = 0;
        int x = 0, y = 0, winX = 0, winY = 0;
        unsigned mask = 0;
        m_positionReads.fetch_add(1, std::memory_order_relaxed);
        if (!XQueryPointer(control, root, &rootReturn, &child, &x, &y, &winX, &winY, &mask)) return;
        recorder.motion = false;
        pollfd fd{ConnectionNumber(data), POLLIN, 0};
        if (poll(&fd, 1, 0) > 0) XRecordProcessReplies(data);
        if (recorder.motion || lost.load(std::memory_order_acquire)) return;
        if (first || x != m_x0 || y != m_y0) {
            if (!first) m_warpsFound.fetch_add(1, std::memory_order_relaxed);
            add(x, y);
        }
    };

    // Asleep until the server sends something: no wake-up while nothing moves.
    pollfd fds[2] = {{ConnectionNumber(data), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    if (running()) readPosition(true);  // the first position counts from (0, 0)
    while (running() && !m_stop.load(std::memory_order_acquire) &&
           !lost.load(std::memory_order_acquire)) {
        const int ready = poll(fds, 2, -1);
        m_wakeUps.fetch_add(1, std::memory_order_relaxed);
        if (m_stop.load(std::memory_order_acquire)) break;
        if (ready <= 0 || fds[0].revents == 0) continue;
        recorder.motion = false;
        recorder.warp = false;
        XRecordProcessReplies(data);
        if (recorder.warp && !lost.load(std::memory_order_acquire)) readPosition(false);
        // A hung-up socket that Xlib has not reported yet must not spin the loop.
        if ((fds[0].revents & (POLLHUP | POLLERR)) && !lost.load(std::memory_order_acquire)) break;
        // While the pointer moves, the events of the next few milliseconds are left to
        // gather in the connection and read as one batch: one wake-up instead of one per
        // event (a 1000 Hz mouse). Every event still counts; a stop ends the pause at once.
        if (recorder.motion) {
            pollfd stop{m_wakeFd, POLLIN, 0};
            poll(&stop, 1, kBatchMs);
        }
    }
    m_running.store(false, std::memory_order_release);
    if (!lost.load(std::memory_order_acquire) && context != 0) {
        XRecordDisableContext(control, context);
        XRecordFreeContext(control, context);
        XSync(control, False);
    }
    XCloseDisplay(data);
    XCloseDisplay(control);
    ForgetConnectionLoss(data);
    ForgetConnectionLoss(control);
}

}  // namespace pt
