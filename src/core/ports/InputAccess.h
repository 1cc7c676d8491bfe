#pragma once

namespace pt {

// What the desktop-wide input sources can measure right now. The window marks the figures
// they cannot measure as not measured instead of showing them standing still at zero.
class InputAccess {
public:
    virtual ~InputAccess() = default;
    // False while no input device could be opened: travel, clicks and keys are then not
    // measured.
    virtual bool devicesReadable() const = 0;
    // False where the desktop does not tell programs where the pointer is.
    virtual bool pointerPositionKnown() const = 0;
};

}  // namespace pt
