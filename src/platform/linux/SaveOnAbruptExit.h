#pragma once

#include <functional>

namespace pt {

// When the X server goes away, Qt's broken-connection path (and Xlib's default I/O error
// handler) end the process with exit() from inside the event loop: the orderly stop that
// saves never runs. While an instance lives, such an exit first runs `save` (on the main
// thread only, where the totals are kept) and logs that the totals were saved. Destroy it
// before the objects `save` uses: an orderly end has saved already.
class SaveOnAbruptExit {
public:
    explicit SaveOnAbruptExit(std::function<void()> save);
    ~SaveOnAbruptExit();
    SaveOnAbruptExit(const SaveOnAbruptExit&) = delete;
    SaveOnAbruptExit& operator=(const SaveOnAbruptExit&) = delete;
};

}  // namespace pt
