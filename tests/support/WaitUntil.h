#pragma once

#include <chrono>
#include <thread>

namespace pt::test {

// Waits for a condition instead of sleeping: polls `condition` every `poll` until it holds
// (true) or `bound` has passed (false). The default bound is generous, for a loaded machine;
// a condition that holds at once returns at once.
template <typename Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds bound = std::chrono::seconds(30),
               std::chrono::milliseconds poll = std::chrono::milliseconds(50)) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(poll);
    }
    return true;
}

}  // namespace pt::test
