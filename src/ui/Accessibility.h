#pragma once

#include <vector>

#include "core/texts/ViewTexts.h"

class QWidget;

namespace pt {

// What screen readers read, applied by name to a window's children:
// - a field or web page gets the name and description of its entry;
// - a figure label is read as its name followed by the figure it shows ("鼠标今天移动的
//   路程 0.318m"), computed when asked, so the ticks that rewrite it cost nothing more;
// - a line of labels (a click line, marked by its entry's name) is read as one text, the
//   labels it is made of are not read one by one.
void ApplyAccessibleTexts(QWidget* root, const std::vector<AccessibleText>& texts, Language lang);

}  // namespace pt
