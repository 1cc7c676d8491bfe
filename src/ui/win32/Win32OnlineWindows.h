#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "core/ports/MessageBox.h"
#include "core/ports/SettingsStore.h"
#include "core/ports/Shell.h"
#include "core/shell/OnlineCommands.h"
#include "core/texts/Language.h"
#include "platform/windows/Win32.h"
#include "ui/win32/Win32AutoUpdateWindow.h"
#include "ui/win32/Win32SiteBrowserWindow.h"

namespace pt {

// The site's pages on Windows: the update check's window (one at a time), the ranking window
// (modal: the code, with the page in the system's web control or the desktop's browser),
// the site in a small browser window (one at a time; the desktop's browser without a web
// control) and the download page in the desktop's browser. When each opens is decided
// by the commands (OnlineCommands), which this object owns.
class Win32OnlineWindows : private OnlineViews {
public:
    Win32OnlineWindows(HWND owner, HFONT font, Shell& shell, SettingsStore& store,
                       MessageBox& messages, Language lang, std::string versionText,
                       std::function<DynamicValue()> points);

    OnlineCommands& commands() { return m_commands; }

private:
    // OnlineViews
    void showDownloadPage(const std::string& address) override { m_shell.open(address); }
    // In a small browser window where the system has a web control, else the desktop's.
    void showSite(const std::string& address) override;
    bool raiseRanking() override { return false; }  // modal: none is open on a command
    void openRanking(const std::string& address, std::uint32_t installationId,
                     const DynamicValue& points) override;
    bool updateCheckOpen() const override { return m_check && !m_check->finished(); }
    AutoUpdatePresenter::Mode updateCheckMode() const override;
    bool updateCheckShown() const override { return m_check->isVisible(); }
    void raiseUpdateCheck() override { m_check->bringToFront(); }
    void startUpdateCheck(const std::string& address, AutoUpdatePresenter::Mode mode) override;

    HWND m_owner;
    HFONT m_font;
    Shell& m_shell;
    Language m_lang;
    std::string m_versionText;
    std::random_device m_random;
    std::unique_ptr<Win32AutoUpdateWindow> m_check;
    std::unique_ptr<Win32SiteBrowserWindow> m_site;
    OnlineCommands m_commands;
};

}  // namespace pt
