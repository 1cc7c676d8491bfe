#pragma once

#include "platform/windows/Win32.h"

namespace pt {

class AboutPresenter;

// The About box on plain Win32 controls: the texts and links of the presenter's form, and
// the logo strip scrolling in its frame (it stops while the pointer rests on it and goes on
// once the pointer moves over the rest of the box). Runs until it is closed.
void RunWin32AboutBox(HWND owner, HFONT font, AboutPresenter& presenter);

}  // namespace pt
