#pragma once

#include <atomic>

struct _XDisplay;

namespace pt {

// Xlib ends the whole process when a connection to the X server breaks. For the
// program's own side connections (pointer sampler, input events) a lost server must
// instead only stop that part, from whichever thread noticed it, so the UI thread can
// still save and end in order. Watching makes Xlib return from the failing call and sets
// *lost; other connections keep the handling they had. Forget after XCloseDisplay.
void WatchConnectionLoss(_XDisplay* display, std::atomic<bool>* lost);
void ForgetConnectionLoss(_XDisplay* display);

}  // namespace pt
