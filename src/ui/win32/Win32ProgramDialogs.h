#pragma once

#include "core/ports/MessageBox.h"
#include "core/shell/ProgramCommands.h"
#include "platform/windows/Win32.h"

namespace pt {

// The main window's dialogs on plain Win32 controls, modal on top of `owner`, each over the
// presenter it is handed. There is no day-history window (the registry keeps no history).
class Win32ProgramDialogs : public ProgramDialogs {
public:
    Win32ProgramDialogs(HWND owner, HFONT font, MessageBox& messages)
        : m_owner(owner), m_font(font), m_messages(messages) {}

    void runOptions(std::unique_ptr<OptionsPresenter> options) override;
    void runDataReset(const MakeDataReset& makeReset) override;
    // Modal too, so there is never a second one.
    void showAbout(const MakeAbout& makeAbout) override;
    bool offersDayHistory() const override { return false; }
    // Never asked for: offersDayHistory() is false.
    void showDayHistory(DayHistory&) override {}

private:
    HWND m_owner;
    HFONT m_font;
    MessageBox& m_messages;
};

}  // namespace pt
