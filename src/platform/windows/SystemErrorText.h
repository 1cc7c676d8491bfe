#pragma once

#include <string>

namespace pt {

// The system's own words for an error code (GetLastError()), UTF-8, without the line end
// the system puts after them; "error N" where it has none.
std::string SystemErrorText(unsigned long error);

}  // namespace pt
