#include "ui/win32/Win32ProgramDialogs.h"

#include "core/form/DialogControls.h"
#include "ui/win32/Win32AboutBox.h"
#include "ui/win32/Win32Dialog.h"

namespace pt {

using Kind = Win32FormBinder::Kind;

void Win32ProgramDialogs::runOptions(std::unique_ptr<OptionsPresenter> options) {
    OptionsPresenter& presenter = *options;
    Win32DialogSpec spec{options_controls::Window,
                         400,
                         272,
                         [](Win32FormBinder& b, HWND d) {
                             using namespace options_controls;
                             const ControlId checks[] = {StartWithSystem, CheckForUpdates,
                                                         NoClickCounting, NoKeyCounting, Notify};
                             for (int i = 0; i < 5; ++i)
                                 b.add(Kind::CheckBox, checks[i], d, 18, 14 + i * 28, 364, 24);
                             b.add(Kind::Label, KeptData, d, 18, 158, 364, 64);  // wraps
                             const ControlId buttons[] = {Ok, Apply, Cancel};
                             for (int i = 0; i < 3; ++i)
                                 b.add(Kind::Button, buttons[i], d, 90 + i * 100, 232, 92, 28);
                         },
                         [&presenter](ControlId id) { presenter.click(id); },
                         [&presenter] { presenter.cancel(); },
                         [&presenter] { return presenter.closeRequested(); }};
    RunWin32Dialog(m_owner, m_font, presenter.form(), spec);
}

void Win32ProgramDialogs::runDataReset(const MakeDataReset& makeReset) {
    const std::unique_ptr<ClearAllPresenter> reset = makeReset(m_messages);
    ClearAllPresenter& presenter = *reset;
    Win32DialogSpec spec{clear_all_controls::Window,
                         380,
                         156,
                         [](Win32FormBinder& b, HWND d) {
                             using namespace clear_all_controls;
                             b.add(Kind::Label, Warning, d, 18, 14, 344, 60);
                             // Shown where the program keeps a day history.
                             b.add(Kind::CheckBox, AlsoClearDays, d, 18, 80, 344, 22);
                             b.add(Kind::Button, Ok, d, 150, 114, 100, 28);
                             b.add(Kind::Button, Cancel, d, 260, 114, 100, 28);
                         },
                         [&presenter](ControlId id) { presenter.click(id); },
                         [&presenter] { presenter.cancel(); },
                         [&presenter] { return presenter.closeRequested(); }};
    RunWin32Dialog(m_owner, m_font, presenter.form(), spec);
}

void Win32ProgramDialogs::showAbout(const MakeAbout& makeAbout) {
    const std::unique_ptr<AboutPresenter> about = makeAbout();
    RunWin32AboutBox(m_owner, m_font, *about);
}

void Win32ProgramDialogs::showDayHistory(DayHistory& history) {
    if (m_history && m_history->open()) {
        m_history->reload();
        m_history->bringToFront();
        return;
    }
    m_history =
        std::make_unique<Win32HistoryWindow>(m_owner, m_font, history, m_clock, m_messages, m_lang);
}

}  // namespace pt
