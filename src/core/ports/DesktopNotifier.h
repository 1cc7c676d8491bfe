#pragma once

#include <string>

namespace pt {

// A short notice shown by the desktop outside the program's windows (a notification
// bubble). Never blocks and never fails loudly: where the desktop offers none, nothing shows.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void notify(const std::string& title, const std::string& text) = 0;
};

}  // namespace pt
