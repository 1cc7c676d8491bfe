#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "core/ports/MessageBox.h"
#include "core/ports/SettingsStore.h"
#include "core/shell/OnlineCommands.h"
#include "core/stats/DynamicValue.h"
#include "core/texts/Language.h"

namespace pt {

class AutoUpdateWindow;
class RankingWindow;
class SiteBrowserWindow;
class UpdateWindow;

// The windows that show pages of the product website, one instance each: a second request
// brings the open window forward without reloading it. When each opens is decided by the
// commands (OnlineCommands), which this object owns and which work on these windows.
class OnlineWindows : public QObject, private OnlineViews {
    Q_OBJECT
public:
    // points: the current points; randomId: a source of random numbers for a new
    // installation identifier (QRandomGenerator's system generator when empty).
    OnlineWindows(SettingsStore& store, MessageBox& messages, Language lang,
                  std::string versionText, std::function<DynamicValue()> points,
                  std::function<std::uint32_t()> randomId = {}, QObject* parent = nullptr);
    ~OnlineWindows() override;

    OnlineCommands& commands() { return m_commands; }
    void showUpdate() { m_commands.showDownloadPage(); }
    void checkForUpdates() { m_commands.checkForUpdates(); }
    void requestRanking() { m_commands.requestRanking(); }
    void showSiteBrowser() { m_commands.showSite(); }
    void mainWindowShown() { m_commands.mainWindowShown(); }

    UpdateWindow* updateWindow() const;
    AutoUpdateWindow* autoUpdateWindow() const;
    RankingWindow* rankingWindow() const;
    SiteBrowserWindow* siteBrowserWindow() const;

private:
    // OnlineViews
    void showDownloadPage(const std::string& address) override;
    void showSite(const std::string& address) override;
    bool raiseRanking() override;
    void openRanking(const std::string& address, std::uint32_t installationId,
                     const DynamicValue& points) override;
    bool updateCheckOpen() const override;
    AutoUpdatePresenter::Mode updateCheckMode() const override;
    bool updateCheckShown() const override;
    void raiseUpdateCheck() override;
    void startUpdateCheck(const std::string& address, AutoUpdatePresenter::Mode mode) override;

    Language m_lang;
    std::string m_versionText;
    QPointer<UpdateWindow> m_update;
    QPointer<AutoUpdateWindow> m_autoUpdate;
    QPointer<RankingWindow> m_ranking;
    QPointer<SiteBrowserWindow> m_siteBrowser;
    OnlineCommands m_commands;
};

}  // namespace pt
