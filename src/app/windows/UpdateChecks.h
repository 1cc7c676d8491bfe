#pragma once

#include <memory>

#include "core/online/Site.h"
#include "core/online/SitePages.h"
#include "core/online/UnaskedUpdateCheck.h"
#include "ui/win32/Win32AutoUpdateWindow.h"
#include "ui/win32/Win32MainWindow.h"

namespace pt {

// The update check's window: one at a time; the check the user asks for replaces an unseen
// one of the program's own, and the program runs its own unseen check once per run, when
// the main window is first shown (where the Options allow it).
class UpdateChecks {
public:
    UpdateChecks(pt::Win32MainWindow& window, pt::SettingsStore& store)
        : m_window(window), m_store(store), m_unasked(store) {}

    void checkForUpdates() {
        if (m_check && !m_check->finished() &&
            m_check->presenter().mode() == pt::AutoUpdatePresenter::Mode::Asked) {
            if (m_check->isVisible()) m_check->bringToFront();
            return;  // still loading unseen: it shows itself on its 30th tick
        }
        start(pt::AutoUpdatePresenter::Mode::Asked);
    }
    void mainWindowShown() {
        if (m_unasked.dueOnWindowShown(m_check && !m_check->finished()))
            start(pt::AutoUpdatePresenter::Mode::Unasked);
    }

private:
    void start(pt::AutoUpdatePresenter::Mode mode) {
        pt::MainPresenter& form = m_window.presenter();
        m_check.reset();
        m_check = std::make_unique<pt::Win32AutoUpdateWindow>(
            m_window.handle(), m_window.font(), form.lang(), form.versionText(),
            pt::SiteAddress(m_store, pt::UpdatePagePath), mode);
    }

    pt::Win32MainWindow& m_window;
    pt::SettingsStore& m_store;
    std::unique_ptr<pt::Win32AutoUpdateWindow> m_check;
    pt::UnaskedUpdateCheck m_unasked;
};

}  // namespace pt
