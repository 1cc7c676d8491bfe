#pragma once

#include "core/texts/Language.h"

class QTranslator;

namespace pt {

// Loads Qt's own translations (standard buttons such as OK, Cancel, Yes, No; the context
// menus of text fields) for the window's language: Simplified Chinese unless the language
// is "B5". Returns the installed translator (owned by the application), or null when the
// translation file is not installed (the buttons then stay English). Call once, after the
// application object exists.
QTranslator* InstallQtTranslations(Language lang);

}  // namespace pt
