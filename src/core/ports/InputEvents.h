#pragma once

#include <functional>

#include "core/input/MouseButton.h"

namespace pt {

// Desktop-wide input, delivered on the user-interface thread: each press of a counted mouse
// button (a backend reports no other button), and each key press as its code in the key table the
// counting keeps (core/input/KeyName.h, which numbers keys the way Windows numbers its virtual
// keys).
class InputEvents {
public:
    using ButtonSink = std::function<void(MouseButton button)>;
    using KeySink = std::function<void(int keyCode)>;

    virtual ~InputEvents() = default;
    // Starts delivering button presses; false when the desktop offers no such source.
    virtual bool installMouseHook(ButtonSink sink) = 0;
    virtual void removeMouseHook() = 0;
    virtual bool connectKeys(KeySink sink) = 0;
    virtual void disconnectKeys() = 0;
};

}  // namespace pt
