#pragma once

class QWidget;

namespace pt {

// The program's own look, applied by each skinned window while it loads and before it
// sets its texts: a calm blue-grey palette, rounded buttons, and fonts that render both
// Chinese scripts. Child widgets inherit it; other windows are not touched.
void ApplySkin(QWidget* window);

// Whether ApplySkin() has been applied to a window.
bool IsSkinned(const QWidget* window);

}  // namespace pt
