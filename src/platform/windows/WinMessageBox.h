#pragma once

#include <string>

#include "core/ports/MessageBox.h"

namespace pt {

// MessageBoxW, owned by the window set with setOwner (none: a task-modal box).
class WinMessageBox : public MessageBox {
public:
    void setOwner(void* window) { m_owner = window; }
    MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                   MsgIcon icon, MsgDefault defaultButton) override;
    // On a thread of its own, without an owner: the caller's timers go on meanwhile.
    void notify(const std::string& text, const std::string& title, MsgIcon icon) override;

private:
    void* m_owner = nullptr;
};

}  // namespace pt
