#pragma once

#include <string_view>

namespace pt {

// The name of a key by its Windows virtual-key code, or "" for a key that is not
// counted. The names only decide whether a key counts; none is ever shown.
std::string_view keyName(int KeyCode);

}  // namespace pt
