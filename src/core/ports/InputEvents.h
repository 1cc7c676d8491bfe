#pragma once

#include <functional>

namespace pt {

// Desktop-wide input, delivered on the user-interface thread.
// Mouse buttons arrive as the Windows messages the click counting understands:
// 513 left button down, 516 right button down, 519 middle button down (other numbers
// may arrive and must be ignored). Keys arrive as Windows virtual-key codes.
class InputEvents {
public:
    using ButtonSink = std::function<void(int message)>;
    using KeySink = std::function<void(int virtualKey)>;

    virtual ~InputEvents() = default;
    // Starts delivering button presses; false when the desktop offers no such source.
    virtual bool installMouseHook(ButtonSink sink) = 0;
    virtual void removeMouseHook() = 0;
    virtual bool connectKeys(KeySink sink) = 0;
    virtual void disconnectKeys() = 0;
};

}  // namespace pt
