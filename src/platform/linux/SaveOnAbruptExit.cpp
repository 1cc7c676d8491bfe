#include "platform/linux/SaveOnAbruptExit.h"

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

namespace pt {
namespace {

std::function<void()> g_save;
std::thread::id g_owner;

void SaveBeforeTheEnd() {
    if (!g_save || std::this_thread::get_id() != g_owner) return;
    const auto save = std::exchange(g_save, nullptr);
    std::fprintf(stderr,
                 "Pathtally: ending without an orderly stop (was the connection to the display "
                 "lost?); saving the totals first\n");
    save();
    std::fprintf(stderr, "Pathtally: totals saved, exiting\n");
}

}  // namespace

SaveOnAbruptExit::SaveOnAbruptExit(std::function<void()> save) {
    static const bool registered = std::atexit(&SaveBeforeTheEnd) == 0;
    if (!registered) return;
    g_owner = std::this_thread::get_id();
    g_save = std::move(save);
}

SaveOnAbruptExit::~SaveOnAbruptExit() {
    g_save = nullptr;
}

}  // namespace pt
