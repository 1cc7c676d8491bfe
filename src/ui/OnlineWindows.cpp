#include "ui/OnlineWindows.h"

#include <QRandomGenerator>

#include "core/online/InstallationId.h"
#include "core/online/RankingCode.h"
#include "core/online/Site.h"
#include "core/online/SitePages.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

namespace pt {

OnlineWindows::OnlineWindows(SettingsStore& store, MessageBox& messages, Language lang,
                             std::string versionText, std::function<DynamicValue()> points,
                             std::function<std::uint32_t()> randomId, QObject* parent)
    : QObject(parent),
      m_store(store),
      m_messages(messages),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_points(std::move(points)),
      m_randomId(std::move(randomId)),
      m_unaskedCheck(store) {
    if (!m_randomId) m_randomId = [] { return QRandomGenerator::system()->generate(); };
}

// The windows are top-level and outlive nothing: they close with the program.
OnlineWindows::~OnlineWindows() {
    delete m_update.data();
    delete m_autoUpdate.data();
    delete m_ranking.data();
    delete m_siteBrowser.data();
}

void OnlineWindows::showUpdate() {
    if (!m_update)
        m_update = new UpdateWindow(m_lang, m_versionText, SiteAddress(m_store, DownloadPagePath));
    m_update->bringToFront();
}

void OnlineWindows::checkForUpdates() {
    if (m_autoUpdate && m_autoUpdate->presenter().mode() == AutoUpdatePresenter::Mode::Asked) {
        if (m_autoUpdate->isVisible()) m_autoUpdate->bringToFront();
        return;  // still loading unseen: it shows itself on its 30th tick
    }
    // An unseen check of our own gives way to the one the user asked for.
    delete m_autoUpdate.data();
    startAutoUpdate(AutoUpdatePresenter::Mode::Asked);
}

void OnlineWindows::mainWindowShown() {
    if (m_unaskedCheck.dueOnWindowShown(m_autoUpdate != nullptr))
        startAutoUpdate(AutoUpdatePresenter::Mode::Unasked);
}

void OnlineWindows::startAutoUpdate(AutoUpdatePresenter::Mode mode) {
    m_autoUpdate =
        new AutoUpdateWindow(m_lang, m_versionText, SiteAddress(m_store, UpdatePagePath), mode);
}

void OnlineWindows::requestRanking() {
    const DynamicValue points = m_points ? m_points() : DynamicValue();
    if (!RankingAllowed(points, m_messages)) return;
    if (m_ranking) {
        m_ranking->bringToFront();  // with the code computed when it opened
        return;
    }
    m_ranking = new RankingWindow(SiteAddress(m_store, RankingPagePath),
                                  InstallationId(m_store, m_randomId), points, m_lang);
    m_ranking->bringToFront();
}

void OnlineWindows::showSiteBrowser() {
    if (!m_siteBrowser) m_siteBrowser = new SiteBrowserWindow(m_lang, SiteRoot(m_store));
    m_siteBrowser->bringToFront();
}

}  // namespace pt
