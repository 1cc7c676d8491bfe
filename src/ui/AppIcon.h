#pragma once

#include <QIcon>

namespace pt {

// The program's own icon, drawn at run time: a pointer trail over a tally dial.
QIcon AppIcon();

}  // namespace pt
