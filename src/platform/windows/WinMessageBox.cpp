#include "platform/windows/WinMessageBox.h"

#include <thread>

#include "platform/windows/WideText.h"
#include "platform/windows/Win32.h"

namespace pt {

void WinMessageBox::notify(const std::string& text, const std::string& title, MsgIcon icon) {
    UINT flags = MB_OK | MB_SETFOREGROUND;
    if (icon == MsgIcon::Information) flags |= MB_ICONINFORMATION;
    if (icon == MsgIcon::Warning) flags |= MB_ICONWARNING;
    if (icon == MsgIcon::Question) flags |= MB_ICONQUESTION;
    if (icon == MsgIcon::Stop) flags |= MB_ICONSTOP;
    std::thread([text = Widen(text), title = Widen(title), flags] {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), flags);
    }).detach();
}

MsgAnswer WinMessageBox::show(const std::string& text, const std::string& title, MsgButtons buttons,
                              MsgIcon icon, MsgDefault defaultButton) {
    UINT flags = 0;
    switch (buttons) {
        case MsgButtons::Ok:
            flags |= MB_OK;
            break;
        case MsgButtons::OkCancel:
            flags |= MB_OKCANCEL;
            break;
        case MsgButtons::YesNo:
            flags |= MB_YESNO;
            break;
    }
    switch (icon) {
        case MsgIcon::None:
            break;
        case MsgIcon::Information:
            flags |= MB_ICONINFORMATION;
            break;
        case MsgIcon::Warning:
            flags |= MB_ICONWARNING;
            break;
        case MsgIcon::Question:
            flags |= MB_ICONQUESTION;
            break;
        case MsgIcon::Stop:
            flags |= MB_ICONSTOP;
            break;
    }
    if (defaultButton == MsgDefault::Second) flags |= MB_DEFBUTTON2;
    if (!m_owner) flags |= MB_TASKMODAL;
    switch (
        MessageBoxW(static_cast<HWND>(m_owner), Widen(text).c_str(), Widen(title).c_str(), flags)) {
        case IDOK:
            return MsgAnswer::Ok;
        case IDYES:
            return MsgAnswer::Yes;
        case IDNO:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
    }
}

}  // namespace pt
