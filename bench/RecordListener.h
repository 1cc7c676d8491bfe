#pragma once

// The physical limit the pointer sources are measured against: a bare listener on the X
// server's RECORD extension that sums the chords between every MotionNotify the server
// generates, on a thread of its own blocked in the recording.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

namespace bench {

class RecordListener {
public:
    RecordListener() {
        XInitThreads();
        m_control = XOpenDisplay(nullptr);
        m_data = XOpenDisplay(nullptr);
        int major = 0, minor = 0;
        if (!m_control || !m_data || !XRecordQueryVersion(m_control, &major, &minor)) return;
        XRecordClientSpec clients = XRecordAllClients;
        XRecordRange* range = XRecordAllocRange();
        range->device_events.first = MotionNotify;
        range->device_events.last = MotionNotify;
        m_context = XRecordCreateContext(m_control, 0, &clients, 1, &range, 1);
        XFree(range);
        XSync(m_control, False);
        m_thread = std::thread([this] {
            XRecordEnableContext(m_data, m_context, &RecordListener::onData,
                                 reinterpret_cast<XPointer>(this));
        });
        // Running once the server has answered the enable (bounded: 5 s).
        for (int i = 0; i < 5000 && !m_enabled.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~RecordListener() {
        if (m_thread.joinable()) {
            XRecordDisableContext(m_control, m_context);
            XSync(m_control, False);
            m_thread.join();
            XRecordFreeContext(m_control, m_context);
        }
        if (m_data) XCloseDisplay(m_data);
        if (m_control) XCloseDisplay(m_control);
    }
    bool ok() const { return m_context != 0; }
    double travel() const { return m_travel.load(); }
    long events() const { return m_events.load(); }

private:
    static void onData(XPointer closure, XRecordInterceptData* data) {
        auto* self = reinterpret_cast<RecordListener*>(closure);
        if (data->category == XRecordStartOfData) self->m_enabled.store(true);
        if (data->category == XRecordFromServer) {
            const auto* e = reinterpret_cast<const xEvent*>(data->data);
            if ((e->u.u.type & 0x7f) == MotionNotify) {
                const int x = e->u.keyButtonPointer.rootX, y = e->u.keyButtonPointer.rootY;
                if (self->m_events.load() > 0)
                    self->m_travel.store(self->m_travel.load() +
                                         std::hypot(double(x - self->m_x), double(y - self->m_y)));
                self->m_x = x;
                self->m_y = y;
                self->m_events.fetch_add(1);
            }
        }
        XRecordFreeData(data);
    }

    Display* m_control = nullptr;
    Display* m_data = nullptr;
    XRecordContext m_context = 0;
    std::thread m_thread;
    std::atomic<bool> m_enabled{false};
    std::atomic<double> m_travel{0};
    std::atomic<long> m_events{0};
    int m_x = 0, m_y = 0;
};

// The listener in a process of its own: the baseline for a whole program's CPU and memory
// on the same driven path.
class ListenerProcess {
public:
    ListenerProcess() {
        m_pid = fork();
        if (m_pid == 0) {
            RecordListener listener;
            if (!listener.ok()) _exit(3);
            for (;;) pause();  // until SIGTERM
        }
    }
    ~ListenerProcess() {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    ListenerProcess(const ListenerProcess&) = delete;
    ListenerProcess& operator=(const ListenerProcess&) = delete;
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

}  // namespace bench
