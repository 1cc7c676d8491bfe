#pragma once

#include <memory>
#include <string>

#include "core/ports/CursorSource.h"

namespace pt {

// The best pointer source the X server allows: the motion events themselves where it has
// the RECORD extension, the 1 kHz position sampler otherwise. Says in the log which one
// runs. displayName empty: $DISPLAY.
std::unique_ptr<CursorSource> CreateX11CursorSource(const std::string& displayName = {});

}  // namespace pt
