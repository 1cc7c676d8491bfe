#pragma once

#include <QColor>

class QWidget;

namespace pt {

// The program's own look, applied by each skinned window while it loads and before it
// sets its texts: fonts that render both Chinese scripts. The colours are the desktop's
// own (its palette, light or dark) throughout; only the coloured figures pick a colour of
// their own, one that reads on the palette's background (see SetFigureColor). Child
// widgets inherit it; other windows are not touched.
void ApplySkin(QWidget* window);

// Whether ApplySkin() has been applied to a window.
bool IsSkinned(const QWidget* window);

// Gives a label the designed colour of its figure (a magenta left-button count, a red
// warning), adjusted in lightness until it reads on the background of the current
// palette. It follows later palette changes of the application.
void SetFigureColor(QWidget* label, QColor designed);

// The designed colour, lightened or darkened only as far as it must be to reach a
// contrast of 4.5:1 (the usual rule for text) on `background`.
QColor ReadableColor(QColor designed, QColor background);

// The contrast ratio of two colours, 1 (none) to 21 (black on white).
double ContrastRatio(QColor a, QColor b);

}  // namespace pt
