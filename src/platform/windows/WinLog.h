#pragma once

#include <string_view>

namespace pt {

// One line of the program's log: to the standard error where the process has one (a start
// from a console, or under Wine from a terminal) and to the debugger's output
// (OutputDebugString), where tools such as DebugView show it.
void LogLine(std::string_view line);

}  // namespace pt
