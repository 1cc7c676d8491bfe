#pragma once

namespace pt {

// The mouse buttons whose presses are counted.
enum class MouseButton { Left, Middle, Right };

}  // namespace pt
