#pragma once

#include <functional>

namespace pt {

// The main window's click hook as the Options dialog switches it: whether it is
// installed, and its install and remove operations.
struct ClickHookSwitch {
    std::function<bool()> isInstalled;
    std::function<void()> install;
    std::function<void()> remove;
};

}  // namespace pt
