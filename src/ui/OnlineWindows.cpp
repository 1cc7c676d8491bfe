#include "ui/OnlineWindows.h"

#include <QRandomGenerator>

#include "ui/AutoUpdateWindow.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

namespace pt {
namespace {

std::function<std::uint32_t()> OrSystemRandom(std::function<std::uint32_t()> randomId) {
    if (randomId) return randomId;
    return [] { return QRandomGenerator::system()->generate(); };
}

}  // namespace

OnlineWindows::OnlineWindows(SettingsStore& store, MessageBox& messages, Language lang,
                             std::string versionText, std::function<DynamicValue()> points,
                             std::function<std::uint32_t()> randomId, QObject* parent)
    : QObject(parent),
      m_lang(lang),
      m_versionText(std::move(versionText)),
      m_commands(store, messages, *this, std::move(points), OrSystemRandom(std::move(randomId))) {}

// The windows are top-level and outlive nothing: they close with the program.
OnlineWindows::~OnlineWindows() {
    delete m_update.data();
    delete m_autoUpdate.data();
    delete m_ranking.data();
    delete m_siteBrowser.data();
}

UpdateWindow* OnlineWindows::updateWindow() const {
    return m_update;
}
AutoUpdateWindow* OnlineWindows::autoUpdateWindow() const {
    return m_autoUpdate;
}
RankingWindow* OnlineWindows::rankingWindow() const {
    return m_ranking;
}
SiteBrowserWindow* OnlineWindows::siteBrowserWindow() const {
    return m_siteBrowser;
}

void OnlineWindows::showDownloadPage(const std::string& address) {
    if (!m_update) m_update = new UpdateWindow(m_lang, m_versionText, address);
    m_update->bringToFront();
}

void OnlineWindows::showSite(const std::string& address) {
    if (!m_siteBrowser) m_siteBrowser = new SiteBrowserWindow(m_lang, address);
    m_siteBrowser->bringToFront();
}

bool OnlineWindows::raiseRanking() {
    if (!m_ranking) return false;
    m_ranking->bringToFront();
    return true;
}

void OnlineWindows::openRanking(const std::string& address, std::uint32_t installationId,
                                const DynamicValue& points) {
    m_ranking = new RankingWindow(address, installationId, points, m_lang);
    m_ranking->bringToFront();
}

bool OnlineWindows::updateCheckOpen() const {
    return m_autoUpdate != nullptr;
}

AutoUpdatePresenter::Mode OnlineWindows::updateCheckMode() const {
    return m_autoUpdate->presenter().mode();
}

bool OnlineWindows::updateCheckShown() const {
    return m_autoUpdate->isVisible();
}

void OnlineWindows::raiseUpdateCheck() {
    m_autoUpdate->bringToFront();
}

void OnlineWindows::startUpdateCheck(const std::string& address, AutoUpdatePresenter::Mode mode) {
    delete m_autoUpdate.data();
    m_autoUpdate = new AutoUpdateWindow(m_lang, m_versionText, address, mode);
}

}  // namespace pt
