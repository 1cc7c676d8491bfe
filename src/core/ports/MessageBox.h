#pragma once

#include <string>

namespace pt {

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Warning, Question, Stop };
enum class MsgAnswer { Ok, Cancel, Yes, No };
enum class MsgDefault { First, Second };

// Message boxes. Tests script the answers and read what was shown.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // A modal box; returns the user's answer once the box is closed.
    virtual MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                           MsgIcon icon = MsgIcon::None,
                           MsgDefault defaultButton = MsgDefault::First) = 0;
    // A box with only an OK button that returns at once, leaving the box open until the
    // user closes it: ticks and saves go on meanwhile. Every message raised from a tick or
    // from a system's late answer goes this way.
    virtual void notify(const std::string& text, const std::string& title, MsgIcon icon) = 0;
};

}  // namespace pt
