#pragma once

#include <string>

namespace pt {

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Warning, Question, Stop };
enum class MsgAnswer { Ok, Cancel, Yes, No };
enum class MsgDefault { First, Second };

// Modal message boxes. Tests script the answers and read what was shown.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                           MsgIcon icon = MsgIcon::None,
                           MsgDefault defaultButton = MsgDefault::First) = 0;
};

}  // namespace pt
