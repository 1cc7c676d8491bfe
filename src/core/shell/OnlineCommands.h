#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/online/AutoUpdatePresenter.h"
#include "core/online/UnaskedUpdateCheck.h"
#include "core/ports/MessageBox.h"
#include "core/ports/SettingsStore.h"
#include "core/stats/DynamicValue.h"

namespace pt {

// The windows that show pages of the product website, as one toolkit makes them. Each keeps
// one instance of its windows; the rules of when to open which live in OnlineCommands.
class OnlineViews {
public:
    virtual ~OnlineViews() = default;
    // The download page ("检查更新(&U)...") and the site, in a window or the desktop's browser.
    virtual void showDownloadPage(const std::string& address) = 0;
    virtual void showSite(const std::string& address) = 0;
    // Raises an open ranking window unchanged (with the code computed when it opened); false
    // when none is open.
    virtual bool raiseRanking() = 0;
    virtual void openRanking(const std::string& address, std::uint32_t installationId,
                             const DynamicValue& points) = 0;
    // The update check's window, one at a time: whether one is open (loading or showing its
    // verdict), the mode it was started in, whether it is on screen, and raising it.
    virtual bool updateCheckOpen() const = 0;
    virtual AutoUpdatePresenter::Mode updateCheckMode() const = 0;
    virtual bool updateCheckShown() const = 0;
    virtual void raiseUpdateCheck() = 0;
    // Closes an open check's window, then starts a new check.
    virtual void startUpdateCheck(const std::string& address, AutoUpdatePresenter::Mode mode) = 0;
};

// The commands that open pages of the product website, the same on every system.
//
// The automatic update check runs
//  - when the user asks for it (checkForUpdates(), a Help-menu entry): the window shows
//    from its 30th tick and reports the verdict, or closes when the site stays unreachable;
//  - on its own once per run, when the main window is first shown (mainWindowShown()),
//    unless UpdateCK is "0": then it stays unseen unless a newer version is announced.
//    Never from a start hidden in the tray, which must not load a web page.
// The ranking page asks for enough points first (RankingAllowed).
class OnlineCommands {
public:
    // points: the current points; newId: random numbers for a new installation identifier.
    OnlineCommands(SettingsStore& store, MessageBox& messages, OnlineViews& views,
                   std::function<DynamicValue()> points, std::function<std::uint32_t()> newId);

    void showDownloadPage();  // menuUpdate
    void checkForUpdates();   // menuAutoUpdate
    void requestRanking();    // menuPaiHang (F3) and the Label75 link
    void showSite();          // menuWebBrowser
    void mainWindowShown();   // each time the main window is shown; acts once per run

private:
    SettingsStore& m_store;
    MessageBox& m_messages;
    OnlineViews& m_views;
    std::function<DynamicValue()> m_points;
    std::function<std::uint32_t()> m_newId;
    UnaskedUpdateCheck m_unasked;
};

}  // namespace pt
