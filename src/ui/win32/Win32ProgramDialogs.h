#pragma once

#include <memory>

#include "core/ports/Clock.h"
#include "core/ports/MessageBox.h"
#include "core/shell/ProgramCommands.h"
#include "platform/windows/Win32.h"
#include "ui/win32/Win32HistoryWindow.h"

namespace pt {

// The main window's dialogs on plain Win32 controls, modal on top of `owner`, each over the
// presenter it is handed; the day history's window is modeless, one at a time.
class Win32ProgramDialogs : public ProgramDialogs {
public:
    Win32ProgramDialogs(HWND owner, HFONT font, MessageBox& messages, const Clock& clock,
                        Language lang)
        : m_owner(owner), m_font(font), m_messages(messages), m_clock(clock), m_lang(lang) {}

    void runOptions(std::unique_ptr<OptionsPresenter> options) override;
    void runDataReset(const MakeDataReset& makeReset) override;
    // Modal too, so there is never a second one.
    void showAbout(const MakeAbout& makeAbout) override;
    bool offersDayHistory() const override { return true; }
    void showDayHistory(DayHistory& history) override;
    // The open day history window, if one is.
    Win32HistoryWindow* historyWindow() {
        return m_history && m_history->open() ? m_history.get() : nullptr;
    }

private:
    HWND m_owner;
    HFONT m_font;
    MessageBox& m_messages;
    const Clock& m_clock;
    Language m_lang;
    std::unique_ptr<Win32HistoryWindow> m_history;
};

}  // namespace pt
