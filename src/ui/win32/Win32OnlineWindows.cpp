#include "ui/win32/Win32OnlineWindows.h"

#include "ui/win32/Win32RankingWindow.h"

namespace pt {

Win32OnlineWindows::Win32OnlineWindows(HWND owner, HFONT font, Shell& shell, SettingsStore& store,
                                       MessageBox& messages, Language lang, std::string versionText,
                                       std::function<DynamicValue()> points)
    : m_owner(owner),
      m_font(font),
      m_shell(shell),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_commands(store, messages, *this, std::move(points), [this] { return m_random(); }) {}

void Win32OnlineWindows::showSite(const std::string& address) {
    if (!Win32WebPage::controlAvailable()) {
        m_shell.open(address);
        return;
    }
    if (m_site && m_site->open()) {
        m_site->bringToFront();
        return;
    }
    m_site.reset();
    m_site = std::make_unique<Win32SiteBrowserWindow>(m_owner, m_font, m_lang, address);
}

void Win32OnlineWindows::openRanking(const std::string& address, std::uint32_t installationId,
                                     const DynamicValue& points) {
    RunWin32RankingWindow(m_owner, m_font, m_shell, address, m_lang, installationId, points);
}

AutoUpdatePresenter::Mode Win32OnlineWindows::updateCheckMode() const {
    return m_check->presenter().mode();
}

void Win32OnlineWindows::startUpdateCheck(const std::string& address,
                                          AutoUpdatePresenter::Mode mode) {
    m_check.reset();
    m_check = std::make_unique<Win32AutoUpdateWindow>(m_owner, m_font, m_lang, m_versionText,
                                                      address, mode);
}

}  // namespace pt
