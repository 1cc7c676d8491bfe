// The Windows cursor source under a pointer driven from outside: reads a second, travel
// counted, and processor time of the whole process while the pointer moves.
// Puts the pointer on the start of the driver's circle, prints "ready", measures from the
// first move until the pointer has rested for a second (at most 60 s) and prints
//   samples <reads while moving> seconds <time moving> travel <px> cpu <process CPU s>
//   missed <late deadlines> timer <high-resolution|plain>
// With --ceiling: the ceiling the system sets instead, GetCursorPos called back to back for
// a second with no wait between reads, while the pointer moves (under Wine a read of a
// moving pointer is a round trip to the X server):
//   ceiling <reads/s> cpu <% of a core> moved <0|1> positions <distinct positions read>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/windows/WinCursorSource.h"

namespace {

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) {
        ULARGE_INTEGER v;
        v.LowPart = t.dwLowDateTime;
        v.HighPart = t.dwHighDateTime;
        return static_cast<double>(v.QuadPart) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

int Ceiling() {
    using namespace std::chrono_literals;
    std::uint64_t reads = 0, changes = 0;
    POINT first{}, last{}, p{};
    GetCursorPos(&first);
    last = first;
    const double cpuStart = ProcessCpuSeconds();
    for (const auto end = std::chrono::steady_clock::now() + 1s;
         std::chrono::steady_clock::now() < end; ++reads) {
        GetCursorPos(&p);
        if (p.x != last.x || p.y != last.y) ++changes;
        last = p;
    }
    const double cpu = ProcessCpuSeconds() - cpuStart;
    std::printf("ceiling %llu cpu %.1f moved %d positions %llu\n",
                static_cast<unsigned long long>(reads), 100 * cpu, changes > 0,
                static_cast<unsigned long long>(changes));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--ceiling") return Ceiling();
    using Clock = std::chrono::steady_clock;
    using namespace std::chrono_literals;
    const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    SetCursorPos(cx + 200, cy);
    pt::WinCursorSource cursor;
    for (int i = 0; i < 200 && !cursor.running(); ++i) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(300ms);
    cursor.take();  // the way from (0, 0) to the start point is not the driver's
    std::printf("ready\n");
    std::fflush(stdout);

    const auto deadline = Clock::now() + 60s;
    std::uint64_t samplesAtStart = 0;
    std::uint64_t samplesAtLastMove = 0;
    double cpuAtStart = 0, cpuAtLastMove = 0, travel = 0;
    Clock::time_point firstMove{}, lastMove{};
    bool moving = false;
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
        const auto reading = cursor.take();
        const bool moved = reading && reading->travel > 0;
        if (moved && !moving) {
            moving = true;
            firstMove = Clock::now();
            samplesAtStart = cursor.samplesTaken() - reading->samples;
            cpuAtStart = ProcessCpuSeconds();
        }
        if (moved) {
            travel += reading->travel;
            lastMove = Clock::now();
            samplesAtLastMove = cursor.samplesTaken();
            cpuAtLastMove = ProcessCpuSeconds();
        }
        if (moving && Clock::now() - lastMove > 1s) break;
    }
    if (!moving) {
        std::printf("the pointer never moved\n");
        return 1;
    }
    const double seconds = std::chrono::duration<double>(lastMove - firstMove).count();
    // Counted from the first to the last reading with travel: the resting second after
    // it runs at the slow rate and is left out.
    const std::uint64_t samples = samplesAtLastMove - samplesAtStart;
    const double cpu = cpuAtLastMove - cpuAtStart;
    std::printf("samples %llu seconds %.3f travel %.1f cpu %.3f missed %llu timer %s\n",
                static_cast<unsigned long long>(samples), seconds, travel, cpu,
                static_cast<unsigned long long>(cursor.missedDeadlines()),
                cursor.highResolutionTimer() ? "high-resolution" : "plain");
    return 0;
}
