#pragma once

namespace pt {

// Keeps a top-level window off the task list (_NET_WM_STATE_SKIP_TASKBAR), before it is
// mapped and, through the window manager, while it is.
void SetSkipTaskbar(unsigned long window);

}  // namespace pt
