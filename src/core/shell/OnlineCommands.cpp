#include "core/shell/OnlineCommands.h"

#include "core/online/InstallationId.h"
#include "core/online/RankingCode.h"
#include "core/online/Site.h"
#include "core/online/SitePages.h"

namespace pt {

OnlineCommands::OnlineCommands(SettingsStore& store, MessageBox& messages, OnlineViews& views,
                               std::function<DynamicValue()> points,
                               std::function<std::uint32_t()> newId)
    : m_store(store),
      m_messages(messages),
      m_views(views),
      m_points(std::move(points)),
      m_newId(std::move(newId)),
      m_unasked(store) {}

void OnlineCommands::showDownloadPage() {
    m_views.showDownloadPage(SiteAddress(m_store, DownloadPagePath));
}

void OnlineCommands::showSite() {
    m_views.showSite(SiteRoot(m_store));
}

void OnlineCommands::checkForUpdates() {
    if (m_views.updateCheckOpen() &&
        m_views.updateCheckMode() == AutoUpdatePresenter::Mode::Asked) {
        if (m_views.updateCheckShown()) m_views.raiseUpdateCheck();
        return;  // still loading unseen: it shows itself on its 30th tick
    }
    // An unseen check of the program's own gives way to the one the user asked for.
    m_views.startUpdateCheck(SiteAddress(m_store, UpdatePagePath),
                             AutoUpdatePresenter::Mode::Asked);
}

void OnlineCommands::mainWindowShown() {
    if (m_unasked.dueOnWindowShown(m_views.updateCheckOpen()))
        m_views.startUpdateCheck(SiteAddress(m_store, UpdatePagePath),
                                 AutoUpdatePresenter::Mode::Unasked);
}

void OnlineCommands::requestRanking() {
    const DynamicValue points = m_points ? m_points() : DynamicValue();
    if (!RankingAllowed(points, m_messages)) return;
    if (m_views.raiseRanking()) return;
    m_views.openRanking(SiteAddress(m_store, RankingPagePath), InstallationId(m_store, m_newId),
                        points);
}

}  // namespace pt
